#include "KivIc/Playback/VesloDoc.h"

#include <algorithm>

#include "KivIc/Bars/DlgBarImgList.h"
#include "KivIc/Bars/PosDlgBar.h"
#include "KivIc/Play/PlayThread.h"
#include "KivIc/Play/SyncAxis.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "KivIc/Playback/PlaybackMenu.h"
#include "KivIc/Playback/SourcePath.h"

IMPLEMENT_DYNAMIC(CVesloDoc, CReticleDoc)

namespace {

const char* const kSenderName = "VesloDoc";

} // namespace

CVesloDoc::CVesloDoc() {
    RegisterPlaybackStrings();
    StartPlayThread();
}

CVesloDoc::~CVesloDoc() {
    // The thread reads this document's fields: it ends before any of them goes.
    StopPlayThread();
    // A document deleted without closing (a failed open) must not stay listed.
    if (ICtrlBarOwner* bars = GetBarOwner())
        bars->GetImgListBar()->RemoveDocument(this);
    if (IPlayMainFrame* main = GetPlayMainFrame())
        main->RemoveSyncDocument(this);
}

IPlayMainFrame* CVesloDoc::GetPlayMainFrame() {
    return dynamic_cast<IPlayMainFrame*>(AfxGetMainWnd());
}

ICtrlBarOwner* CVesloDoc::GetBarOwner() {
    return dynamic_cast<ICtrlBarOwner*>(AfxGetMainWnd());
}

void CVesloDoc::StopPlayThread() {
    m_pPlayer.reset();
    m_bPlaying = FALSE;
}

void CVesloDoc::StartPlayThread() {
    m_pPlayer = std::make_unique<CPlayThread>("Player", this);
    m_pPlayer->StartThread();
}

// --- Positions --------------------------------------------------------------------------------------

long CVesloDoc::ClampToPlayRange(long frame) const {
    const long begin = m_nPlayBegin.load();
    const long end = m_nPlayEnd.load();
    if (begin > end)
        return frame;
    return std::clamp(frame, begin, end);
}

void CVesloDoc::MoveToFrame(long frame, BOOL bUpdate) {
    const long kept = ClampToPlayRange(frame);
    m_nCurrentFrame = kept;
    LoadFrame(kept);
    if (m_bActive.load()) {
        if (ICtrlBarOwner* bars = GetBarOwner())
            bars->SetCtrlBarFrame(kept);
    }
    if (bUpdate)
        UpdateAllViews(nullptr);
}

void CVesloDoc::OpenFrameRange(long first, long last) {
    SetRecordBegin(first);
    SetRecordEnd(last);
    SetPlayBegin(first);
    SetPlayEnd(last);
    SetCurrentFrame(first, TRUE);
}

void CVesloDoc::SetCurrentFrame(long frame, BOOL bUpdate) {
    MoveToFrame(frame, bUpdate);
}

void CVesloDoc::SetCurrentTime(double seconds, BOOL bUpdate) {
    MoveToFrame(FrameAtTime(seconds, GetFrameRate()), bUpdate);
}

void CVesloDoc::SetRecordBegin(long frame) {
    m_nRecordBegin = frame;
}

void CVesloDoc::SetRecordEnd(long frame) {
    m_nRecordEnd = frame;
}

void CVesloDoc::SetPlayBegin(long frame) {
    m_nPlayBegin = frame;
}

void CVesloDoc::SetPlayEnd(long frame) {
    m_nPlayEnd = frame;
}

void CVesloDoc::SetFrameRate(int rate) {
    m_nFrameRate = rate;
}

void CVesloDoc::SetLoop(BOOL bLoop) {
    m_bLoop = bLoop;
}

BOOL CVesloDoc::IsLoop() {
    return m_bLoop;
}

// --- Frames -----------------------------------------------------------------------------------------

void CVesloDoc::SetFrameBitmap(HBITMAP hBitmap) {
    m_hFrameBitmap = hBitmap;
}

HBITMAP CVesloDoc::GetFrameBitmap() {
    return m_hFrameBitmap;
}

void CVesloDoc::ReplaceFrameBitmap(HBITMAP hBitmap) {
    HBITMAP previous = GetFrameBitmap();
    SetFrameBitmap(hBitmap);
    if (previous != nullptr && previous != hBitmap)
        DeleteObject(previous);
}

BOOL CVesloDoc::GetBitmapSize(long* pWidth, long* pHeight) {
    HBITMAP bitmap = GetFrameBitmap();
    if (bitmap == nullptr)
        return FALSE;
    BITMAP info{};
    if (GetObjectA(bitmap, sizeof info, &info) != static_cast<int>(sizeof info))
        return FALSE;
    if (pWidth != nullptr)
        *pWidth = info.bmWidth;
    if (pHeight != nullptr)
        *pHeight = info.bmHeight;
    return TRUE;
}

long CVesloDoc::GetReticleImageHeight() {
    long height = 0;
    return GetBitmapSize(nullptr, &height) ? height : 0;
}

void CVesloDoc::LoadFrame(long /*frame*/) {}

void CVesloDoc::SendFrameChanged() {
    POSITION pos = GetFirstViewPosition();
    std::vector<CView*> views;
    while (pos != nullptr)
        views.push_back(GetNextView(pos));
    // Every view shows the frame, not only the first; a view that closes meanwhile is skipped.
    for (CView* view : views) {
        if (std::find(m_viewList.begin(), m_viewList.end(), view) != m_viewList.end() &&
            view->GetSafeHwnd() != nullptr)
            view->SendMessage(WM_FRAMECHANGED, 0, 0);
    }
}

// --- Playing ----------------------------------------------------------------------------------------

void CVesloDoc::Play() {
    if (m_pPlayer != nullptr)
        m_pPlayer->PostEvent(PlayEvent(kSenderName, EVT_PLAY));
}

void CVesloDoc::Stop() {
    if (m_pPlayer != nullptr)
        m_pPlayer->PostEvent(PlayEvent(kSenderName, EVT_STOP));
}

void CVesloDoc::StopPlaying() {
    if (!IsPlaying())
        return;
    IPlayMainFrame* main = GetPlayMainFrame();
    if (main != nullptr && main->IsSyncDocument(this)) {
        main->StopSyncPlay();
        return;
    }
    Stop();
}

// --- Texts ------------------------------------------------------------------------------------------

const char* CVesloDoc::GetTypeText() {
    return m_strType.GetString();
}

const char* CVesloDoc::GetPathText() {
    return m_strDir.GetString();
}

CString CVesloDoc::GetInformation() {
    return AfxString(IDS_NO_INFORMATION);
}

void CVesloDoc::SetSourcePath(LPCTSTR lpszPath, BOOL bSequence) {
    m_strFullPath = lpszPath != nullptr ? lpszPath : "";
    const SourcePathParts parts = SplitSourcePath(m_strFullPath);
    m_strDrive = parts.drive;
    m_strDir = parts.dir;
    m_strFileName = parts.fileName;
    m_strExt = parts.ext;
    m_strBaseName = bSequence ? SequenceBaseName(parts.fileName) : parts.fileName;
}

void CVesloDoc::ActivateFirstView() {
    POSITION pos = GetFirstViewPosition();
    CView* view = pos != nullptr ? GetNextView(pos) : nullptr;
    CFrameWnd* frame = view != nullptr ? view->GetParentFrame() : nullptr;
    if (frame != nullptr && frame->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)))
        static_cast<CMDIChildWnd*>(frame)->MDIActivate();
}

// --- Opening and closing ----------------------------------------------------------------------------

BOOL CVesloDoc::OnNewDocument() {
    return CReticleDoc::OnNewDocument() ? TRUE : FALSE;
}

BOOL CVesloDoc::OnOpenDocument(LPCTSTR lpszPathName) {
    return CReticleDoc::OnOpenDocument(lpszPathName) ? TRUE : FALSE;
}

void CVesloDoc::OnCloseDocument() {
    // The thread calls into this document and its views: it ends before the framework destroys them.
    StopPlayThread();
    if (ICtrlBarOwner* bars = GetBarOwner()) {
        bars->GetImgListBar()->RemoveDocument(this);
        CPosDlgBar* posBar = bars->GetPosBar();
        if (posBar->GetSafeHwnd() != nullptr)
            posBar->DeleteAllRows();
    }
    if (IPlayMainFrame* main = GetPlayMainFrame())
        main->RemoveSyncDocument(this);
    CReticleDoc::OnCloseDocument();
}
