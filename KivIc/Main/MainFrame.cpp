#include "KivIc/Main/MainFrame.h"

#include "KivIc/Documents/RecordingMenu.h"
#include "KivIc/Main/MainResources.h"
#include "KivIc/Play/SyncPlayThread.h"
#include "KivIc/Playback/VesloChildFrame.h"
#include "KivIc/Playback/VesloDoc.h"

IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_COMMAND(ID_SYNC_MODE, OnSyncMode)
ON_UPDATE_COMMAND_UI(ID_SYNC_MODE, OnUpdateSyncMode)
ON_COMMAND(ID_SYNC_STEP_BACK, OnSyncStepBack)
ON_UPDATE_COMMAND_UI(ID_SYNC_STEP_BACK, OnUpdateSyncAtBegin)
ON_COMMAND(ID_SYNC_SEEK_BEGIN, OnSyncSeekBegin)
ON_UPDATE_COMMAND_UI(ID_SYNC_SEEK_BEGIN, OnUpdateSyncAtBegin)
ON_COMMAND(ID_SYNC_STOP, OnSyncStop)
ON_UPDATE_COMMAND_UI(ID_SYNC_STOP, OnUpdateSyncStop)
ON_COMMAND(ID_SYNC_PLAY, OnSyncPlay)
ON_UPDATE_COMMAND_UI(ID_SYNC_PLAY, OnUpdateSyncAtEnd)
ON_COMMAND(ID_SYNC_PLAY_BACK, OnSyncPlayBack)
ON_UPDATE_COMMAND_UI(ID_SYNC_PLAY_BACK, OnUpdateSyncAtBegin)
ON_COMMAND(ID_SYNC_STEP_FORWARD, OnSyncStepForward)
ON_UPDATE_COMMAND_UI(ID_SYNC_STEP_FORWARD, OnUpdateSyncAtEnd)
ON_COMMAND(ID_SYNC_SEEK_END, OnSyncSeekEnd)
ON_UPDATE_COMMAND_UI(ID_SYNC_SEEK_END, OnUpdateSyncAtEnd)
ON_COMMAND(ID_SYNC_SEEK_T0, OnSyncSeekT0)
ON_UPDATE_COMMAND_UI(ID_SYNC_SEEK_T0, OnUpdateSyncSeekT0)
ON_COMMAND(ID_SYNC_LOOP, OnSyncLoop)
ON_UPDATE_COMMAND_UI(ID_SYNC_LOOP, OnUpdateSyncLoop)
ON_COMMAND(ID_VIEW_CTRLBAR, OnViewCtrlBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_CTRLBAR, OnUpdateViewCtrlBar)
ON_COMMAND(ID_VIEW_IMGLISTBAR, OnViewImgListBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_IMGLISTBAR, OnUpdateViewImgListBar)
ON_COMMAND(ID_VIEW_POSBAR, OnViewPosBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_POSBAR, OnUpdateViewPosBar)
ON_COMMAND(ID_VIEW_TOOLBAR, OnViewToolBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateViewToolBar)
ON_COMMAND(ID_VIEW_STATUS_BAR, OnViewStatusBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateViewStatusBar)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
ON_UPDATE_COMMAND_UI(ID_FILE_CLOSE, OnUpdateFileClose)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

namespace {

const char* const kBarStateName = "KIVTOOLBARS";

const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

} // namespace

CMainFrame::CMainFrame() {
    RegisterMainFrameResources();
    m_wndCtrlBar.SetOwnerFrame(this);
    StartSyncPlayThread();
}

CMainFrame::~CMainFrame() {
    // The thread reads this frame's fields and walks its list: it ends before they go.
    StopSyncPlayThread();
}

void CMainFrame::StopSyncPlayThread() {
    m_pSyncPlayer.reset();
    m_bSyncPlaying = FALSE;
}

void CMainFrame::StartSyncPlayThread() {
    m_pSyncPlayer = std::make_unique<CSyncPlayThread>("SyncPlayer", this);
    m_pSyncPlayer->StartThread();
}

BOOL CMainFrame::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                           CCreateContext* pContext) {
    RegisterMainFrameResources();
    return CMDIFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CMDIFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.style = static_cast<LONG>(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE | FWS_ADDTOTITLE);
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndStatusBar.Create(this) ||
        !m_wndStatusBar.SetIndicators(kIndicators, static_cast<int>(std::size(kIndicators))))
        return -1;
    if (m_wndCtrlBar.CreateBar(this) != 0)
        return -1;
    // No recording window is open yet: the bar speaks for none, as after the last one closes.
    m_wndCtrlBar.ShowNoRecording();
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                               WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY,
                               CRect(0, 0, 0, 0), IDR_MAINTOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINTOOLBAR))
        return -1;
    if (!CreateBars())
        return -1;
    // The control bar lies along the top or bottom edge, the two lists along a side; the saved places
    // win over these.
    m_wndCtrlBar.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    m_wndImgListBar.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    m_wndPosBar.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndCtrlBar, AFX_IDW_DOCKBAR_BOTTOM);
    DockControlBar(&m_wndToolBar);
    DockControlBar(&m_wndImgListBar, AFX_IDW_DOCKBAR_LEFT);
    DockControlBar(&m_wndPosBar, AFX_IDW_DOCKBAR_LEFT);
    LoadBarState(kBarStateName);
    if (CWinApp* app = AfxGetApp()) {
        if (HICON icon = app->LoadIcon(IDR_MAINFRAME)) {
            SetIcon(icon, TRUE);
            SetIcon(icon, FALSE);
        }
    }
    return 0;
}

BOOL CMainFrame::CreateBars() {
    // The list of open recordings and the tracked points of the shown frame.
    if (!m_wndImgListBar.CreateBar(this) || !m_wndPosBar.CreateBar(this))
        return FALSE;
    m_wndImgListBar.SetOwner(this);
    m_wndPosBar.SetOwner(this);
    return TRUE;
}

void CMainFrame::OnClose() {
    // A document that may not close now (a tracking run or a conversion works on it) keeps the program
    // open, with its synchronised playback intact; the user is told why.
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this && !app->SaveAllModified())
        return;
    SaveBarState(kBarStateName);
    // Synchronised playback calls into the documents: it ends before they close.
    StopSyncPlayThread();
    m_syncList.Clear();
    CMDIFrameWnd::OnClose();
}

void CMainFrame::OnDestroy() {
    StopSyncPlayThread();
    m_syncList.Clear();
    CMDIFrameWnd::OnDestroy();
}

// --- Bars -------------------------------------------------------------------------------------------

void CMainFrame::SetCtrlBarFrame(long frame) {
    if (m_wndCtrlBar.GetSafeHwnd() != nullptr)
        m_wndCtrlBar.SetFrame(frame);
}

void CMainFrame::SetCtrlBarRecordRange(long begin, long end) {
    if (m_wndCtrlBar.GetSafeHwnd() != nullptr)
        m_wndCtrlBar.SetRecordRange(begin, end);
}

void CMainFrame::SetCtrlBarPlayRange(long begin, long end) {
    if (m_wndCtrlBar.GetSafeHwnd() != nullptr)
        m_wndCtrlBar.SetPlayRange(begin, end);
}

int CMainFrame::SetPositionList(const PositionRow* rows, int count) {
    if (m_wndPosBar.GetSafeHwnd() == nullptr)
        return -1;
    m_wndPosBar.DeleteAllRows();
    int last = -1;
    for (int i = 0; rows != nullptr && i < count; ++i)
        last = m_wndPosBar.AddRow(i, rows[i]);
    return last;
}

void CMainFrame::ToggleBar(CControlBar* pBar) {
    if (pBar->GetSafeHwnd() != nullptr)
        ShowControlBar(pBar, !pBar->IsVisible(), FALSE);
}

void CMainFrame::UpdateBarCheck(CControlBar* pBar, CCmdUI* pCmdUI) {
    pCmdUI->Enable(pBar->GetSafeHwnd() != nullptr);
    pCmdUI->SetCheck(pBar->GetSafeHwnd() != nullptr && pBar->IsVisible() ? 1 : 0);
}

void CMainFrame::OnViewCtrlBar() {
    ToggleBar(&m_wndCtrlBar);
}

void CMainFrame::OnViewImgListBar() {
    ToggleBar(&m_wndImgListBar);
}

void CMainFrame::OnViewPosBar() {
    ToggleBar(&m_wndPosBar);
}

void CMainFrame::OnViewToolBar() {
    ToggleBar(&m_wndToolBar);
}

void CMainFrame::OnViewStatusBar() {
    ToggleBar(&m_wndStatusBar);
}

void CMainFrame::OnUpdateViewCtrlBar(CCmdUI* pCmdUI) {
    UpdateBarCheck(&m_wndCtrlBar, pCmdUI);
}

void CMainFrame::OnUpdateViewImgListBar(CCmdUI* pCmdUI) {
    UpdateBarCheck(&m_wndImgListBar, pCmdUI);
}

void CMainFrame::OnUpdateViewPosBar(CCmdUI* pCmdUI) {
    UpdateBarCheck(&m_wndPosBar, pCmdUI);
}

void CMainFrame::OnUpdateViewToolBar(CCmdUI* pCmdUI) {
    UpdateBarCheck(&m_wndToolBar, pCmdUI);
}

void CMainFrame::OnUpdateViewStatusBar(CCmdUI* pCmdUI) {
    UpdateBarCheck(&m_wndStatusBar, pCmdUI);
}

// --- Files and windows ------------------------------------------------------------------------------

void CMainFrame::OnFileOpen() {
    if (CWinApp* app = AfxGetApp())
        app->OnFileOpen();
}

void CMainFrame::OnFileClose() {
    if (CMDIChildWnd* child = MDIGetActive())
        child->SendMessage(WM_CLOSE);
}

void CMainFrame::OnUpdateFileClose(CCmdUI* pCmdUI) {
    pCmdUI->Enable(MDIGetActive() != nullptr);
}

void CMainFrame::OnAppExit() {
    SendMessage(WM_CLOSE);
}

CVesloChildFrame* CMainFrame::GetActiveRecordingFrame() const {
    CMDIChildWnd* child = MDIGetActive();
    if (child == nullptr || child->GetSafeHwnd() == nullptr ||
        !child->IsKindOf(RUNTIME_CLASS(CVesloChildFrame)))
        return nullptr;
    return static_cast<CVesloChildFrame*>(child);
}
