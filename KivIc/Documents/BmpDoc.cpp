#include "KivIc/Documents/BmpDoc.h"

#include <exception>

#include "KivIc/Documents/FrameRateText.h"
#include "KivIc/Playback/SourcePath.h"
#include "platform/win32/files.h"
#include "vomLib/Image/BmpFileReader.h"
#include "vomLib/Utility/vomException.h"

IMPLEMENT_DYNCREATE(CBmpDoc, CTrackingDoc)

namespace {

// The folder search of the sequence, closed on every path.
class FindHandle {
public:
    FindHandle(LPCSTR pattern, WIN32_FIND_DATAA* data) : m_handle(FindFirstFileA(pattern, data)) {}
    ~FindHandle() {
        if (IsOpen())
            FindClose(m_handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    bool Next(WIN32_FIND_DATAA* data) const { return FindNextFileA(m_handle, data) != FALSE; }

private:
    HANDLE m_handle;
};

// The screen's device context for the time of a read.
class ScreenDc {
public:
    ScreenDc() : m_dc(GetDC(nullptr)) {}
    ~ScreenDc() { ReleaseDC(nullptr, m_dc); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
};

// Entries a sequence leaves out: folders and hidden files.
constexpr DWORD kSkippedAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN;

} // namespace

CBmpDoc::CBmpDoc() {
    SetTypeText("bmp");
    SetLoop(FALSE);
}

CBmpDoc::~CBmpDoc() {
    StopPlayThread();
    ReplaceFrameBitmap(nullptr);
}

// --- Opening ----------------------------------------------------------------------------------------

BOOL CBmpDoc::OnNewDocument() {
    return CTrackingDoc::OnNewDocument() ? TRUE : FALSE;
}

BOOL CBmpDoc::OnOpenDocument(LPCTSTR lpszPathName) {
    if (!CTrackingDoc::OnOpenDocument(lpszPathName))
        return FALSE;
    const CString path = FullSequencePath(lpszPathName != nullptr ? lpszPathName : "");
    if (path.IsEmpty()) {
        ReportOpenFailure(lpszPathName, "The current folder cannot be read.");
        return FALSE;
    }
    SetSourcePath(path, TRUE);
    std::vector<CString> names;
    if (ScanSequence(GetFileName(), GetExt(), names) < 0) {
        ReportOpenFailure(path, "Its folder cannot be searched.");
        return FALSE;
    }
    m_frameMap.clear();
    BuildFrameMap(names, m_frameMap);
    if (m_frameMap.empty()) {
        ReportOpenFailure(path, "No visible file of the sequence has a frame number of 32 bits.");
        return FALSE;
    }
    SetTitle(GetBaseName());
    ReadInfoFile();
    ReadFrameRate();
    const long first = m_frameMap.begin()->first;
    const long last = m_frameMap.rbegin()->first;
    OpenFrameRange(first, last);
    return TRUE;
}

void CBmpDoc::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU) {
    // The framework names the path it was given; a relative one would mean another file once the
    // current folder changes.
    const CString full = FullSequencePath(lpszPathName != nullptr ? lpszPathName : "");
    CTrackingDoc::SetPathName(full.IsEmpty() ? lpszPathName : full.GetString(), bAddToMRU);
    if (!GetBaseName().IsEmpty())
        SetTitle(GetBaseName());
}

void CBmpDoc::ReportOpenFailure(LPCTSTR lpszPath, LPCTSTR lpszReason) {
    CString text;
    text.Format("Can't open %s\n%s", lpszPath != nullptr ? lpszPath : "", lpszReason);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

CString CBmpDoc::GetSequenceFolder() const {
    return SequenceFolder(GetDrive(), GetDir());
}

// --- Sequence ---------------------------------------------------------------------------------------

int CBmpDoc::ScanSequence(const CString& fileName, const CString& ext, std::vector<CString>& names) {
    const CString pattern = GetSequenceFolder() + SequenceBaseName(fileName) + "*" + ext;
    WIN32_FIND_DATAA data{};
    const FindHandle search(pattern, &data);
    if (!search.IsOpen())
        return -1;
    int count = 0;
    do {
        if ((data.dwFileAttributes & kSkippedAttributes) == 0) {
            names.emplace_back(data.cFileName);
            ++count;
        }
    } while (search.Next(&data));
    return count;
}

void CBmpDoc::BuildFrameMap(const std::vector<CString>& names, SequenceFrameMap& map) {
    const CString folder = GetSequenceFolder();
    for (const CString& name : names) {
        LONG number = 0;
        if (SequenceFrameNumber(name, GetBaseName(), GetExt(), &number))
            map.emplace(number, folder + name);
    }
}

void CBmpDoc::ReadInfoFile() {
    m_strInformation.Empty();
    CStdioFile file;
    if (file.Open(GetSequenceFolder() + GetBaseName() + ".txt", CFile::modeRead | CFile::typeText)) {
        try {
            // Read in pieces, so that a file without line ends cannot make one huge line.
            char piece[4096];
            while (m_strInformation.GetLength() < kMaxInfoText &&
                   file.ReadString(piece, sizeof piece) != nullptr)
                m_strInformation += piece;
            if (!m_strInformation.IsEmpty() && m_strInformation[m_strInformation.GetLength() - 1] != '\n')
                m_strInformation += "\n";
            return;
        } catch (CException* e) {
            // Unreadable (a folder of that name): as if there were none.
            e->Delete();
            m_strInformation.Empty();
        }
    }
    // The size of a frame actually read; nothing is shown yet.
    const ScreenDc dc;
    for (const auto& entry : m_frameMap) {
        HBITMAP bitmap = ReadFrame(dc, entry.first);
        if (bitmap == nullptr)
            continue;
        BITMAP info{};
        const bool known = GetObjectA(bitmap, sizeof info, &info) == static_cast<int>(sizeof info);
        DeleteObject(bitmap);
        if (known) {
            m_strInformation.Format("Picture Size = %dx%d", static_cast<int>(info.bmWidth),
                                    static_cast<int>(info.bmHeight));
            return;
        }
    }
}

void CBmpDoc::ReadFrameRate() {
    const int rate = ParseFrameRateText(m_strInformation);
    if (rate > 0)
        SetFrameRate(rate);
}

CString CBmpDoc::GetInformation() {
    return m_strInformation.IsEmpty() ? CTrackingDoc::GetInformation() : m_strInformation;
}

// --- Frames -----------------------------------------------------------------------------------------

HBITMAP CBmpDoc::ReadFrame(HDC dc, long frame) {
    const auto found = m_frameMap.find(static_cast<LONG>(frame));
    if (found == m_frameMap.end() || found->first != frame)
        return nullptr;
    HBITMAP bitmap = nullptr;
    try {
        bitmap = ReadImageFile(dc, found->second);
    } catch (CException* e) {
        e->Delete();
    } catch (const vomException&) {
    } catch (const std::exception&) {
    }
    if (bitmap == nullptr)
        OutputDebugStringA("Error CBmpDoc::ReadFrame\n");
    return bitmap;
}

HBITMAP CBmpDoc::ReadImageFile(HDC dc, LPCTSTR lpszPath) {
    BmpFileReader reader;
    reader.ReadFile(lpszPath);
    BmpImgObject image;
    if (!reader.MakeImage(image))
        return nullptr;
    return image.CreateBitmapOnDC(dc);
}

void CBmpDoc::LoadFrame(long frame) {
    CCriticalSectionLock lock(GetFrameLock());
    HBITMAP bitmap = nullptr;
    {
        const ScreenDc dc;
        bitmap = ReadFrame(dc, frame);
    }
    // A gap in the sequence shows no picture.
    ReplaceFrameBitmap(bitmap);
}
