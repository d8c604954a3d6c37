// The playback commands of the recording window: play, stop, step, jump, loop and the play range.
#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Playback/VesloChildFrame.h"
#include "KivIc/Playback/VesloDoc.h"

void CVesloChildFrame::StartPlay(int step) {
    CVesloDoc* doc = GetVesloDoc();
    if (doc == nullptr)
        return;
    // Playing already: the request only asks for looping.
    if (doc->IsPlaying()) {
        doc->SetLoopPlay(TRUE);
        return;
    }
    if (CCtrlBar* bar = GetCtrlBar())
        doc->SetPlaySpeedWord(MakePlaySpeedWord(bar->GetPlaySpeed()));
    doc->SetPlayStep(step);
    doc->Play();
}

void CVesloChildFrame::OnPlay() {
    StartPlay(1);
}

void CVesloChildFrame::OnRewindPlay() {
    StartPlay(-1);
}

void CVesloChildFrame::OnStop() {
    if (CVesloDoc* doc = GetVesloDoc())
        doc->Stop();
}

void CVesloChildFrame::OnStartFrame() {
    if (CVesloDoc* doc = GetVesloDoc())
        doc->SetCurrentFrame(doc->GetRecordBegin(), TRUE);
}

void CVesloChildFrame::OnEndFrame() {
    if (CVesloDoc* doc = GetVesloDoc())
        doc->SetCurrentFrame(doc->GetRecordEnd(), TRUE);
}

void CVesloChildFrame::OnReverseStep() {
    if (CVesloDoc* doc = GetVesloDoc())
        doc->SetCurrentFrame(doc->GetCurrentFrame() - 1, TRUE);
}

void CVesloChildFrame::OnForwardStep() {
    if (CVesloDoc* doc = GetVesloDoc())
        doc->SetCurrentFrame(doc->GetCurrentFrame() + 1, TRUE);
}

void CVesloChildFrame::OnT0() {
    CVesloDoc* doc = GetVesloDoc();
    if (doc == nullptr)
        return;
    // The slider reports its new value, which positions the document; without the bar, or when the
    // slider already stood at 0, the document is positioned here.
    const long before = doc->GetCurrentFrame();
    if (CCtrlBar* bar = GetCtrlBar())
        bar->GoToFrame(0);
    if (doc->GetCurrentFrame() == before && before != 0)
        doc->SetCurrentFrame(0, TRUE);
}

void CVesloChildFrame::SetPlayEdgeHere(void (CCtrlBar::*setBarEdge)(long),
                                       void (CVesloDoc::*setDocEdge)(long)) {
    CVesloDoc* doc = GetVesloDoc();
    if (doc == nullptr)
        return;
    CCtrlBar* bar = GetCtrlBar();
    // Playing together, the bar shows the common axis: the edge goes there at the frame it shows, and
    // the bar hands it to the main frame; this recording's own play range stays as it was.
    const IPlayMainFrame* main = GetPlayMainFrame();
    if (main != nullptr && main->IsSyncMode()) {
        if (bar != nullptr)
            (bar->*setBarEdge)(bar->GetFrame());
        return;
    }
    const long frame = doc->GetCurrentFrame();
    if (bar != nullptr)
        (bar->*setBarEdge)(frame);
    (doc->*setDocEdge)(frame);
}

void CVesloChildFrame::OnSetPlayBegin() {
    SetPlayEdgeHere(&CCtrlBar::SetPlayBeginAt, &CVesloDoc::SetPlayBegin);
}

void CVesloChildFrame::OnSetPlayEnd() {
    SetPlayEdgeHere(&CCtrlBar::SetPlayEndAt, &CVesloDoc::SetPlayEnd);
}

void CVesloChildFrame::OnLoop() {
    CVesloDoc* doc = GetVesloDoc();
    if (doc == nullptr)
        return;
    doc->SetLoopPlay(doc->IsLoopPlay() ? FALSE : TRUE);
    if (doc->IsPlaying())
        doc->Play();
}

void CVesloChildFrame::OnUpdatePlay(CCmdUI* pCmdUI) {
    if (!CanEditWhileStopped(pCmdUI))
        return;
    CVesloDoc* doc = GetVesloDoc();
    pCmdUI->Enable(doc->GetCurrentFrame() < doc->GetRecordEnd());
}

void CVesloChildFrame::OnUpdateRewindPlay(CCmdUI* pCmdUI) {
    if (!CanEditWhileStopped(pCmdUI))
        return;
    CVesloDoc* doc = GetVesloDoc();
    pCmdUI->Enable(doc->GetCurrentFrame() > doc->GetRecordBegin());
}

void CVesloChildFrame::OnUpdateStop(CCmdUI* pCmdUI) {
    CVesloDoc* doc = GetVesloDoc();
    pCmdUI->Enable(doc != nullptr && doc->IsPlaying());
}

void CVesloChildFrame::OnUpdateAtBegin(CCmdUI* pCmdUI) {
    if (!CanEditWhileStopped(pCmdUI))
        return;
    CVesloDoc* doc = GetVesloDoc();
    pCmdUI->Enable(doc->GetCurrentFrame() != doc->GetRecordBegin());
}

void CVesloChildFrame::OnUpdateAtEnd(CCmdUI* pCmdUI) {
    if (!CanEditWhileStopped(pCmdUI))
        return;
    CVesloDoc* doc = GetVesloDoc();
    pCmdUI->Enable(doc->GetCurrentFrame() != doc->GetRecordEnd());
}

void CVesloChildFrame::OnUpdateT0(CCmdUI* pCmdUI) {
    if (!CanEditWhileStopped(pCmdUI))
        return;
    CVesloDoc* doc = GetVesloDoc();
    pCmdUI->Enable(doc->GetRecordBegin() < 1 && doc->GetRecordEnd() >= 0);
}

void CVesloChildFrame::OnUpdateSetPlayBegin(CCmdUI* pCmdUI) {
    if (!CanEditWhileStopped(pCmdUI))
        return;
    CVesloDoc* doc = GetVesloDoc();
    pCmdUI->Enable(doc->GetCurrentFrame() <= doc->GetPlayEnd());
}

void CVesloChildFrame::OnUpdateSetPlayEnd(CCmdUI* pCmdUI) {
    if (!CanEditWhileStopped(pCmdUI))
        return;
    CVesloDoc* doc = GetVesloDoc();
    pCmdUI->Enable(doc->GetCurrentFrame() >= doc->GetPlayBegin());
}

void CVesloChildFrame::OnUpdateLoop(CCmdUI* pCmdUI) {
    CVesloDoc* doc = GetVesloDoc();
    if (doc != nullptr)
        pCmdUI->SetCheck(doc->IsLoopPlay() ? 1 : 0);
    if (!CanEditWhileStopped(pCmdUI))
        return;
    pCmdUI->Enable(TRUE);
}
