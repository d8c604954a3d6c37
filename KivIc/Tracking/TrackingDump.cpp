#include "KivIc/Tracking/TrackingDump.h"

#include <string>

#include "Matching/MatchingLog.h"
#include "Matching/TemplateInfo.h"

CString TempFolderPath() {
    const DWORD needed = GetTempPathA(0, nullptr);
    std::string folder(needed, '\0');
    if (needed == 0 || GetTempPathA(needed, folder.data()) == 0)
        return CString();
    return CString(folder.c_str());
}

BOOL DumpRawImage(const BYTE* pixels, int width, int height, long frame, int pointNumber,
                  const char* prefix) {
    if (pixels == nullptr || width < 1 || height < 1)
        return FALSE;
    CString name;
    name.Format("%s%sf%04ldp%03dw%03dh%03d.raw", TempFolderPath().GetString(), prefix, frame, pointNumber,
                width, height);
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL ok = TRUE;
    for (int row = height - 1; row >= 0 && ok; --row) {
        DWORD written = 0;
        ok = WriteFile(file, pixels + static_cast<std::size_t>(row) * width, static_cast<DWORD>(width),
                       &written, nullptr) &&
             written == static_cast<DWORD>(width);
    }
    CloseHandle(file);
    return ok;
}

void DumpTemplates(const CTemplateInfo& set, long frame, int pointNumber) {
    int w = 0;
    int h = 0;
    const unsigned char* base = set.GetBaseImage()->GetSize(&w, &h);
    DumpRawImage(base, w, h, frame, pointNumber, "Template_0_");
    for (int k = 0; k < set.GetTemplateCount(); ++k) {
        const unsigned char* pixels = set.GetTemplate(k)->GetSize(&w, &h);
        CString prefix;
        prefix.Format("Template_%d_", k + 1);
        DumpRawImage(pixels, w, h, frame, pointNumber, prefix);
    }
}

void DumpSearchArea(const BYTE* area, int left, int top, int width, int height, long frame, int pointNumber,
                    CMatchingLog& log) {
    if (area == nullptr || width < 1 || height < 1)
        return;
    DumpRawImage(area, width, height, frame, pointNumber, "Search");
    log.AddSearchArea(static_cast<int>(frame), pointNumber, area, width, height, left, top);
}
