#include "KivIc/Tracking/TrackingChildFrame.h"

#include <cstring>
#include <new>

#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "KivIc/Tracking/MatParDlg.h"
#include "KivIc/Tracking/PointTable.h"
#include "KivIc/Tracking/TrackingDoc.h"
#include "KivIc/Tracking/TrackingIds.h"
#include "KivIc/Tracking/TrackingView.h"

IMPLEMENT_DYNCREATE(CTrackingChildFrame, CVesloChildFrame)

BEGIN_MESSAGE_MAP(CTrackingChildFrame, CVesloChildFrame)
ON_COMMAND(ID_TRACK_START, OnStartTracking)
ON_UPDATE_COMMAND_UI(ID_TRACK_START, OnUpdateStartTracking)
ON_COMMAND(ID_TRACK_VANISH, OnVanish)
ON_UPDATE_COMMAND_UI(ID_TRACK_VANISH, OnUpdateVanish)
ON_COMMAND(ID_TRACK_MATCHING_PARAM, OnMatchingParam)
ON_UPDATE_COMMAND_UI(ID_TRACK_MATCHING_PARAM, OnUpdateMatchingParam)
ON_COMMAND(ID_TRACK_SETUP_2D, OnSetup2d)
ON_UPDATE_COMMAND_UI(ID_TRACK_SETUP_2D, OnUpdateSetup2d)
ON_COMMAND(ID_TRACK_POINT_INPUT, OnPointInput)
ON_UPDATE_COMMAND_UI(ID_TRACK_POINT_INPUT, OnUpdatePointInput)
ON_COMMAND(ID_RETICLE_INPUT, OnReticlePointInput)
ON_COMMAND(ID_TRACK_EXPORT, OnExportPositions)
ON_UPDATE_COMMAND_UI(ID_TRACK_EXPORT, OnUpdateExportPositions)
ON_COMMAND(ID_PLAY_STOP, OnStopCommand)
ON_UPDATE_COMMAND_UI(ID_PLAY_STOP, OnUpdateStopCommand)
ON_MESSAGE(WM_MATPAR_APPLIED, OnRefreshFrame)
END_MESSAGE_MAP()

namespace {

const char* const kStartAfterEnd = "再生終了フレームより前のフレームから始めてください。";

} // namespace

// Marks the window and its document as running for the time of a run, whatever way it ends.
class CTrackingChildFrame::RunScope {
public:
    RunScope(CTrackingChildFrame& frame, CTrackingDoc& doc) : m_frame(frame), m_doc(doc) {
        m_frame.m_bRunning = TRUE;
        m_doc.SetTrackingRun(TRUE);
        if (m_frame.IsActiveWindow())
            m_frame.EnableSlider(FALSE);
    }
    ~RunScope() {
        m_doc.SetTrackingRun(FALSE);
        m_frame.m_bRunning = FALSE;
        if (m_frame.IsActiveWindow())
            m_frame.EnableSlider(TRUE);
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    CTrackingChildFrame& m_frame;
    CTrackingDoc& m_doc;
};

CTrackingChildFrame::CTrackingChildFrame()
    : m_pImages(std::make_unique<CCommImgFunc4Avi>(this, this)),
      m_pJob(std::make_unique<CTracking>(this, m_pImages.get())), m_pLog(std::make_unique<CMatchingLog>()) {}

CTrackingChildFrame::~CTrackingChildFrame() = default;

CTrackingDoc* CTrackingChildFrame::GetTrackingDoc() const {
    return CTrackingDoc::From(GetVesloDoc());
}

CTrackingView* CTrackingChildFrame::GetTrackingView() const {
    CVesloView* view = GetVesloView();
    return view != nullptr && view->IsKindOf(RUNTIME_CLASS(CTrackingView)) ? static_cast<CTrackingView*>(view)
                                                                           : nullptr;
}

BOOL CTrackingChildFrame::IsActiveWindow() const {
    return GetBarOwner() != nullptr && GetMDIFrame()->MDIGetActive() == this;
}

void CTrackingChildFrame::EnableSlider(BOOL bEnable) {
    if (CCtrlBar* bar = GetCtrlBar())
        bar->EnableSlider(bEnable);
}

void CTrackingChildFrame::RedrawViews() {
    if (CTrackingDoc* doc = GetTrackingDoc())
        doc->SendFrameChanged();
}

BOOL CTrackingChildFrame::CanEditPoints() const {
    CTrackingDoc* doc = GetTrackingDoc();
    return !m_bRunning && doc != nullptr && doc->HasTables() && doc->GetPointCount() > 0;
}

BOOL CTrackingChildFrame::CanStartTracking() const {
    CTrackingDoc* doc = GetTrackingDoc();
    if (!CanEditPoints() || doc->IsPlaying())
        return FALSE;
    IPlayMainFrame* main = GetPlayMainFrame();
    if (main != nullptr && main->IsSyncMode())
        return FALSE;
    long width = 0;
    long height = 0;
    return doc->GetBitmapSize(&width, &height) && width > 0 && height > 0;
}

// --- The playback frame's hooks ---------------------------------------------------------------------

void CTrackingChildFrame::SyncControlBar(BOOL bActive) {
    CVesloChildFrame::SyncControlBar(bActive);
    if (!bActive)
        return;
    if (m_bRunning)
        EnableSlider(FALSE);
    if (CTrackingDoc* doc = GetTrackingDoc())
        doc->RefreshPositionList(doc->GetCurrentFrame());
}

BOOL CTrackingChildFrame::PreTranslateMessage(MSG* pMsg) {
    if (m_bRunning && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        m_pJob->RequestStop();
        return TRUE;
    }
    return CVesloChildFrame::PreTranslateMessage(pMsg);
}

BOOL CTrackingChildFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc != nullptr && doc->IsBusy() && IsRefusedWhileBusy(nID)) {
        if (nCode == CN_UPDATE_COMMAND_UI && pExtra != nullptr) {
            static_cast<CCmdUI*>(pExtra)->Enable(FALSE);
            return TRUE;
        }
        if (nCode == CN_COMMAND) {
            if (pHandlerInfo != nullptr)
                pHandlerInfo->pTarget = this;
            return TRUE;
        }
    }
    return CVesloChildFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// --- Commands ---------------------------------------------------------------------------------------

void CTrackingChildFrame::OnStartTracking() {
    CTrackingDoc* doc = GetTrackingDoc();
    if (!CanStartTracking())
        return;
    m_pLog = std::make_unique<CMatchingLog>();
    const long start = doc->GetCurrentFrame();
    const long end = doc->GetPlayEnd();
    if (start > end) {
        AfxMessageBox(kStartAfterEnd, MB_OK);
        return;
    }
    long width = 0;
    long height = 0;
    doc->GetBitmapSize(&width, &height);
    m_pJob->SetTables(doc->GetJobTable(), doc->GetPointFrameTable());
    const CString refusal = m_pJob->StartRefusal(start, static_cast<int>(width), static_cast<int>(height));
    if (!refusal.IsEmpty()) {
        AfxMessageBox(refusal, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    {
        RunScope run(*this, *doc);
        m_pJob->RunTrackingJob(start, end, 1, static_cast<int>(width), static_cast<int>(height), 0);
    }
    doc->RefreshPositionList(doc->GetCurrentFrame());
    RedrawViews();
}

void CTrackingChildFrame::OnUpdateStartTracking(CCmdUI* pCmdUI) {
    pCmdUI->Enable(CanStartTracking());
}

void CTrackingChildFrame::OnVanish() {
    CTrackingDoc* doc = GetTrackingDoc();
    if (!CanEditPoints())
        return;
    const int row = doc->GetSelectedPositionRow();
    if (row < 0)
        return;
    doc->MarkPointLost(row);
    RedrawViews();
}

void CTrackingChildFrame::OnUpdateVanish(CCmdUI* pCmdUI) {
    CTrackingDoc* doc = GetTrackingDoc();
    pCmdUI->Enable(CanEditPoints() && doc->GetSelectedPositionRow() >= 0);
}

void CTrackingChildFrame::OnMatchingParam() {
    CTrackingDoc* doc = GetTrackingDoc();
    if (!CanEditPoints())
        return;
    // Every apply changes the document's own parameters at once and redraws (WM_MATPAR_APPLIED).
    CMatParDlg dialog(this, &doc->GetJobTable()->params, this);
    dialog.DoModal();
    RedrawViews();
}

void CTrackingChildFrame::OnUpdateMatchingParam(CCmdUI* pCmdUI) {
    pCmdUI->Enable(CanEditPoints());
}

void CTrackingChildFrame::EndReticleInput() {
    CTrackingDoc* doc = GetTrackingDoc();
    CVesloView* view = GetVesloView();
    if (doc != nullptr && doc->IsPointInput() && view != nullptr)
        view->TogglePointInput();
}

void CTrackingChildFrame::OnSetup2d() {
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc == nullptr || m_bRunning)
        return;
    if (!doc->RunSetup2dDialog())
        return;
    // The templates of points that are gone would be reported with the next run.
    m_pJob->DropTemplateSets(doc->GetPointCount());
    RedrawViews();
}

void CTrackingChildFrame::OnUpdateSetup2d(CCmdUI* pCmdUI) {
    pCmdUI->Enable(GetTrackingDoc() != nullptr && !m_bRunning);
}

void CTrackingChildFrame::OnPointInput() {
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc == nullptr || !doc->HasTables() || m_bRunning)
        return;
    doc->SetPointInputMode(doc->GetPointInputMode() == 1 ? 0 : 1);
    if (doc->IsTrackingInput())
        EndReticleInput();
    RedrawViews();
}

void CTrackingChildFrame::OnReticlePointInput() {
    OnReticleInput();
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc != nullptr && doc->IsPointInput() && doc->GetPointInputMode() == 1) {
        doc->SetPointInputMode(0);
        RedrawViews();
    }
}

void CTrackingChildFrame::OnUpdatePointInput(CCmdUI* pCmdUI) {
    CTrackingDoc* doc = GetTrackingDoc();
    pCmdUI->Enable(doc != nullptr && doc->HasTables() && !m_bRunning);
    pCmdUI->SetCheck(doc != nullptr && doc->GetPointInputMode() == 1 ? 1 : 0);
}

void CTrackingChildFrame::OnExportPositions() {
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc == nullptr || !doc->HasTables() || m_bRunning)
        return;
    CFileDialog dialog(FALSE, "csv", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*||", this);
    if (dialog.DoModal() != IDOK)
        return;
    if (!doc->ExportPositions(dialog.GetPathName())) {
        CString message;
        message.Format("The positions could not be written:\n%s", dialog.GetPathName().GetString());
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    }
}

void CTrackingChildFrame::OnUpdateExportPositions(CCmdUI* pCmdUI) {
    CTrackingDoc* doc = GetTrackingDoc();
    pCmdUI->Enable(doc != nullptr && doc->HasTables() && doc->GetPointFrameTable()->Count() > 0 &&
                   !m_bRunning);
}

void CTrackingChildFrame::OnStopCommand() {
    if (m_bRunning)
        m_pJob->RequestStop();
    else
        OnStop();
}

void CTrackingChildFrame::OnUpdateStopCommand(CCmdUI* pCmdUI) {
    if (m_bRunning)
        pCmdUI->Enable(TRUE);
    else
        OnUpdateStop(pCmdUI);
}

LRESULT CTrackingChildFrame::OnRefreshFrame(WPARAM, LPARAM) {
    if (CTrackingDoc* doc = GetTrackingDoc())
        GoToFrame(doc->GetCurrentFrame());
    return 0;
}

// --- Tracking host ----------------------------------------------------------------------------------

void CTrackingChildFrame::ShowFrame(long frame) {
    GoToFrame(frame);
}

BOOL CTrackingChildFrame::HasInputPosition(long frame, int pointNumber, int* state) {
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc == nullptr || !doc->HasTables())
        return FALSE;
    return GetInputState(*doc->GetJobTable(), *doc->GetPointFrameTable(), frame, pointNumber, state);
}

BOOL CTrackingChildFrame::IsInputFrame(long frame) {
    CTrackingDoc* doc = GetTrackingDoc();
    return doc != nullptr && doc->GetJobTable() != nullptr &&
           doc->GetJobTable()->IsInputFrame(static_cast<std::int32_t>(frame));
}

void CTrackingChildFrame::StoreTrackedPosition(int pointNumber, long frame, double x, double y) {
    StoreRunResult(pointNumber, frame, x, y, TRUE);
}

void CTrackingChildFrame::MarkLost(int pointNumber, long frame) {
    StoreRunResult(pointNumber, frame, 0.0, 0.0, FALSE);
}

void CTrackingChildFrame::StoreRunResult(int pointNumber, long frame, double x, double y, BOOL found) {
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc == nullptr || doc->GetPointFrameTable() == nullptr)
        return;
    SetPointInTable(*doc->GetPointFrameTable(), nullptr, frame, doc->GetPointCount(), pointNumber - 1, x, y,
                    found, FALSE);
    doc->RefreshPositionList(frame);
    GoToFrame(frame);
}

CString CTrackingChildFrame::GetDocumentPath() {
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc == nullptr)
        return CString();
    const CString path = doc->GetPathName();
    return path.IsEmpty() ? doc->GetTitle() : path;
}

// --- Frame services ---------------------------------------------------------------------------------

void CTrackingChildFrame::SetPointPosition(PointFrame* pTable, long frame, int pointCount, int pointIndex,
                                           double x, double y, BOOL found, BOOL byHand) {
    if (pTable == nullptr)
        return;
    CTrackingDoc* doc = GetTrackingDoc();
    JobTable* jobs = byHand && doc != nullptr ? doc->GetJobTable() : nullptr;
    SetPointInTable(*pTable, jobs, frame, pointCount, pointIndex, x, y, found, byHand);
}

void CTrackingChildFrame::GoToFrame(long frame) {
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc == nullptr)
        return;
    // The frame shown already is drawn again, not read again.
    if (doc->GetCurrentFrame() == frame && doc->GetFrameBitmap() != nullptr)
        doc->SendFrameChanged();
    else
        doc->ShowFrameNow(frame);
}

void CTrackingChildFrame::ConvertPoint(int height, double x, double y, double* pX, double* pY) {
    m_pImages->MapPoint(x, y, height, pX, pY);
}

BYTE* CTrackingChildFrame::GetFrameRgb(long /*frame*/, int* pWidth, int* pHeight, int* pBits, int* pExtra) {
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc == nullptr)
        return nullptr;
    CCriticalSectionLock lock(doc->GetFrameLock());
    HBITMAP bitmap = doc->GetFrameBitmap();
    long width = 0;
    long height = 0;
    // Larger pictures than any recording has are not taken (their sizes would overflow).
    constexpr long kLargest = 1L << 15;
    if (bitmap == nullptr || !doc->GetBitmapSize(&width, &height) || width < 1 || height < 1 ||
        width > kLargest || height > kLargest)
        return nullptr;
    // GetDIBits writes rows padded to four bytes; the picture's rows have none.
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    const std::size_t stride = (row + 3) & ~static_cast<std::size_t>(3);
    std::vector<BYTE> padded;
    try {
        padded.resize(stride * static_cast<std::size_t>(height));
        m_captured.resize(row * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        m_captured.clear();
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = ::GetDC(nullptr);
    const int lines =
        GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), padded.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    if (lines != height) {
        m_captured.clear();
        return nullptr;
    }
    for (long r = 0; r < height; ++r)
        std::memcpy(m_captured.data() + row * static_cast<std::size_t>(r),
                    padded.data() + stride * static_cast<std::size_t>(r), row);
    *pWidth = static_cast<int>(width);
    *pHeight = static_cast<int>(height);
    *pBits = 8;
    *pExtra = 0;
    return m_captured.data();
}

BYTE* CTrackingChildFrame::ConvertToGray(const BYTE* pPixels, int width, int height) {
    if (pPixels == nullptr || width < 1 || height < 1)
        return nullptr;
    try {
        m_gray.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    m_grayConverter.RgbToGray(pPixels, width, height, m_gray.data());
    return m_gray.data();
}

BYTE* CTrackingChildFrame::GetFrameGray(long frame, int* pWidth, int* pHeight) {
    int bits = 0;
    int extra = 0;
    const BYTE* rgb = GetFrameRgb(frame, pWidth, pHeight, &bits, &extra);
    BYTE* gray = rgb != nullptr ? ConvertToGray(rgb, *pWidth, *pHeight) : nullptr;
    m_captured.clear();
    m_captured.shrink_to_fit();
    return gray;
}
