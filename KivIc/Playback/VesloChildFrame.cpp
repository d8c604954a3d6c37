#include "KivIc/Playback/VesloChildFrame.h"

#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Helpers/PropertyDlg.h"
#include "KivIc/Bars/DlgBarImgList.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "KivIc/Playback/VesloDoc.h"
#include "KivIc/Playback/VesloView.h"

IMPLEMENT_DYNCREATE(CVesloChildFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CVesloChildFrame, CMDIChildWnd)
ON_WM_MDIACTIVATE()
ON_COMMAND(ID_PLAY_PLAY, OnPlay)
ON_UPDATE_COMMAND_UI(ID_PLAY_PLAY, OnUpdatePlay)
ON_COMMAND(ID_PLAY_REWIND, OnRewindPlay)
ON_UPDATE_COMMAND_UI(ID_PLAY_REWIND, OnUpdateRewindPlay)
ON_COMMAND(ID_PLAY_STOP, OnStop)
ON_UPDATE_COMMAND_UI(ID_PLAY_STOP, OnUpdateStop)
ON_COMMAND(ID_PLAY_START_FRAME, OnStartFrame)
ON_UPDATE_COMMAND_UI(ID_PLAY_START_FRAME, OnUpdateAtBegin)
ON_COMMAND(ID_PLAY_END_FRAME, OnEndFrame)
ON_UPDATE_COMMAND_UI(ID_PLAY_END_FRAME, OnUpdateAtEnd)
ON_COMMAND(ID_PLAY_REVERSE_STEP, OnReverseStep)
ON_UPDATE_COMMAND_UI(ID_PLAY_REVERSE_STEP, OnUpdateAtBegin)
ON_COMMAND(ID_PLAY_FORWARD_STEP, OnForwardStep)
ON_UPDATE_COMMAND_UI(ID_PLAY_FORWARD_STEP, OnUpdateAtEnd)
ON_COMMAND(ID_PLAY_T0, OnT0)
ON_UPDATE_COMMAND_UI(ID_PLAY_T0, OnUpdateT0)
ON_COMMAND(ID_PLAY_SET_BEGIN, OnSetPlayBegin)
ON_UPDATE_COMMAND_UI(ID_PLAY_SET_BEGIN, OnUpdateSetPlayBegin)
ON_COMMAND(ID_PLAY_SET_END, OnSetPlayEnd)
ON_UPDATE_COMMAND_UI(ID_PLAY_SET_END, OnUpdateSetPlayEnd)
ON_COMMAND(ID_PLAY_LOOP, OnLoop)
ON_UPDATE_COMMAND_UI(ID_PLAY_LOOP, OnUpdateLoop)
ON_COMMAND(ID_MOUSE_MOVE, OnMouseMove)
ON_UPDATE_COMMAND_UI(ID_MOUSE_MOVE, OnUpdateMouseMove)
ON_COMMAND(ID_MOUSE_ZOOM, OnMouseZoom)
ON_UPDATE_COMMAND_UI(ID_MOUSE_ZOOM, OnUpdateMouseZoom)
ON_COMMAND(ID_MOUSE_ZOOM_RECT, OnMouseZoomRect)
ON_UPDATE_COMMAND_UI(ID_MOUSE_ZOOM_RECT, OnUpdateMouseZoomRect)
ON_COMMAND(ID_ZOOM_IN, OnZoomIn)
ON_COMMAND(ID_ZOOM_OUT, OnZoomOut)
ON_COMMAND(ID_ZOOM_ORIGINAL, OnZoomOriginal)
ON_COMMAND(ID_RETICLE_INPUT, OnReticleInput)
ON_UPDATE_COMMAND_UI(ID_RETICLE_INPUT, OnUpdateReticleInput)
ON_COMMAND(ID_PICTURE_INFO, OnPictureInfo)
ON_COMMAND(ID_FRAME_RATE, OnFrameRate)
ON_UPDATE_COMMAND_UI(ID_FRAME_RATE, OnUpdateDisabled)
ON_UPDATE_COMMAND_UI(ID_CTRL_2001, OnUpdateDisabled)
ON_EN_KILLFOCUS(IDC_CTRL_ZOOM, OnKillFocusZoom)
END_MESSAGE_MAP()

namespace {

// The control-bar fields Enter applies, in the order they are asked for the focus.
constexpr UINT kEnterFields[] = {IDC_CTRL_ZOOM, IDC_CTRL_SPEED, IDC_CTRL_CHROMA, IDC_CTRL_BRIGHTNESS,
                                 IDC_CTRL_CONTRAST};

} // namespace

CVesloChildFrame::CVesloChildFrame() = default;

CVesloChildFrame::~CVesloChildFrame() = default;

CVesloDoc* CVesloChildFrame::GetVesloDoc() const {
    CVesloView* view = GetVesloView();
    return view != nullptr ? view->GetVesloDoc() : nullptr;
}

CVesloView* CVesloChildFrame::GetVesloView() const {
    CView* view = m_pViewActive;
    if (view == nullptr) {
        CWnd* pane = GetDlgItem(AFX_IDW_PANE_FIRST);
        view = pane != nullptr && pane->IsKindOf(RUNTIME_CLASS(CView)) ? static_cast<CView*>(pane) : nullptr;
    }
    return view != nullptr && view->IsKindOf(RUNTIME_CLASS(CVesloView)) ? static_cast<CVesloView*>(view)
                                                                        : nullptr;
}

IPlayMainFrame* CVesloChildFrame::GetPlayMainFrame() const {
    return dynamic_cast<IPlayMainFrame*>(m_pMDIFrame);
}

ICtrlBarOwner* CVesloChildFrame::GetBarOwner() const {
    return dynamic_cast<ICtrlBarOwner*>(m_pMDIFrame);
}

CCtrlBar* CVesloChildFrame::GetCtrlBar() const {
    ICtrlBarOwner* bars = GetBarOwner();
    return bars != nullptr && bars->GetCtrlBar()->GetSafeHwnd() != nullptr ? bars->GetCtrlBar() : nullptr;
}

BOOL CVesloChildFrame::CanEditWhileStopped(CCmdUI* pCmdUI) {
    CVesloDoc* doc = GetVesloDoc();
    if (doc == nullptr)
        return FALSE;
    if (doc->IsPlaying()) {
        pCmdUI->Enable(FALSE);
        return FALSE;
    }
    return TRUE;
}

BOOL CVesloChildFrame::IsToolLocked() {
    return FALSE;
}

// --- Activation -------------------------------------------------------------------------------------

void CVesloChildFrame::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd) {
    BeginWaitCursor();
    CMDIChildWnd::OnMDIActivate(bActivate, pActivateWnd, pDeactivateWnd);
    IPlayMainFrame* main = GetPlayMainFrame();
    CVesloDoc* doc = GetVesloDoc();
    if (doc != nullptr && (main == nullptr || !main->IsSyncMode())) {
        doc->SetActive(bActivate);
        SyncControlBar(bActivate);
        if (bActivate) {
            if (ICtrlBarOwner* bars = GetBarOwner()) {
                bars->GetImgListBar()->SelectDocument(doc);
                if (CCtrlBar* bar = GetCtrlBar())
                    bar->SetPlaySpeed(static_cast<int>(doc->GetPlaySpeedWord() >> 16));
            }
            doc->UpdateAllViews(nullptr);
        }
    }
    // The bar speaks for the active window, also in synchronised mode; after the last one for none.
    CCtrlBar* bar = GetCtrlBar();
    if (bActivate && bar != nullptr) {
        bar->EnableRecordingFields();
        ShowColourSettings();
        if (CVesloView* view = GetVesloView())
            WriteZoomField(view->GetZoomPercentShown());
    } else if (pActivateWnd == nullptr && bar != nullptr) {
        bar->ShowNoRecording();
    }
    if (main != nullptr)
        main->RemapMenuCommands();
    EndWaitCursor();
}

void CVesloChildFrame::ShowColourSettings() {
    if (CCtrlBar* bar = GetCtrlBar())
        bar->ShowColourFields(FALSE);
}

void CVesloChildFrame::SyncControlBar(BOOL bActive) {
    CCtrlBar* bar = GetCtrlBar();
    if (bar != nullptr)
        bar->EnableSlider(bActive);
    CVesloDoc* doc = GetVesloDoc();
    if (doc == nullptr)
        return;
    CWnd* speed = bar != nullptr ? bar->GetDlgItem(IDC_CTRL_SPEED) : nullptr;
    if (!bActive) {
        // By the document's own Stop: the Stop command may be disabled by now and would be dropped.
        if (doc->IsPlaying() || doc->IsLoopPlay())
            doc->Stop();
        CVesloView* view = GetVesloView();
        if (doc->IsPointInput()) {
            doc->EndPointInput();
            if (view != nullptr)
                view->m_painter.m_bCrosshair = false;
        }
        if (view != nullptr) {
            view->SetMouseMode(CPosInView::ModeNone);
            view->m_drag = CPosInDrag();
        }
        if (speed != nullptr)
            speed->EnableWindow(FALSE);
        if (bar != nullptr && bar->GetSpeedSpin().GetSafeHwnd() != nullptr)
            bar->GetSpeedSpin().EnableWindow(FALSE);
        return;
    }
    if (ICtrlBarOwner* bars = GetBarOwner()) {
        bars->SetCtrlBarRecordRange(doc->GetRecordBegin(), doc->GetRecordEnd());
        bars->SetCtrlBarPlayRange(doc->GetPlayBegin(), doc->GetPlayEnd());
        bars->SetCtrlBarFrame(doc->GetCurrentFrame());
    }
    if (speed != nullptr)
        speed->EnableWindow(TRUE);
    if (bar != nullptr && bar->GetSpeedSpin().GetSafeHwnd() != nullptr)
        bar->GetSpeedSpin().EnableWindow(TRUE);
}

// --- Control-bar fields -----------------------------------------------------------------------------

BOOL CVesloChildFrame::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN) {
        if (pMsg->wParam == VK_RETURN) {
            OnCtrlBarEnter();
            return TRUE;
        }
        if (pMsg->wParam == VK_ESCAPE)
            return TRUE;
    }
    return CMDIChildWnd::PreTranslateMessage(pMsg);
}

void CVesloChildFrame::OnCtrlBarEnter() {
    CCtrlBar* bar = GetCtrlBar();
    if (bar == nullptr)
        return;
    CWnd* focus = CWnd::GetFocus();
    if (focus == nullptr)
        return;
    for (UINT id : kEnterFields) {
        CWnd* field = bar->GetDlgItem(static_cast<int>(id));
        if (field == nullptr || field != focus)
            continue;
        if (id == IDC_CTRL_SPEED && !bar->UpdateSpeedFromField())
            return;
        // Enter in the zoom field takes it as leaving the field does.
        if (id == IDC_CTRL_ZOOM)
            return OnKillFocusZoom();
        BOOL ok = FALSE;
        const int value = static_cast<int>(bar->GetDlgItemInt(static_cast<int>(id), &ok, TRUE));
        if (ok)
            OnCtrlBarValue(static_cast<int>(id), value);
        return;
    }
}

void CVesloChildFrame::OnKillFocusZoom() {
    CCtrlBar* bar = GetCtrlBar();
    if (bar == nullptr)
        return;
    BOOL ok = FALSE;
    const int value = static_cast<int>(bar->GetDlgItemInt(IDC_CTRL_ZOOM, &ok, TRUE));
    CVesloView* view = GetVesloView();
    OnCtrlBarValue(IDC_CTRL_ZOOM, ok ? value : (view != nullptr ? view->GetZoomPercentShown() : 100));
}

void CVesloChildFrame::OnCtrlBarValue(int id, int value) {
    if (id != static_cast<int>(IDC_CTRL_ZOOM))
        return;
    CVesloView* view = GetVesloView();
    if (view == nullptr)
        return;
    // The view refuses what lies outside 1:16 to 16:1 (7 to 1600 per cent); a value past 16 bits is
    // refused too, never taken modulo 65536.
    if (value != view->GetZoomPercentShown() && view->SetZoomPercent(value, TRUE))
        view->m_painter.Refresh(view->GetSafeHwnd(), TRUE);
    WriteZoomField(view->GetZoomPercentShown());
}

void CVesloChildFrame::WriteZoomField(int percent) {
    WriteBarField(IDC_CTRL_ZOOM, percent);
}

void CVesloChildFrame::WriteBarField(int id, int value) {
    CCtrlBar* bar = GetCtrlBar();
    if (bar == nullptr)
        return;
    // Only the active window speaks for the shared field (the bar is there: the frame is the program's).
    CMDIFrameWnd* frame = GetMDIFrame();
    if (frame != nullptr && frame->MDIGetActive() != nullptr && frame->MDIGetActive() != this)
        return;
    bar->SetDlgItemInt(id, static_cast<UINT>(value), TRUE);
}

void CVesloChildFrame::ShowZoom(int percent) {
    OnCtrlBarValue(IDC_CTRL_ZOOM, percent);
}

void CVesloChildFrame::ResetZoom() {
    if (CVesloView* view = GetVesloView()) {
        view->SetZoom(1, 1, FALSE);
        view->ScrollToImage(0, 0, TRUE);
    }
    WriteZoomField(100);
}
