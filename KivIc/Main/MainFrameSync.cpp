// Synchronised playback of the main frame: switching the mode, the common time axis, the commands
// that play, stop and seek on it, and where the control bar's moves go.
#include <algorithm>
#include <cmath>
#include <functional>

#include "KivIc/Main/MainFrame.h"
#include "KivIc/Documents/OpenDocuments.h"
#include "KivIc/Play/SyncAxis.h"
#include "KivIc/Play/SyncPlayThread.h"
#include "KivIc/Playback/VesloChildFrame.h"
#include "KivIc/Playback/VesloDoc.h"

namespace {

const char* const kSenderName = "MainFrame";

// A document that a long operation works on cannot play with the others.
bool AnyRecordingBusy() {
    bool busy = false;
    ForEachOpenRecording([&busy](CVesloDoc* doc) { busy = busy || doc->IsBusy(); });
    return busy;
}

} // namespace

// --- The list and the axis --------------------------------------------------------------------------

int CMainFrame::GetSyncDocumentCount() const {
    return m_syncList.GetCount();
}

IPlayDocument* CMainFrame::GetSyncDocument(int index) const {
    return m_syncList.GetAt(index);
}

void CMainFrame::RemoveSyncDocument(const IPlayDocument* doc) {
    // The last recording that played together has closed: the mode ends as if the user ended it, so
    // no axis without recordings plays on, moves the bar or takes the playback commands.
    if (m_syncList.Remove(doc) && m_syncList.GetCount() == 0 && m_bSyncMode.load())
        LeaveSyncMode();
}

long CMainFrame::SyncFrameAt(double seconds) const {
    return FrameAtTime(seconds, m_nSyncFrameRate.load());
}

SyncAxis CMainFrame::GetSyncAxis() const {
    SyncAxis axis;
    axis.begin = m_dSyncBegin.load();
    axis.end = m_dSyncEnd.load();
    axis.step = std::fabs(m_dSyncStep.load());
    axis.rate = m_nSyncFrameRate.load();
    return axis;
}

void CMainFrame::SetSyncTime(double seconds) {
    // A tick handed over before the mode went off has nothing left to show.
    if (!m_bSyncMode.load())
        return;
    // The play thread hands over times already kept to the axis.
    m_dSyncCurrent = seconds;
    SetCtrlBarFrame(SyncFrameAt(seconds));
}

// --- Switching the mode -----------------------------------------------------------------------------

void CMainFrame::OnSyncMode() {
    if (m_bSyncMode.load())
        LeaveSyncMode();
    else if (!AnyRecordingBusy())
        EnterSyncMode();
}

void CMainFrame::OnUpdateSyncMode(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bSyncMode.load() || !AnyRecordingBusy());
    pCmdUI->SetCheck(m_bSyncMode.load() ? 1 : 0);
}

void CMainFrame::StopDocumentsPlaying() {
    ForEachOpenRecording([](CVesloDoc* doc) {
        if (doc->IsPlaying()) {
            doc->Stop();
            // Stopped now for the commands; the thread confirms it when it gets there.
            doc->SetPlaying(FALSE);
        }
    });
}

BOOL CMainFrame::EnterSyncMode() {
    // The documents' own playback ends before they play together.
    StopDocumentsPlaying();
    m_syncList.Clear();
    ForEachOpenRecording([this](CVesloDoc* doc) { m_syncList.Add(doc); });
    std::vector<SyncSource> sources;
    m_syncList.ForEach([&sources](CVesloDoc* doc) {
        sources.push_back({doc->GetRecordBegin(), doc->GetRecordEnd(), doc->GetFrameRate()});
    });
    const SyncAxis axis = SyncAxis::FromSources(sources);
    if (!axis.IsValid()) {
        m_syncList.Clear();
        AfxMessageBox("Synchronized playback needs at least one open recording with a frame rate.",
                      MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_syncList.ForEach([](CVesloDoc* doc) { doc->SetActive(FALSE); });
    m_dSyncBegin = axis.begin;
    m_dSyncEnd = axis.end;
    m_dSyncStep = axis.step;
    m_nSyncFrameRate = axis.rate;
    m_dwSyncPlaySpeed = MakePlaySpeedWord(m_wndCtrlBar.GetPlaySpeed());
    m_bSyncMode = TRUE;
    if (m_wndCtrlBar.GetSafeHwnd() != nullptr)
        m_wndCtrlBar.SetCommandMode(2);
    RemapMenuCommands();

    const long first = SyncFrameAt(axis.begin);
    const long last = SyncFrameAt(axis.end);
    SetCtrlBarRecordRange(first, last);
    SetCtrlBarPlayRange(first, last);
    SeekSync(axis.begin);
    return TRUE;
}

void CMainFrame::LeaveSyncMode() {
    // Synchronised playback ends before the documents are on their own again.
    if (m_bSyncPlaying.load()) {
        PostSyncStop();
        m_syncList.ForEach([](CVesloDoc* doc) { doc->SetPlaying(FALSE); });
        m_bSyncPlaying = FALSE;
    }
    m_syncList.Clear();
    m_bSyncMode = FALSE;
    m_nSyncFrameRate = 0;
    if (m_wndCtrlBar.GetSafeHwnd() != nullptr)
        m_wndCtrlBar.SetCommandMode(1);
    RemapMenuCommands();
    if (CVesloChildFrame* child = GetActiveRecordingFrame()) {
        if (CVesloDoc* doc = child->GetVesloDoc()) {
            doc->SetActive(TRUE);
            SetCtrlBarRecordRange(doc->GetRecordBegin(), doc->GetRecordEnd());
            SetCtrlBarPlayRange(doc->GetPlayBegin(), doc->GetPlayEnd());
            SetCtrlBarFrame(doc->GetCurrentFrame());
        }
    }
}

void CMainFrame::RemapMenuCommands() {
    RemapMenuCommands(m_pMenuDefault);
    if (CWinApp* app = AfxGetApp()) {
        POSITION tpos = app->GetFirstDocTemplatePosition();
        while (tpos != nullptr)
            RemapMenuCommands(app->GetNextDocTemplate(tpos)->m_pMenuShared);
    }
}

void CMainFrame::RemapMenuCommands(CMenu* pMenu) {
    if (pMenu == nullptr)
        return;
    const int mode = m_bSyncMode.load() ? 2 : 1;
    const UINT count = pMenu->GetMenuItemCount();
    for (UINT i = 0; i < count; ++i) {
        const int pos = static_cast<int>(i);
        if (CMenu* sub = pMenu->GetSubMenu(pos)) {
            RemapMenuCommands(sub);
            continue;
        }
        const UINT id = pMenu->GetMenuItemID(pos);
        const UINT mapped = CCtrlBar::MapPlaybackCommand(id, mode);
        if (mapped == id)
            continue;
        CString text;
        pMenu->GetMenuString(i, text, MF_BYPOSITION);
        pMenu->ModifyMenu(i, MF_BYPOSITION | MF_STRING, mapped, text);
    }
}

// --- Posting to the play thread ---------------------------------------------------------------------

void CMainFrame::PostSyncPlay() {
    if (m_pSyncPlayer != nullptr)
        m_pSyncPlayer->PostEvent(PlayEvent(kSenderName, EVT_PLAY));
}

void CMainFrame::PostSyncStop() {
    if (m_pSyncPlayer != nullptr)
        m_pSyncPlayer->PostEvent(PlayEvent(kSenderName, EVT_STOP));
}

void CMainFrame::PostSyncStep(double seconds) {
    if (m_pSyncPlayer != nullptr)
        m_pSyncPlayer->PostEvent(PlayEvent(kSenderName, EVT_TICK, 0, 0, seconds));
}

// --- Commands ---------------------------------------------------------------------------------------

BOOL CMainFrame::CanSyncMove() const {
    return m_bSyncMode.load() && m_nSyncFrameRate.load() > 0 && !m_bSyncPlaying.load();
}

// The one place a requested time is kept to the axis. It is taken as it is otherwise: a time between two
// grid points (T0, a slider frame on an axis that begins off its own grid) shows the frame asked for.
void CMainFrame::SeekSync(double seconds) {
    const double t = GetSyncAxis().Clamp(seconds);
    m_dSyncCurrent = t;
    PostSyncStep(t);
}

void CMainFrame::KeepSyncTimeInRange() {
    const double current = m_dSyncCurrent.load();
    if (GetSyncAxis().Clamp(current) != current)
        SeekSync(current);
}

void CMainFrame::OnSyncStepBack() {
    SeekSync(GetSyncAxis().StepFrom(m_dSyncCurrent.load(), -1));
}

void CMainFrame::OnSyncStepForward() {
    SeekSync(GetSyncAxis().StepFrom(m_dSyncCurrent.load(), 1));
}

void CMainFrame::OnSyncSeekBegin() {
    SeekSync(m_dSyncBegin.load());
}

void CMainFrame::OnSyncSeekEnd() {
    SeekSync(m_dSyncEnd.load());
}

void CMainFrame::OnSyncSeekT0() {
    SeekSync(0.0);
}

void CMainFrame::EndSyncPlayNow() {
    if (!m_bSyncPlaying.load())
        return;
    StopSyncPlayThread();
    // The thread's own stop, which would have told them, is not run.
    m_syncList.ForEach([](CVesloDoc* doc) { doc->SetPlaying(FALSE); });
    StartSyncPlayThread();
}

void CMainFrame::StopSyncPlay() {
    PostSyncStop();
    m_bSyncLoop = FALSE;
}

void CMainFrame::OnSyncStop() {
    StopSyncPlay();
}

void CMainFrame::StartSyncPlay(int direction) {
    // Playing already: the request only asks for looping.
    if (m_bSyncPlaying.load()) {
        m_bSyncLoop = TRUE;
        return;
    }
    m_dwSyncPlaySpeed = MakePlaySpeedWord(m_wndCtrlBar.GetPlaySpeed());
    const double step = std::fabs(m_dSyncStep.load());
    m_dSyncStep = direction < 0 ? -step : step;
    PostSyncPlay();
}

void CMainFrame::OnSyncPlay() {
    StartSyncPlay(1);
}

void CMainFrame::OnSyncPlayBack() {
    StartSyncPlay(-1);
}

void CMainFrame::OnSyncLoop() {
    m_bSyncLoop = m_bSyncLoop.load() ? FALSE : TRUE;
}

void CMainFrame::OnUpdateSyncAtBegin(CCmdUI* pCmdUI) {
    pCmdUI->Enable(CanSyncMove() && m_dSyncCurrent.load() > m_dSyncBegin.load());
}

void CMainFrame::OnUpdateSyncAtEnd(CCmdUI* pCmdUI) {
    pCmdUI->Enable(CanSyncMove() && m_dSyncCurrent.load() < m_dSyncEnd.load());
}

void CMainFrame::OnUpdateSyncStop(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bSyncMode.load() && m_bSyncPlaying.load());
}

void CMainFrame::OnUpdateSyncSeekT0(CCmdUI* pCmdUI) {
    pCmdUI->Enable(CanSyncMove() && GetSyncAxis().Clamp(0.0) != m_dSyncCurrent.load());
}

void CMainFrame::OnUpdateSyncLoop(CCmdUI* pCmdUI) {
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_bSyncLoop.load() ? 1 : 0);
}

// --- The control bar's moves ------------------------------------------------------------------------

CVesloDoc* CMainFrame::GetActiveRecordingDoc() const {
    CVesloChildFrame* child = GetActiveRecordingFrame();
    return child != nullptr ? child->GetVesloDoc() : nullptr;
}

IImgListDocument* CMainFrame::GetActiveListDocument() const {
    return GetActiveRecordingDoc();
}

void CMainFrame::SyncSetCurrentFrame(long frame) {
    if (m_bSyncMode.load()) {
        if (m_nSyncFrameRate.load() > 0)
            SeekSync(static_cast<double>(frame) / m_nSyncFrameRate.load());
        return;
    }
    if (CVesloDoc* doc = GetActiveRecordingDoc())
        doc->SetCurrentFrame(frame, TRUE);
}

// A play range edge stays within what is recorded (the common axis's frames, or the recording's), and
// the frame shown moves into the new range: nothing plays or shows frame numbers no recording holds.
void CMainFrame::SetSyncRangeEdge(std::atomic<double>& edge, long frame,
                                  void (CVesloDoc::*setDocEdge)(long)) {
    if (m_bSyncMode.load()) {
        if (m_nSyncFrameRate.load() > 0) {
            if (m_wndCtrlBar.GetSafeHwnd() != nullptr) {
                CExSlider2& slider = m_wndCtrlBar.GetSlider();
                frame = std::clamp(frame, slider.GetMin(), std::max(slider.GetMin(), slider.GetMax()));
            }
            edge = static_cast<double>(frame) / m_nSyncFrameRate.load();
            KeepSyncTimeInRange();
        }
        return;
    }
    CVesloDoc* doc = GetActiveRecordingDoc();
    if (doc == nullptr)
        return;
    const long first = doc->GetRecordBegin();
    (doc->*setDocEdge)(std::clamp(frame, first, std::max(first, doc->GetRecordEnd())));
    const long current = doc->GetCurrentFrame();
    if (doc->GetPlayBegin() <= doc->GetPlayEnd() &&
        (current < doc->GetPlayBegin() || current > doc->GetPlayEnd()))
        doc->SetCurrentFrame(current, TRUE);
}

void CMainFrame::SyncSetPlayBegin(long frame) {
    SetSyncRangeEdge(m_dSyncBegin, frame, &CVesloDoc::SetPlayBegin);
}

void CMainFrame::SyncSetPlayEnd(long frame) {
    SetSyncRangeEdge(m_dSyncEnd, frame, &CVesloDoc::SetPlayEnd);
}
