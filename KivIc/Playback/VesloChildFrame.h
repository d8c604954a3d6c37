// The playback child frame of every recording window: the playback, zoom, mouse-mode, point-input and
// picture-information commands, the control bar kept in step with the active document, and the values
// typed into the control bar passed on to the document or view.
#pragma once

#include <memory>

#include "platform/afx/afxwin.h"

class CVesloDoc;
class CVesloView;
class IPlayMainFrame;
class ICtrlBarOwner;
class CCtrlBar;
class CPropertyDlg;

class CVesloChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CVesloChildFrame)
public:
    CVesloChildFrame();
    ~CVesloChildFrame() override;

    CVesloDoc* GetVesloDoc() const;
    CVesloView* GetVesloView() const;

    // FALSE when the commands that move the document must not run: the item is disabled while the
    // document plays, left as it is without a document.
    virtual BOOL CanEditWhileStopped(CCmdUI* pCmdUI);
    // The control bar follows the frame's activation: on activation it shows the document's ranges and
    // frame; on deactivation a playing document stops and point input and mouse modes end.
    virtual void SyncControlBar(BOOL bActive);
    // The control bar's colour fields speak for the active window, also in synchronised mode: empty
    // and disabled here, for a window without colour settings.
    virtual void ShowColourSettings();
    // Enter in a control-bar field: the field with the focus among zoom, speed and the raw camera's
    // fields is passed on.
    virtual void OnCtrlBarEnter();
    virtual BOOL IsToolLocked();
    // A value typed into a control-bar field; here only the zoom (2003) in per cent.
    virtual void OnCtrlBarValue(int id, int value);
    // The view back to 1:1 at the origin, and 100 in the zoom field.
    void ResetZoom();
    void ShowZoom(int percent);
    // "Title=...\nType=...\nFilePath=...\n\n" and the document's information.
    CString GetPictureInformation();
    CPropertyDlg* GetPropertyDlg() const { return m_pPropertyDlg.get(); }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // The main frame as a recording window reaches it: its synchronised playback and its bars; null in
    // a frame that is not the program's.
    IPlayMainFrame* GetPlayMainFrame() const;
    ICtrlBarOwner* GetBarOwner() const;
    CCtrlBar* GetCtrlBar() const;
    // Play (step +1) or rewind play (step -1) at the control bar's speed.
    void StartPlay(int step);
    // Sets the play begin or end at the current frame: the recording's own, or the common axis's.
    void SetPlayEdgeHere(void (CCtrlBar::*setBarEdge)(long), void (CVesloDoc::*setDocEdge)(long));
    // Mouse mode: armed mode on, or off when that mode (or its active form) is on.
    void ToggleMouseMode(int mode);
    void WriteZoomField(int percent);
    // A number into a control-bar field; only the active window speaks for the shared fields.
    void WriteBarField(int id, int value);

    void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);

    void OnPlay();
    void OnRewindPlay();
    void OnStop();
    void OnStartFrame();
    void OnEndFrame();
    void OnReverseStep();
    void OnForwardStep();
    void OnT0();
    void OnSetPlayBegin();
    void OnSetPlayEnd();
    void OnLoop();
    void OnUpdatePlay(CCmdUI* pCmdUI);
    void OnUpdateRewindPlay(CCmdUI* pCmdUI);
    void OnUpdateStop(CCmdUI* pCmdUI);
    void OnUpdateAtBegin(CCmdUI* pCmdUI);
    void OnUpdateAtEnd(CCmdUI* pCmdUI);
    void OnUpdateT0(CCmdUI* pCmdUI);
    void OnUpdateSetPlayBegin(CCmdUI* pCmdUI);
    void OnUpdateSetPlayEnd(CCmdUI* pCmdUI);
    void OnUpdateLoop(CCmdUI* pCmdUI);

    void OnMouseMove();
    void OnMouseZoom();
    void OnMouseZoomRect();
    void OnUpdateMouseMove(CCmdUI* pCmdUI);
    void OnUpdateMouseZoom(CCmdUI* pCmdUI);
    void OnUpdateMouseZoomRect(CCmdUI* pCmdUI);
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomOriginal();
    void OnReticleInput();
    void OnUpdateReticleInput(CCmdUI* pCmdUI);
    void OnPictureInfo();
    void OnFrameRate();
    void OnUpdateDisabled(CCmdUI* pCmdUI);
    void OnKillFocusZoom();
    DECLARE_MESSAGE_MAP()

private:
    std::unique_ptr<CPropertyDlg> m_pPropertyDlg;
};
