// The conversion commands of the convertible document: "Save as", the free-space check and the driver
// that picks the converting dialog by the target's extension.
#include "KivIc/Documents/FcDoc.h"

#include <memory>

#include "KivIc/Conversion/AviConvertingDlg.h"
#include "KivIc/Conversion/ConvFileSave.h"
#include "KivIc/Conversion/RecordingConverter.h"
#include "KivIc/Conversion/SequenceConvertingDlg.h"
#include "KivIc/Playback/SourcePath.h"
#include "platform/win32/files.h"
#include "vomLib/avilib/MovieException.h"

namespace {

constexpr UINT IDS_DISK_SPACE = 7;

void RegisterStrings() {
    static const bool done = [] {
        AfxRegisterString(IDS_DISK_SPACE,
                          "There is not enough free disk space to save \"%s\".\nNeeded: %s\nFree: %s");
        return true;
    }();
    (void)done;
}

CString DescribeBytes(ULONGLONG bytes) {
    CString text;
    text.Format("%.1f MB (%llu bytes)", static_cast<double>(bytes) / (1024.0 * 1024.0),
                static_cast<unsigned long long>(bytes));
    return text;
}

// Own and synchronised playback end before anything else, for certain and at once: their play threads
// are stopped and joined, as closing a document does, so that no frame change they handed over comes
// in between and nothing else that waits (a close of the window) is handled meanwhile. New threads wait
// for the next start.
void StopPlayback(CFcDoc* doc) {
    if (IPlayMainFrame* main = CVesloDoc::GetPlayMainFrame())
        main->EndSyncPlayNow();
    if (doc->IsPlaying()) {
        doc->StopPlayThread();
        doc->StartPlayThread();
    }
}

} // namespace

void CFcDoc::OnConvertSave() {
    if (IsConverting())
        return;
    StopPlayback(this);
    const long shown = GetCurrentFrame();
    CWnd* main = AfxGetMainWnd();
    CConvFileSave dlg(main);
    // The source's name without its extension, in the source's folder (the document's directory
    // field holds the whole path once the source is open, so the path is split again here).
    const SourcePathParts source = SplitSourcePath(GetFullPath());
    dlg.m_strInitialName = source.drive + source.dir + source.fileName;
    dlg.SetCompressorName(m_strCompressorName);
    dlg.SetQuality(m_dwQuality);
    dlg.SetHandler(m_fccHandler);
    try {
        dlg.SetFrameSize(GetFrameWidth(), GetFrameHeight());
    } catch (CException* e) {
        ReportFrameFailure(shown, e);
        return;
    }
    if (dlg.DoModal() != IDOK)
        return;
    m_strTargetPath = dlg.GetPathName();
    m_strCompressorName = dlg.GetCompressorName();
    m_dwQuality = dlg.GetQuality();
    m_fccHandler = dlg.GetHandler();
    if (CheckDiskSpace(m_strTargetPath))
        Convert();
    // The source goes back to the frame on screen, which a later sample click or setting works on.
    if (IsSourceOpen()) {
        try {
            PutCurrentFrame(shown);
        } catch (CException* e) {
            ReportFrameFailure(shown, e);
        }
    }
}

BOOL CFcDoc::CheckDiskSpace(LPCTSTR lpszPath) {
    RegisterStrings();
    const SourcePathParts parts = SplitSourcePath(lpszPath != nullptr ? lpszPath : "");
    const CString folder = parts.drive + parts.dir;
    ULARGE_INTEGER available{};
    ULONGLONG free = 4294967295ull;
    if (GetDiskFreeSpaceExA(folder.IsEmpty() ? nullptr : folder.GetString(), &available, nullptr, nullptr))
        free = available.QuadPart;
    long long need = 0;
    try {
        need = static_cast<long long>(GetBitmapBytes()) *
               (static_cast<long long>(GetPlayEnd()) - GetPlayBegin() + 1);
    } catch (CException* e) {
        ReportFrameFailure(GetCurrentFrame(), e);
        return FALSE;
    }
    if (need <= 0 || static_cast<ULONGLONG>(need) <= free)
        return TRUE;
    CString text;
    text.Format(AfxString(IDS_DISK_SPACE), lpszPath, DescribeBytes(static_cast<ULONGLONG>(need)).GetString(),
                DescribeBytes(free).GetString());
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
}

BOOL CFcDoc::Convert() {
    CWnd* main = AfxGetMainWnd();
    if (main != nullptr)
        main->EnableWindow(FALSE);
    const CString ext = ExtensionOf(m_strTargetPath);
    BOOL result = FALSE;
    std::unique_ptr<CConvertingDlg> dlg;
    try {
        if (ext != "avi" && ext != "jpg" && ext != "tif" && ext != "bmp") {
            AfxMessageBox("not support conversiontype " + ext, MB_OK | MB_ICONEXCLAMATION);
        } else {
            ConvertSource source;
            source.first = GetPlayBegin();
            source.last = GetPlayEnd();
            source.information = GetInformation();
            source.width = GetFrameWidth();
            source.height = GetFrameHeight();
            source.frameBytes = static_cast<DWORD>(GetBitmapBytes());
            const std::vector<BYTE> settings = GetPipelineSettings();
            source.makeConverter = RecordingConverterFactory(
                GetFullPath().GetString(), std::vector<BYTE>(settings.begin(), settings.end()));
            if (ext == "avi")
                dlg = std::make_unique<CAviConvertingDlg>(source, m_strTargetPath, m_fccHandler, m_dwQuality,
                                                          m_strCompressorName, main);
            else if (ext == "jpg")
                dlg = std::make_unique<CJpgConvertingDlg>(source, m_strTargetPath, m_dwQuality, main);
            else if (ext == "tif")
                dlg = std::make_unique<CTifConvertingDlg>(source, m_strTargetPath, main);
            else
                dlg = std::make_unique<CBmpConvertingDlg>(source, m_strTargetPath, main);
            m_pConverting = dlg.get();
            result = dlg->Run();
            m_pConverting = nullptr;
            if (result)
                dlg->OpenResult();
        }
    } catch (const CMovieException& e) {
        AfxMessageBox(e.m_message != nullptr ? e.m_message : "AVI Convert Failed.",
                      MB_OK | MB_ICONEXCLAMATION);
        result = FALSE;
    } catch (CException* e) {
        char text[257] = "";
        if (!e->GetErrorMessage(text, sizeof text) || text[0] == '\0')
            AfxMessageBox(ext == "avi" ? "AVI Convert Failed." : "Convert Failed.",
                          MB_OK | MB_ICONEXCLAMATION);
        else
            AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        e->Delete();
        result = FALSE;
    }
    m_pConverting = nullptr;
    if (dlg) {
        dlg->DestroyWindow();
        dlg.reset();
    }
    if (main != nullptr)
        main->EnableWindow(TRUE);
    return result;
}

CString CFcDoc::GetBusyText() const {
    if (IsConverting())
        return "A conversion of this recording is running. Cancel in its progress window stops it.";
    return CAviDoc::GetBusyText();
}
