// The tracking window: the commands of the point-position bar and the Tracking menu (2-D setup, point
// input, Start Tracking, Vanish, Matching Param, export), the tracking job with its matching log, and
// the services the job reaches through its host and image functions: showing a frame, capturing it,
// its gray picture, and reading and storing point positions.
//
// A run works on this window's own document, view and frame, whichever window is active while it lets
// messages through. Meanwhile the commands that would change the document, the points or what is
// shown are disabled, clicks set nothing, and the window and the program refuse to close; Stop or
// Escape ends the run after the frame it is working on, keeping what was stored.
#pragma once

#include <memory>
#include <vector>

#include "KivIc/Helpers/CommImgFunc4Avi.h"
#include "KivIc/Playback/VesloChildFrame.h"
#include "KivIc/Tracking/Tracking.h"
#include "KivIc/Tracking/TrackingHost.h"
#include "Matching/CalcTest.h"
#include "Matching/MatchingLog.h"

class CTrackingDoc;
class CTrackingView;

class CTrackingChildFrame : public CVesloChildFrame, public CTrackingHost, public CTrackingFrameServices {
    DECLARE_DYNCREATE(CTrackingChildFrame)
public:
    CTrackingChildFrame();
    ~CTrackingChildFrame() override;

    CTrackingDoc* GetTrackingDoc() const;
    CTrackingView* GetTrackingView() const;
    BOOL IsRunning() const { return m_bRunning; }
    CTracking* GetTrackingJob() const { return m_pJob.get(); }
    CCommImgFunc4Avi* GetImageFunctions() const { return m_pImages.get(); }
    // Whether a run could start now: tables with points, a picture, nothing playing or running.
    BOOL CanStartTracking() const;

    // --- The playback frame's hooks -------------------------------------------------------------------
    // The slider stays off while this window's run works; the position list shows this document.
    void SyncControlBar(BOOL bActive) override;
    // Escape during a run ends it.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // While a run or a conversion works on the document, the commands that would change it or what it
    // shows are refused (IsRefusedWhileBusy), whoever handles them.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // --- Tracking host ----------------------------------------------------------------------------------
    void ShowFrame(long frame) override;
    BOOL HasInputPosition(long frame, int pointNumber, int* state) override;
    BOOL IsInputFrame(long frame) override;
    // Stores what it is given: the job hands over table positions.
    void StoreTrackedPosition(int pointNumber, long frame, double x, double y) override;
    void MarkLost(int pointNumber, long frame) override;
    BOOL IsDebugOutput() override { return FALSE; }
    CMatchingLog* GetMatchingLog() override { return m_pLog.get(); }
    CString GetDocumentPath() override;

    // --- Frame services ------------------------------------------------------------------------------
    void SetPointPosition(PointFrame* pTable, long frame, int pointCount, int pointIndex, double x, double y,
                          BOOL found, BOOL byHand) override;
    void GoToFrame(long frame) override;
    BYTE* GetFrameGray(long frame, int* pWidth, int* pHeight) override;
    // (x, y) to (x, height - y): between picture rows and table positions, both ways.
    void ConvertPoint(int height, double x, double y, double* pX, double* pY) override;
    // The picture the document shows as blue, green, red bytes, rows top-down without padding; null
    // without a picture. The buffer stays the frame's until the next capture.
    BYTE* GetFrameRgb(long frame, int* pWidth, int* pHeight, int* pBits, int* pExtra) override;
    BYTE* ConvertToGray(const BYTE* pPixels, int width, int height) override;

protected:
    void OnStartTracking();
    void OnUpdateStartTracking(CCmdUI* pCmdUI);
    void OnVanish();
    void OnUpdateVanish(CCmdUI* pCmdUI);
    void OnMatchingParam();
    void OnUpdateMatchingParam(CCmdUI* pCmdUI);
    void OnSetup2d();
    void OnUpdateSetup2d(CCmdUI* pCmdUI);
    void OnPointInput();
    void OnUpdatePointInput(CCmdUI* pCmdUI);
    void OnReticlePointInput();
    void OnExportPositions();
    void OnUpdateExportPositions(CCmdUI* pCmdUI);
    void OnStopCommand();
    void OnUpdateStopCommand(CCmdUI* pCmdUI);
    LRESULT OnRefreshFrame(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    class RunScope;
    // The document's tables are there, with points, and nothing runs.
    BOOL CanEditPoints() const;
    BOOL IsActiveWindow() const;
    void EnableSlider(BOOL bEnable);
    // Every view of the document redraws.
    void RedrawViews();
    // The picture takes one kind of click at a time: setting the tracked points or writing reticle
    // rows. Ends the reticle's point input (its file is closed).
    void EndReticleInput();
    // Stores what the job found for a point on a frame (found at (x, y), or lost), not by hand, and
    // shows that frame with its positions.
    void StoreRunResult(int pointNumber, long frame, double x, double y, BOOL found);

    std::vector<BYTE> m_captured;
    std::vector<BYTE> m_gray;
    CalcTest m_grayConverter;
    std::unique_ptr<CCommImgFunc4Avi> m_pImages;
    std::unique_ptr<CTracking> m_pJob;
    BOOL m_bRunning = FALSE;
    std::unique_ptr<CMatchingLog> m_pLog;
};
