// The program's MDI main frame: the playback control bar, the image-list bar, the point-position bar,
// the toolbar and the status bar, and synchronised playback. In synchronised mode every document that
// was open when the mode was switched on plays, steps and seeks together on a common time axis in
// seconds, driven by the frame's own play thread "SyncPlayer"; switching the mode renumbers the nine
// playback commands in the menus and on the control bar.
//
// Threads: the axis values the play thread reads are atomics; the synchronised list is guarded by its
// lock. Everything else runs on the GUI thread (the play thread hands its calls over).
#pragma once

#include <atomic>
#include <memory>

#include "KivIc/Bars/BarOwners.h"
#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Bars/DlgBarImgList.h"
#include "KivIc/Bars/PosDlgBar.h"
#include "KivIc/Documents/RecordingMenu.h"
#include "KivIc/Main/SyncDocList.h"
#include "KivIc/Play/PlayOwner.h"
#include "KivIc/Play/SyncAxis.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "platform/afx/afxwin.h"

class CSyncPlayThread;
class CVesloDoc;
class CVesloChildFrame;

// Resource ids of the main frame (its menu, title and icon, IDR_MAINFRAME, are shared:
// Documents/RecordingMenu.h).
enum : UINT {
    IDR_MAINTOOLBAR = 153,
};

// The synchronised rate word at start: 12 frames per second shown, one frame per step.
constexpr PlaySpeedWord kDefaultSyncPlaySpeed = 0xC0001;

class CMainFrame : public CMDIFrameWnd, public IPlayMainFrame, public ICtrlBarOwner {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    // Registers the frame's menu, toolbar and strings before loading them.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // --- Bars -------------------------------------------------------------------------------------
    CCtrlBar* GetCtrlBar() override { return &m_wndCtrlBar; }
    CDlgBarImgList* GetImgListBar() override { return &m_wndImgListBar; }
    CPosDlgBar* GetPosBar() override { return &m_wndPosBar; }
    CToolBar* GetToolBar() { return &m_wndToolBar; }
    CStatusBar* GetStatusBar() { return &m_wndStatusBar; }
    // Pass the values to the control bar once its window exists.
    void SetCtrlBarFrame(long frame) override;
    void SetCtrlBarRecordRange(long begin, long end) override;
    void SetCtrlBarPlayRange(long begin, long end) override;
    // Fills the point-position bar; the index of the last row added, or -1.
    int SetPositionList(const PositionRow* rows, int count) override;

    // --- Where the control bar's moves go (ICtrlBarOwner) ------------------------------------------
    // In synchronised mode a position on the common axis, otherwise the active document's; nothing
    // without an active recording window.
    void SyncSetCurrentFrame(long frame) override;
    void SyncSetPlayBegin(long frame) override;
    void SyncSetPlayEnd(long frame) override;

    // --- Synchronised playback --------------------------------------------------------------------
    BOOL IsSyncMode() const override { return m_bSyncMode.load(); }
    BOOL IsSyncPlaying() const { return m_bSyncPlaying.load(); }
    int GetSyncFrameRate() const { return m_nSyncFrameRate.load(); }
    // The frame the control bar shows for a time on the axis.
    long SyncFrameAt(double seconds) const;
    // The axis as it stands: play begin and end, step size and rate.
    SyncAxis GetSyncAxis() const;
    CSyncDocList& GetSyncList() { return m_syncList; }
    BOOL IsSyncDocument(const IPlayDocument* doc) const override { return m_syncList.Contains(doc); }
    // A closing document leaves the synchronised list.
    void RemoveSyncDocument(const IPlayDocument* doc) override;
    void SetSyncLoop(BOOL bLoop) { m_bSyncLoop = bLoop ? TRUE : FALSE; }
    void SetSyncPlaySpeedWord(PlaySpeedWord rate) { m_dwSyncPlaySpeed = rate; }
    // Renumbers the playback commands of every menu (the frame's and the recording windows') for the
    // current mode.
    void RemapMenuCommands() override;
    void RemapMenuCommands(CMenu* pMenu);
    void PostSyncPlay();
    void PostSyncStop();
    // The play thread moves every synchronised document to the time (carried by value).
    void PostSyncStep(double seconds);
    CSyncPlayThread* GetSyncPlayThread() const { return m_pSyncPlayer.get(); }
    // Stops the synchronised play thread and waits for it to end. Closing runs it first.
    void StopSyncPlayThread();
    // Ends synchronised playback for certain, as closing does: the play thread is stopped and joined,
    // so nothing it handed over moves a document later, and a new one waits for the next start.
    void EndSyncPlayNow() override;

    // IPlayMainFrame: read on the play thread.
    double GetSyncBeginTime() const override { return m_dSyncBegin.load(); }
    double GetSyncEndTime() const override { return m_dSyncEnd.load(); }
    double GetSyncCurrentTime() const override { return m_dSyncCurrent.load(); }
    double GetSyncStepTime() const override { return m_dSyncStep.load(); }
    BOOL IsSyncLoop() const override { return m_bSyncLoop.load(); }
    PlaySpeedWord GetSyncPlaySpeedWord() const override { return m_dwSyncPlaySpeed.load(); }
    // IPlayMainFrame: on the GUI thread.
    int GetSyncDocumentCount() const override;
    IPlayDocument* GetSyncDocument(int index) const override;
    void SetSyncPlaying(BOOL bPlaying) override { m_bSyncPlaying = bPlaying ? TRUE : FALSE; }
    // Stores the time and shows its frame on the control bar.
    void SetSyncTime(double seconds) override;
    void StopSyncPlay() override;

    // The active recording window and its document, or null.
    CVesloChildFrame* GetActiveRecordingFrame() const;
    CVesloDoc* GetActiveRecordingDoc() const;
    // ICtrlBarOwner: the active recording window's document, as the bars list it.
    IImgListDocument* GetActiveListDocument() const override;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnClose();
    void OnDestroy();

    // Synchronised commands.
    void OnSyncMode();
    void OnUpdateSyncMode(CCmdUI* pCmdUI);
    void OnSyncStepBack();
    void OnSyncSeekBegin();
    void OnSyncStop();
    void OnSyncPlay();
    void OnSyncPlayBack();
    void OnSyncStepForward();
    void OnSyncSeekEnd();
    void OnSyncSeekT0();
    void OnSyncLoop();
    void OnUpdateSyncAtBegin(CCmdUI* pCmdUI);
    void OnUpdateSyncAtEnd(CCmdUI* pCmdUI);
    void OnUpdateSyncStop(CCmdUI* pCmdUI);
    void OnUpdateSyncSeekT0(CCmdUI* pCmdUI);
    void OnUpdateSyncLoop(CCmdUI* pCmdUI);

    // Bars.
    void OnViewCtrlBar();
    void OnViewImgListBar();
    void OnViewPosBar();
    void OnUpdateViewCtrlBar(CCmdUI* pCmdUI);
    void OnUpdateViewImgListBar(CCmdUI* pCmdUI);
    void OnUpdateViewPosBar(CCmdUI* pCmdUI);
    void OnViewToolBar();
    void OnViewStatusBar();
    void OnUpdateViewToolBar(CCmdUI* pCmdUI);
    void OnUpdateViewStatusBar(CCmdUI* pCmdUI);

    // Files and windows.
    void OnFileOpen();
    void OnFileClose();
    void OnUpdateFileClose(CCmdUI* pCmdUI);
    void OnAppExit();
    DECLARE_MESSAGE_MAP()

private:
    // The synchronised play thread, started and waiting for its first event.
    void StartSyncPlayThread();
    BOOL CreateBars();
    void ToggleBar(CControlBar* pBar);
    void UpdateBarCheck(CControlBar* pBar, CCmdUI* pCmdUI);
    // Mode on: the documents' own playback stops, every open document joins the list and the axis is
    // computed from their ranges and rates. FALSE (told to the user; the mode stays off) when no
    // document has a rate.
    BOOL EnterSyncMode();
    // Mode off: synchronised playback stops first, then the list empties.
    void LeaveSyncMode();
    void StopDocumentsPlaying();
    void StartSyncPlay(int direction);
    // Moves every synchronised document to the time, kept on the axis.
    void SeekSync(double seconds);
    // After the play range changed: the current time moves into it.
    void KeepSyncTimeInRange();
    // A play-range edge from the control bar: a time on the axis in synchronised mode, otherwise the
    // active document's begin or end.
    void SetSyncRangeEdge(std::atomic<double>& edge, long frame, void (CVesloDoc::*setDocEdge)(long));
    // Not playing and an axis to move on.
    BOOL CanSyncMove() const;

    CSyncDocList m_syncList;
    std::atomic<BOOL> m_bSyncMode{FALSE};
    std::atomic<BOOL> m_bSyncPlaying{FALSE};
    std::atomic<BOOL> m_bSyncLoop{FALSE};
    std::atomic<double> m_dSyncBegin{0.0};
    std::atomic<double> m_dSyncEnd{0.0};
    std::atomic<double> m_dSyncCurrent{0.0};
    std::atomic<double> m_dSyncStep{0.0};
    std::atomic<int> m_nSyncFrameRate{0};
    std::atomic<PlaySpeedWord> m_dwSyncPlaySpeed{kDefaultSyncPlaySpeed};
    CDlgBarImgList m_wndImgListBar;
    CPosDlgBar m_wndPosBar;
    CCtrlBar m_wndCtrlBar;
    CToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    std::unique_ptr<CSyncPlayThread> m_pSyncPlayer;
};
