// The picture commands of the recording window: mouse modes, zoom, point input, picture information
// and the recording's frame rate.
#include "KivIc/Dialogs/FrameRateDlg.h"
#include "KivIc/Helpers/PropertyDlg.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "KivIc/Playback/VesloChildFrame.h"
#include "KivIc/Playback/VesloDoc.h"
#include "KivIc/Playback/VesloView.h"

void CVesloChildFrame::ToggleMouseMode(int mode) {
    CVesloView* view = GetVesloView();
    if (view == nullptr)
        return;
    const int current = view->GetMouseMode();
    bool on = current == mode;
    if (mode == CPosInView::ModeMoveArmed)
        on = on || current == CPosInView::ModeMoving;
    else if (mode == CPosInView::ModeRectArmed)
        on = on || current == CPosInView::ModeRubberBand;
    view->SetMouseMode(on ? CPosInView::ModeNone : mode);
    view->m_painter.m_bCrosshair = !on && mode == CPosInView::ModeZoom;
    view->m_drag = CPosInDrag();
}

void CVesloChildFrame::OnMouseMove() {
    ToggleMouseMode(CPosInView::ModeMoveArmed);
}

void CVesloChildFrame::OnMouseZoom() {
    ToggleMouseMode(CPosInView::ModeZoom);
}

void CVesloChildFrame::OnMouseZoomRect() {
    ToggleMouseMode(CPosInView::ModeRectArmed);
}

void CVesloChildFrame::OnUpdateMouseMove(CCmdUI* pCmdUI) {
    CVesloView* view = GetVesloView();
    const int mode = view != nullptr ? view->GetMouseMode() : CPosInView::ModeNone;
    pCmdUI->SetCheck(mode == CPosInView::ModeMoveArmed || mode == CPosInView::ModeMoving ? 1 : 0);
    pCmdUI->Enable(view != nullptr && !IsToolLocked());
}

void CVesloChildFrame::OnUpdateMouseZoom(CCmdUI* pCmdUI) {
    CVesloView* view = GetVesloView();
    pCmdUI->SetCheck(view != nullptr && view->GetMouseMode() == CPosInView::ModeZoom ? 1 : 0);
    pCmdUI->Enable(view != nullptr && !IsToolLocked());
}

void CVesloChildFrame::OnUpdateMouseZoomRect(CCmdUI* pCmdUI) {
    CVesloView* view = GetVesloView();
    const int mode = view != nullptr ? view->GetMouseMode() : CPosInView::ModeNone;
    pCmdUI->SetCheck(mode == CPosInView::ModeRectArmed || mode == CPosInView::ModeRubberBand ? 1 : 0);
    pCmdUI->Enable(view != nullptr && !IsToolLocked());
}

void CVesloChildFrame::OnZoomIn() {
    if (CVesloView* view = GetVesloView()) {
        view->OnZoomIn(TRUE);
        ShowZoom(view->GetZoomPercentShown());
    }
}

void CVesloChildFrame::OnZoomOut() {
    if (CVesloView* view = GetVesloView()) {
        view->OnZoomOut(TRUE);
        ShowZoom(view->GetZoomPercentShown());
    }
}

void CVesloChildFrame::OnZoomOriginal() {
    if (CVesloView* view = GetVesloView()) {
        view->SetZoom(1, 1, TRUE);
        ShowZoom(100);
    }
}

void CVesloChildFrame::OnReticleInput() {
    if (CVesloView* view = GetVesloView())
        view->TogglePointInput();
}

void CVesloChildFrame::OnUpdateReticleInput(CCmdUI* pCmdUI) {
    CVesloDoc* doc = GetVesloDoc();
    pCmdUI->Enable(doc != nullptr);
    pCmdUI->SetCheck(doc != nullptr && doc->IsPointInput() ? 1 : 0);
}

CString CVesloChildFrame::GetPictureInformation() {
    CVesloDoc* doc = GetVesloDoc();
    if (doc == nullptr)
        return CString();
    CString text;
    text.Format(AfxString(IDS_PICTURE_INFO_FORMAT), doc->GetTitle().GetString(), doc->GetTypeText(),
                doc->GetPathText());
    return text + doc->GetInformation();
}

void CVesloChildFrame::OnPictureInfo() {
    // One dialog per window, shown beside it and refreshed on each request.
    if (m_pPropertyDlg == nullptr || m_pPropertyDlg->GetSafeHwnd() == nullptr) {
        m_pPropertyDlg = std::make_unique<CPropertyDlg>(this);
        if (!m_pPropertyDlg->Create(CPropertyDlg::IDD, this)) {
            m_pPropertyDlg.reset();
            return;
        }
    }
    m_pPropertyDlg->SetText(GetPictureInformation());
    m_pPropertyDlg->ShowWindow(SW_SHOW);
}

void CVesloChildFrame::OnFrameRate() {
    CVesloDoc* doc = GetVesloDoc();
    if (doc == nullptr)
        return;
    CFrameRateDlg dialog(this);
    dialog.m_nFrameRate = doc->GetFrameRate();
    if (dialog.DoModal() == IDOK)
        doc->SetFrameRate(dialog.m_nFrameRate);
}

void CVesloChildFrame::OnUpdateDisabled(CCmdUI* pCmdUI) {
    pCmdUI->Enable(FALSE);
}
