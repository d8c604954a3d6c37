// The CSV export of the point-frame table.
#include "ZopDat/PointFrame.h"

#include "ZopDat/ReplaceFile.h"
#include "ZopDat/ZopText.h"

#include "platform/win32/win32.h"

namespace {

bool WriteLine(HANDLE file, const std::string& line) {
    DWORD written = 0;
    return WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

} // namespace

int PointFrame::ExportCsv(const char* name, const std::vector<std::string>& names, int dimensions) {
    if (name == nullptr) {
        return 0;
    }
    const std::string temporary = zopdat::TemporaryNameFor(name);
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    static const char* const kAxes[3] = {"-X", "-Y", "-Z"};
    const int axes = dimensions < 0 ? 0 : (dimensions > 3 ? 3 : dimensions);

    std::string line = "Frame No.";
    for (const std::string& pointName : names) {
        for (int a = 0; a < axes; ++a) {
            line += ',';
            line += pointName;
            line += kAxes[a];
        }
    }
    line += '\n';
    bool ok = WriteLine(file, line);

    for (std::size_t r = 0; ok && r < records_.size(); ++r) {
        const FrameRecord& record = *records_[r];
        line = zopdat::FormatInt(record.frameNumber);
        for (int i = 0; i < record.EntryCount(); ++i) {
            const PointEntry& entry = *record.GetEntry(i);
            // Only a found point has a position; lost points and points never set get empty cells.
            if (entry.state != PointEntry::kFound) {
                line.append(static_cast<std::size_t>(axes), ',');
                continue;
            }
            const PositionRow p = GetPosition(entry);
            const double values[3] = {p.x, p.y, p.z};
            for (int a = 0; a < axes; ++a) {
                line += ',';
                line += zopdat::FormatFixed(values[a], 3);
            }
        }
        line += '\n';
        ok = WriteLine(file, line);
    }

    ok = CloseHandle(file) && ok;
    if (!ok) {
        zopdat::DiscardTemporary(temporary);
        return 0;
    }
    return zopdat::CommitTemporary(temporary, name) ? 1 : 0;
}
