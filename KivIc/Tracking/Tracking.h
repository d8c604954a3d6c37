// The tracking job of a tracking window: from a start frame to an end frame it shows each frame, takes
// its gray picture, and for every point set by hand on the start frame predicts where the point now is,
// matches the point's templates in a search area around the prediction, refines the best match to
// sub-pixel accuracy and stores the position (or marks the point lost). Each step is timed; at the end
// a report goes to the debug output and to the day's matching log file.
//
// The job measures in the picture's own pixels: x along the row, y the row counted from the top. What
// it reads from and writes to the point-frame table counts y up from the bottom; the image functions'
// ConvertPoint turns one into the other.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/afx/afxwin.h"

class CCommImgFunc;
class CMatchingLog;
class CTemplateInfo;
class CTrackingHost;
class JobTable;
class Matching;
class MatchingParam;
class PointFrame;

class CTracking {
public:
    // The 18 step timers of a run, in the matching log.
    static constexpr int kTimerCount = 18;
    // Timers reported (the last, storing the results, is not).
    static constexpr int kReportedTimers = 17;

    CTracking(CTrackingHost* host, CCommImgFunc* images);
    CTracking(const CTracking&) = delete;
    CTracking& operator=(const CTracking&) = delete;
    virtual ~CTracking();

    int SetTables(JobTable* jobs, PointFrame* points);

    // Runs forward (direction 0) or backward (direction 1) from start to end, step frames at a time.
    // 1 when the run went through (also when it was stopped), 0 when it did not start or broke off
    // because a frame's picture could not be had.
    int RunTrackingJob(long start, long end, int step, int width, int height, int direction);
    bool CanRun(long start, long end, int step, int width, int height, int direction) const;
    // Why a run from the start frame would store nothing, for the user; empty when it can start. No point
    // has a position set by hand on the start frame, or such a point's templates need more room than a
    // width x height picture has. A run is refused for the same reasons.
    CString StartRefusal(long start, int width, int height) const;

    // Ends a running job after the frame it is working on; what was stored stays and the report is
    // written. Meant for Stop and Escape while the job lets messages through.
    void RequestStop() { m_bStop = true; }
    bool IsStopRequested() const { return m_bStop; }
    bool IsRunning() const { return m_bRunning; }

    // The template set of a point (1-based), null when it has none.
    CTemplateInfo* GetTemplateSet(int pointNumber) const;
    int GetTemplateSetCount() const { return static_cast<int>(m_templates.size()); }
    // Forgets the template sets of the points beyond the count (after the points were set up anew).
    void DropTemplateSets(int pointCount);

    // The predicted position (picture pixels) of a point for the frame after `frame` (before it when
    // running backward): the velocity prediction for code 1, the last found position for any other.
    bool PredictPosition(int code, int pointNumber, long frame, int direction, int height, int* x, int* y);
    // Where a width x height area centred on (cx, cy) lies when it is moved inside the picture widened
    // by reachX and reachY on each side (the picture's border repeated there); false when it is larger
    // than that.
    static bool ClampSearchArea(int imageWidth, int imageHeight, int reachX, int reachY, int cx, int cy,
                                int width, int height, int* left, int* top);
    // Matches every template of the set in the area; the best score (the first of equal ones), its
    // template's index, position and score map. -1.0 for an empty set.
    static double MatchTemplates(const CTemplateInfo& set, Matching& matcher, int left, int top, int width,
                                 int height, int* bestX, int* bestY, int* mapWidth, int* mapHeight,
                                 std::vector<std::vector<float>>& maps, int* bestIndex);
    // Cuts the point's templates around its hand-set position on the frame.
    bool LearnTemplate(const BYTE* image, int width, int height, int pointNumber, long frame);
    // Cuts the point's base image centred on the pixel nearest to (x, y), the picture's border repeated
    // where it reaches past the edge, and builds the templates from it; what the point lies off that
    // pixel is kept with the set and added to every position found with it. False when the point has
    // no parameters, lies outside the picture or its base image is larger than the picture.
    bool UpdateTemplate(int pointNumber, const BYTE* image, double x, double y, int width, int height);

    // Adds the time since *lastTick to the timer, names it and counts it once; *lastTick becomes now.
    static void RecordStepTime(CMatchingLog& log, int index, DWORD* lastTick);
    static const char* TimerLabel(int index);

    // The report of a run: its text form to the debug output, its comma form appended to the day's log
    // file in the temp folder (the user is told when that file cannot be written).
    void WriteMatchingResultLog(const CMatchingLog& log, const JobTable& jobs) const;

private:
    struct PointState;
    struct RunState;

    int RunFrames(long start, long end, int step, int direction);
    const MatchingParam* FirstParam(int pointNumber) const;
    void Step(RunState& run, int index) const;
    bool FindLastPosition(int pointNumber, long frame, int direction, int height, int* x, int* y,
                          long* found) const;
    bool TrackPoint(RunState& run, int pointNumber, long frame);
    bool MatchParam(RunState& run, int pointNumber, long frame, const MatchingParam& mp, CTemplateInfo& set);
    void ToTable(int height, double x, double y, double* tx, double* ty) const;

    CTrackingHost* m_pHost;
    CCommImgFunc* m_pImages;
    JobTable* m_pJobs = nullptr;
    PointFrame* m_pPoints = nullptr;
    std::vector<CTemplateInfo*> m_templates; // index = point number - 1; null for a point never learned
    // Where each point lay from the centre pixel of its templates when they were cut.
    struct CutOffset {
        double x = 0.0;
        double y = 0.0;
    };
    std::vector<CutOffset> m_cutOffsets;
    bool m_bStop = false;
    bool m_bRunning = false;
};
