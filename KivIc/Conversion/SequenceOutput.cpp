#include "KivIc/Conversion/SequenceOutput.h"

#include <cstdio>

#include "KivIc/Conversion/FrameFiles.h"
#include "platform/win32/files.h"
#include "vomLib/Image/TiffFile.h"

namespace {

class SequenceEncoder : public IFrameEncoder {
public:
    SequenceEncoder(const CSequenceOutput& output, SequenceKind kind, DWORD quality)
        : m_output(output), m_kind(kind), m_quality(quality) {}

    bool Encode(long index, const BYTE* frame, std::size_t bytes, EncodedFrame*,
                std::string* error) override {
        const std::string path = m_output.FramePath(index);
        switch (m_kind) {
        case SequenceKind::Bmp:
            return WriteBmpFrame(path, frame, bytes, error);
        case SequenceKind::Jpeg:
            return WriteJpegFrame(path, frame, bytes, m_quality, error);
        case SequenceKind::Tiff:
            return WriteTiffFrame(path, frame, bytes, m_tiff, error);
        }
        return false;
    }

private:
    const CSequenceOutput& m_output;
    SequenceKind m_kind;
    DWORD m_quality;
    TiffFile m_tiff;
};

bool AllDigits(const std::string& s) {
    for (const char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return !s.empty();
}

} // namespace

CSequenceOutput::CSequenceOutput(SequenceKind kind, std::string folder, std::string base, std::string ext,
                                 DWORD quality)
    : m_kind(kind), m_folder(std::move(folder)), m_base(std::move(base)), m_ext(std::move(ext)),
      m_quality(quality) {}

std::string CSequenceOutput::FrameFileName(const std::string& base, long index, const std::string& ext) {
    char number[32];
    std::snprintf(number, sizeof number, "%08ld", index);
    return base + number + ext;
}

std::unique_ptr<IFrameEncoder> CSequenceOutput::NewEncoder(std::string*) {
    return std::make_unique<SequenceEncoder>(*this, m_kind, m_quality);
}

bool CSequenceOutput::Commit(long, EncodedFrame&, std::string*) {
    return true; // the worker wrote the file
}

void CSequenceOutput::Discard(long index) {
    DeleteFileA(FramePath(index).c_str());
}

std::map<long, std::string> CSequenceOutput::FrameFiles(const std::string& folder, const std::string& base,
                                                        const std::string& ext) {
    std::map<long, std::string> files;
    // Every name of the folder is checked here: the base name may hold the pattern's own characters.
    const std::string pattern = folder + "*";
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            name.size() < base.size() + 8 + ext.size() || name.compare(0, base.size(), base) != 0 ||
            name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
            continue;
        const std::string digits = name.substr(base.size(), name.size() - base.size() - ext.size());
        if (!AllDigits(digits) || digits.size() > 18)
            continue;
        const long index = static_cast<long>(std::stoll(digits));
        // Only the exact "%08d" form: "run000000005.bmp" is not frame 5 of "run".
        if (FrameFileName(base, index, ext) == name)
            files.emplace(index, folder + name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return files;
}

int CSequenceOutput::RemoveStaleFrames(long count) const {
    int removed = 0;
    for (const auto& [index, path] : FrameFiles(m_folder, m_base, m_ext)) {
        if (index >= count)
            removed += DeleteFileA(path.c_str()) ? 1 : 0;
    }
    return removed;
}
