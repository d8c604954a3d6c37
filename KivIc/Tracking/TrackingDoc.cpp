#include "KivIc/Tracking/TrackingDoc.h"

#include <algorithm>
#include <string>

#include "KivIc/Bars/PosDlgBar.h"
#include "KivIc/Tracking/Init2dDlg.h"
#include "KivIc/Tracking/PointTable.h"

IMPLEMENT_DYNAMIC(CTrackingDoc, CVesloDoc)

CTrackingDoc::CTrackingDoc() = default;

CTrackingDoc::~CTrackingDoc() = default;

BOOL CTrackingDoc::OnNewDocument() {
    if (!CVesloDoc::OnNewDocument())
        return FALSE;
    return RunSetup2dDialog();
}

// --- Setup ------------------------------------------------------------------------------------------

BOOL CTrackingDoc::RunSetup2dDialog() {
    CInit2dDlg dialog(AfxGetMainWnd());
    dialog.m_nPoints = std::max(m_nPointCount, 1);
    dialog.m_nFrameRate = GetFrameRate();
    if (dialog.DoModal() != IDOK)
        return FALSE;
    const int positions = CountPositionsBeyond(dialog.m_nPoints);
    if (positions > 0) {
        CString question;
        question.Format("The new setup removes %d of the %d points, and with them %d tracked or hand-set "
                        "positions.\nRemove them?",
                        m_nPointCount - dialog.m_nPoints, m_nPointCount, positions);
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return FALSE;
    }
    ApplySetup2d(dialog.m_nPoints, dialog.m_nFrameRate);
    return TRUE;
}

void CTrackingDoc::ApplySetup2d(int points, int frameRate) {
    if (points < 1)
        return;
    if (frameRate >= 1)
        SetFrameRate(frameRate);
    if (m_pJobTable == nullptr)
        m_pJobTable = std::make_unique<JobTable>();
    if (m_pPointFrame == nullptr)
        m_pPointFrame = NewPointTable();
    SetPointCount(points);
    BuildPointTables(points);
    FitRecords(points);
    // The clicks go to the points, unless the reticle's point input has them.
    if (!IsPointInput())
        m_nPointInputMode = 1;
    RefreshPositionList(GetCurrentFrame());
    // The first point is ready for a click.
    if (GetSelectedPositionRow() < 0)
        SelectPositionRow(0);
    UpdateAllViews(nullptr);
}

void CTrackingDoc::SetPointCount(int n) {
    m_nPointCount = n;
    if (m_pJobTable != nullptr)
        m_pJobTable->pointCount = n;
}

void CTrackingDoc::BuildPointTables(int n) {
    if (m_pJobTable == nullptr || n < 0)
        return;
    TrackingJobPar& params = m_pJobTable->params;
    std::vector<MatParam4Point*> kept;
    for (int i = 0; i < std::min(n, params.Count()); ++i)
        kept.push_back(new MatParam4Point(*params.Get(i)));
    params.Clear();
    for (MatParam4Point* point : kept)
        params.Add(point);
    while (params.Count() < n) {
        auto* point = new MatParam4Point;
        point->Add(new MatchingParam);
        params.Add(point);
    }
    m_pJobTable->pointCount = n;

    std::vector<PointInfo>& infos = m_pJobTable->points;
    infos.resize(std::min(infos.size(), static_cast<std::size_t>(n)));
    for (int i = static_cast<int>(infos.size()) + 1; i <= n; ++i) {
        PointInfo info;
        info.number = i;
        info.name = "P" + std::to_string(i);
        info.flag = 1;
        infos.push_back(info);
    }
}

void CTrackingDoc::FitRecords(int n) {
    if (m_pPointFrame == nullptr)
        return;
    if (m_pJobTable != nullptr)
        m_pJobTable->inputFrames.clear();
    for (int r = 0; r < m_pPointFrame->Count(); ++r) {
        FrameRecord* record = m_pPointFrame->Get(r);
        if (record->EntryCount() != n) {
            std::vector<PointEntry> entries;
            for (int i = 0; i < std::min(n, record->EntryCount()); ++i)
                entries.push_back(*record->GetEntry(i));
            entries.resize(static_cast<std::size_t>(n));
            record->ClearEntries();
            for (const PointEntry& entry : entries)
                record->AddEntry(new PointEntry(entry));
        }
        if (m_pJobTable == nullptr)
            continue;
        for (int i = 0; i < record->EntryCount(); ++i) {
            if (record->GetEntry(i)->flag == 1) {
                m_pJobTable->AddInputFrame(record->frameNumber);
                break;
            }
        }
    }
}

int CTrackingDoc::CountPositionsBeyond(int n) const {
    int positions = 0;
    if (m_pPointFrame == nullptr)
        return positions;
    for (int r = 0; r < m_pPointFrame->Count(); ++r) {
        const FrameRecord* record = m_pPointFrame->Get(r);
        for (int i = std::max(n, 0); i < record->EntryCount(); ++i) {
            const PointEntry* entry = record->GetEntry(i);
            if (entry->state == PointEntry::kFound || entry->flag == 1)
                ++positions;
        }
    }
    return positions;
}

// --- Points -----------------------------------------------------------------------------------------

void CTrackingDoc::SetPoint(long frame, int index, double x, double y, BOOL bByHand, BOOL bFound) {
    if (m_pPointFrame == nullptr || index < 0 || index >= m_nPointCount)
        return;
    SetPointInTable(*m_pPointFrame, bByHand ? m_pJobTable.get() : nullptr, frame, m_nPointCount, index, x, y,
                    bFound, bByHand);
}

void CTrackingDoc::SetPointPosition(int index, double x, double y) {
    if (!HasTables() || index < 0 || index >= m_nPointCount)
        return;
    const long frame = GetCurrentFrame();
    SetPoint(frame, index, x, y, TRUE, TRUE);
    RefreshPositionList(frame);
    PointEntry next;
    const bool nextEmpty = GetNextPointEntry(frame, index, &next) && next.state == PointEntry::kNoPosition;
    SelectPositionRow(nextEmpty ? index + 1 : index);
}

void CTrackingDoc::MarkPointLost(int index) {
    if (!HasTables() || index < 0 || index >= m_nPointCount)
        return;
    const long frame = GetCurrentFrame();
    SetPoint(frame, index, 0.0, 0.0, TRUE, FALSE);
    RefreshPositionList(frame);
}

BOOL CTrackingDoc::GetNextPointEntry(long frame, int index, PointEntry* pEntry) {
    if (!HasTables() || index + 1 < 0 || index + 1 >= m_pJobTable->pointCount)
        return FALSE;
    const FrameRecord* record = m_pPointFrame->FindFrame(static_cast<std::int32_t>(frame));
    const PointEntry* entry = record != nullptr ? record->GetEntry(index + 1) : nullptr;
    if (entry == nullptr)
        return FALSE;
    pEntry->x = entry->x;
    pEntry->y = entry->y;
    pEntry->z = entry->z;
    pEntry->state = entry->state;
    return TRUE;
}

int CTrackingDoc::AddInputFrame(JobTable* pJobs, long frame) {
    return pJobs != nullptr ? pJobs->AddInputFrame(static_cast<std::int32_t>(frame)) : -1;
}

// --- Position list ----------------------------------------------------------------------------------

std::vector<PositionRow> CTrackingDoc::GetPositionRows(long frame) {
    std::vector<PositionRow> rows;
    if (!HasTables())
        return rows;
    rows.resize(static_cast<std::size_t>(std::max(m_nPointCount, 0)));
    const FrameRecord* record = m_pPointFrame->FindFrame(static_cast<std::int32_t>(frame));
    for (int i = 0; record != nullptr && i < m_nPointCount; ++i) {
        const PointEntry* entry = record->GetEntry(i);
        if (entry == nullptr)
            break;
        PositionRow& row = rows[static_cast<std::size_t>(i)];
        if (entry->state == PointEntry::kFound) {
            row = m_pPointFrame->GetPosition(*entry);
            row.state = PointEntry::kFound;
        } else if (entry->state == PointEntry::kLost) {
            row.state = PointEntry::kLost;
        }
    }
    return rows;
}

BOOL CTrackingDoc::IsShownInPositionBar() const {
    ICtrlBarOwner* bars = GetBarOwner();
    return bars != nullptr && bars->GetPosBar()->GetSafeHwnd() != nullptr &&
           bars->GetActiveListDocument() == static_cast<const IImgListDocument*>(this);
}

void CTrackingDoc::RefreshPositionList(long frame) {
    if (!IsShownInPositionBar())
        return;
    const std::vector<PositionRow> rows = GetPositionRows(frame);
    GetBarOwner()->SetPositionList(rows.data(), static_cast<int>(rows.size()));
    m_nListedFrame = frame;
    m_bListed = true;
}

void CTrackingDoc::FollowShownFrame() {
    if (!m_bListed || m_nListedFrame != GetCurrentFrame())
        RefreshPositionList(GetCurrentFrame());
}

void CTrackingDoc::SelectPositionRow(int row) {
    if (IsShownInPositionBar())
        GetBarOwner()->GetPosBar()->SelectRow(row);
}

int CTrackingDoc::GetSelectedPositionRow() {
    return IsShownInPositionBar() ? GetBarOwner()->GetPosBar()->GetSelectedRow() : -1;
}

BOOL CTrackingDoc::ExportPositions(LPCTSTR lpszPath) {
    if (!HasTables() || lpszPath == nullptr || m_pPointFrame->Count() == 0)
        return FALSE;
    std::vector<std::string> names;
    for (int i = 0; i < m_nPointCount; ++i) {
        const std::vector<PointInfo>& infos = m_pJobTable->points;
        const bool named =
            i < static_cast<int>(infos.size()) && !infos[static_cast<std::size_t>(i)].name.empty();
        names.push_back(named ? infos[static_cast<std::size_t>(i)].name : "P" + std::to_string(i + 1));
    }
    return m_pPointFrame->ExportCsv(lpszPath, names, 2) == 1 ? TRUE : FALSE;
}

// --- Tracking run -----------------------------------------------------------------------------------

void CTrackingDoc::ShowFrameNow(long frame) {
    CVesloDoc::SetCurrentFrame(frame, FALSE);
    SendFrameChanged();
}

void CTrackingDoc::SetCurrentFrame(long frame, BOOL bUpdate) {
    if (m_bTrackingRun) {
        // The control bar goes back to where the run holds the document.
        if (IsActive()) {
            if (ICtrlBarOwner* bars = GetBarOwner())
                bars->SetCtrlBarFrame(GetCurrentFrame());
        }
        return;
    }
    CVesloDoc::SetCurrentFrame(frame, bUpdate);
}

void CTrackingDoc::SetCurrentTime(double seconds, BOOL bUpdate) {
    if (!m_bTrackingRun)
        CVesloDoc::SetCurrentTime(seconds, bUpdate);
}

void CTrackingDoc::SetPlayBegin(long frame) {
    if (!m_bTrackingRun)
        CVesloDoc::SetPlayBegin(frame);
}

void CTrackingDoc::SetPlayEnd(long frame) {
    if (!m_bTrackingRun)
        CVesloDoc::SetPlayEnd(frame);
}

void CTrackingDoc::Play() {
    if (!m_bTrackingRun)
        CVesloDoc::Play();
}

CString CTrackingDoc::GetBusyText() const {
    return m_bTrackingRun ? "Tracking is running in this window. Stop it first (Stop or Escape)." : "";
}

BOOL CTrackingDoc::RefuseWhileBusy() {
    const CString text = GetBusyText();
    if (text.IsEmpty())
        return FALSE;
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return TRUE;
}

BOOL CTrackingDoc::CanCloseFrame(CFrameWnd* pFrame) {
    if (RefuseWhileBusy())
        return FALSE;
    return CVesloDoc::CanCloseFrame(pFrame);
}

BOOL CTrackingDoc::SaveModified() {
    if (RefuseWhileBusy())
        return FALSE;
    return CVesloDoc::SaveModified();
}
