// The tracking layer of every recording document: how many points each frame carries, the point-frame
// table with the tracked positions (x along the row, y counted up from the picture's bottom edge:
// y = picture height - row) and the job table with the points' descriptions, matching parameters and
// the frames where points were set by hand. The 2-D setup makes both tables; until then the point
// operations do nothing.
//
// While a tracking run works on the document it stays where the run puts it: it neither plays nor
// moves for anyone else. While it is busy (a run, a conversion) it refuses to close.
#pragma once

#include <memory>
#include <vector>

#include "KivIc/Playback/VesloDoc.h"
#include "KivIc/Tracking/JobTable.h"
#include "ZopDat/PointFrame.h"

class CTrackingDoc : public CVesloDoc {
    DECLARE_DYNAMIC(CTrackingDoc)
public:
    CTrackingDoc();
    ~CTrackingDoc() override;
    // The document as a tracking document, or null.
    static CTrackingDoc* From(CDocument* pDoc) {
        return pDoc != nullptr && pDoc->IsKindOf(RUNTIME_CLASS(CTrackingDoc))
                   ? static_cast<CTrackingDoc*>(pDoc)
                   : nullptr;
    }

    // The playback layer's, then the 2-D setup; FALSE when either fails.
    BOOL OnNewDocument() override;

    // --- Setup --------------------------------------------------------------------------------------
    // The setup dialog with the point count (at least 1) and the frame rate; OK applies them
    // (ApplySetup2d). Fewer points than before, where the points that go hold positions, are asked
    // about first. FALSE on Cancel or No, nothing changed.
    BOOL RunSetup2dDialog();
    // Sets the point count and the rate, makes or fits both tables to the count, switches point input
    // on and refreshes the position list. Entries, parameters and descriptions of the points that stay
    // are kept; removed points leave every record; new points start without position.
    void ApplySetup2d(int points, int frameRate);
    void SetPointCount(int n);
    // Fits the job table to n points (nothing without one): parameters kept, defaults for new points,
    // one description per point.
    void BuildPointTables(int n);
    int GetPointCount() const { return m_nPointCount; }
    PointFrame* GetPointFrameTable() const { return m_pPointFrame.get(); }
    JobTable* GetJobTable() const { return m_pJobTable.get(); }
    BOOL HasTables() const { return m_pPointFrame != nullptr && m_pJobTable != nullptr; }

    // 1: clicks on the picture set the selected point and the points are drawn; other values leave
    // clicks to the reticle layer.
    int GetPointInputMode() const { return m_nPointInputMode; }
    void SetPointInputMode(int mode) { m_nPointInputMode = mode; }
    BOOL IsTrackingInput() const { return m_nPointInputMode == 1 && HasTables(); }

    // --- Points ---------------------------------------------------------------------------------------
    // Sets a point (0-based) of the frame in the point-frame table: found with the position, or lost
    // keeping its stored position; by hand, the frame becomes an input frame.
    void SetPoint(long frame, int index, double x, double y, BOOL bByHand, BOOL bFound);
    // A click: the point found by hand on the shown frame; the position list then selects the next
    // point when it has no position yet, else stays on this one.
    void SetPointPosition(int index, double x, double y);
    // The point lost by hand on the shown frame.
    void MarkPointLost(int index);
    // Position and state of the point after index on the frame; FALSE without tables, record or point.
    BOOL GetNextPointEntry(long frame, int index, PointEntry* pEntry);
    // Lists the frame among the input frames in ascending place: its index, -1 when listed already.
    static int AddInputFrame(JobTable* pJobs, long frame);

    // --- Position list -------------------------------------------------------------------------------
    // One row per point: found points with their position, lost ones with state 1, the rest empty.
    std::vector<PositionRow> GetPositionRows(long frame);
    // Shows the frame's rows in the main frame's point-position bar when this document's window is the
    // active one.
    void RefreshPositionList(long frame);
    // The list follows the shown frame (refreshed when it shows another frame than the one listed).
    void FollowShownFrame();
    void SelectPositionRow(int row);
    // The selected row of the position bar while this document is the active one; -1 otherwise.
    int GetSelectedPositionRow();

    // The point-frame table as CSV (frame number, then x and y of each point); FALSE when it could not
    // be written or there is nothing to write.
    BOOL ExportPositions(LPCTSTR lpszPath);

    // --- Tracking run -----------------------------------------------------------------------------------
    void SetTrackingRun(BOOL bRun) { m_bTrackingRun = bRun ? TRUE : FALSE; }
    BOOL IsTrackingRun() const { return m_bTrackingRun; }
    // What works on the document now (a tracking run here; the file documents add their conversion)
    // and how the user stops it, as told when closing is refused; empty while nothing does.
    virtual CString GetBusyText() const;
    BOOL IsBusy() const override { return !GetBusyText().IsEmpty(); }
    // Shows the frame at once, its views redrawn; also during a run (the run's own moves).
    void ShowFrameNow(long frame);

    // Refused during a run.
    void SetCurrentFrame(long frame, BOOL bUpdate) override;
    void SetCurrentTime(double seconds, BOOL bUpdate) override;
    void SetPlayBegin(long frame) override;
    void SetPlayEnd(long frame) override;
    void Play() override;
    // Refused (and the user told why) while busy.
    BOOL CanCloseFrame(CFrameWnd* pFrame) override;
    BOOL SaveModified() override;

private:
    // This document's window is the active one (the position bar speaks for it).
    BOOL IsShownInPositionBar() const;
    // Fits every record of the point-frame table to n entries and lists anew the frames where a
    // remaining point was set by hand.
    void FitRecords(int n);
    // How many positions (found, or set by hand) the points beyond the first n hold over all frames.
    int CountPositionsBeyond(int n) const;
    BOOL RefuseWhileBusy();

    int m_nPointCount = 0;
    std::unique_ptr<PointFrame> m_pPointFrame;
    std::unique_ptr<JobTable> m_pJobTable;
    int m_nPointInputMode = 0;
    BOOL m_bTrackingRun = FALSE;
    // The frame the position bar lists, so that it follows the shown frame.
    long m_nListedFrame = -1;
    bool m_bListed = false;
};
