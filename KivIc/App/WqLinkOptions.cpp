// The application's command-line options: reading them and running them in command-line order.
#include "KivIc/App/WqLinkApp.h"
#include "KivIc/Main/MainFrame.h"
#include "KivIc/Playback/VesloDoc.h"

void CWqLinkApp::ParseCommandLine(CVomCmdLineInfo& rCmdInfo) {
    ParseCommandLine(rCmdInfo, AfxGetCommandLineArgs());
}

void CWqLinkApp::ParseCommandLine(CVomCmdLineInfo& rCmdInfo, const std::vector<CString>& args) {
    rCmdInfo.Parse(args, m_strStartFolder);
}

BOOL CWqLinkApp::ProcessOptions(CVomCmdLineInfo& rCmdInfo) {
    BOOL bAny = FALSE;
    BOOL bAllOpened = TRUE;
    BOOL bPlayStarted = FALSE;
    for (const auto& option : rCmdInfo.GetOptions()) {
        bAny = TRUE;
        try {
            switch (option->GetKind()) {
            case kCmdOptionFile:
                if (!OpenOption(*option))
                    bAllOpened = FALSE;
                break;
            case kCmdOptionWt:
            case kCmdOptionWc:
                SendMainCommand(ID_WINDOW_TILE_HORZ);
                break;
            case kCmdOptionSetRate:
                SetRateOption(*option);
                break;
            case kCmdOptionSPlay:
                SyncPlayOption(FALSE, bPlayStarted);
                break;
            case kCmdOptionSLPlay:
                SyncPlayOption(TRUE, bPlayStarted);
                break;
            case kCmdOptionSetRange:
                SetRangeOption(*option);
                break;
            default:
                break;
            }
        } catch (const vomException& e) {
            AfxMessageBox(e.Message().c_str(), MB_ICONEXCLAMATION);
        }
    }
    return bAny && bAllOpened;
}

BOOL CWqLinkApp::OpenOption(const CVomCmdOptionBase& option) {
    const CmdParams* pPath = option.GetParam(0);
    return pPath != nullptr && OpenDocumentFile(pPath->GetParamStr()) != nullptr;
}

void CWqLinkApp::SetRateOption(const CVomCmdOptionBase& option) {
    const CmdParams* pRate = option.GetParam(0);
    const CmdParams* pPath = option.GetParam(1);
    if (pRate == nullptr || pPath == nullptr)
        return;
    CDocument* pDoc = FindDocument(pPath->GetParamStr());
    if (pDoc != nullptr && pDoc->IsKindOf(RUNTIME_CLASS(CVesloDoc)))
        static_cast<CVesloDoc*>(pDoc)->SetFrameRate(pRate->GetParamInt());
}

void CWqLinkApp::SyncPlayOption(BOOL bLoop, BOOL& rbPlayStarted) {
    CMainFrame* pMainFrame = GetMainFrame();
    if (pMainFrame == nullptr)
        return;
    if (bLoop && !pMainFrame->IsSyncLoop())
        SendMainCommand(ID_SYNC_LOOP);
    if (!pMainFrame->IsSyncMode())
        SendMainCommand(ID_SYNC_MODE);
    // The mode is refused (and the user told) when no document has a rate.
    if (!pMainFrame->IsSyncMode() || rbPlayStarted || pMainFrame->IsSyncPlaying())
        return;
    SendMainCommand(ID_SYNC_PLAY);
    rbPlayStarted = TRUE;
}

void CWqLinkApp::SetRangeOption(const CVomCmdOptionBase& option) {
    CMainFrame* pMainFrame = GetMainFrame();
    const CmdParams* pBegin = option.GetParam(0);
    const CmdParams* pEnd = option.GetParam(1);
    if (pMainFrame == nullptr || pBegin == nullptr || pEnd == nullptr)
        return;
    // Without a recording there is no range to set.
    CVesloDoc* pActiveDoc = nullptr;
    if (!pMainFrame->IsSyncMode()) {
        CMDIChildWnd* pChild = pMainFrame->MDIGetActive();
        CDocument* pDoc = pChild != nullptr ? pChild->GetActiveDocument() : nullptr;
        if (pDoc == nullptr || !pDoc->IsKindOf(RUNTIME_CLASS(CVesloDoc)))
            return;
        pActiveDoc = static_cast<CVesloDoc*>(pDoc);
    }
    const long begin = pBegin->GetParamInt();
    const long end = pEnd->GetParamInt();
    pMainFrame->SetCtrlBarPlayRange(begin, end);
    pMainFrame->SyncSetPlayBegin(begin);
    pMainFrame->SyncSetPlayEnd(end);
    // The range is kept within what is recorded: the bar shows what was kept.
    if (pActiveDoc != nullptr)
        pMainFrame->SetCtrlBarPlayRange(pActiveDoc->GetPlayBegin(), pActiveDoc->GetPlayEnd());
    else
        pMainFrame->SetCtrlBarPlayRange(pMainFrame->SyncFrameAt(pMainFrame->GetSyncBeginTime()),
                                        pMainFrame->SyncFrameAt(pMainFrame->GetSyncEndTime()));
}

void CWqLinkApp::SendMainCommand(UINT nID) {
    if (m_pMainWnd != nullptr && m_pMainWnd->GetSafeHwnd() != nullptr)
        m_pMainWnd->SendMessage(WM_COMMAND, nID, 0);
}
