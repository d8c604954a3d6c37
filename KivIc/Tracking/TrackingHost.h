// What the tracking job needs of the window it runs in, besides the frames' pictures (those come
// through the image functions, CCommImgFunc): showing a frame, the hand-set positions, storing
// results, the matching log, and letting window messages through while it works.
#pragma once

#include "platform/afx/afxwin.h"

class CMatchingLog;

class CTrackingHost {
public:
    virtual ~CTrackingHost() = default;

    // The document shows the frame and its views redraw.
    virtual void ShowFrame(long frame) = 0;
    // TRUE with the state (-1 no position, 0 found, 1 lost) when the point (1-based) was set by hand on
    // the frame.
    virtual BOOL HasInputPosition(long frame, int pointNumber, int* state) = 0;
    virtual BOOL IsInputFrame(long frame) = 0;
    // Stores a found position in the document's point-frame table: x along the row, y counted up from
    // the bottom of the picture (the table's convention), neither by hand.
    virtual void StoreTrackedPosition(int pointNumber, long frame, double x, double y) = 0;
    virtual void MarkLost(int pointNumber, long frame) = 0;
    // On: raw dumps of templates and search areas, and result records in the matching log.
    virtual BOOL IsDebugOutput() = 0;
    // The log of the run (made anew by the window before each run).
    virtual CMatchingLog* GetMatchingLog() = 0;
    // The path of the document tracked, for the report.
    virtual CString GetDocumentPath() = 0;
    // Lets the window messages that wait through, so that windows repaint and Stop can be pressed.
    virtual void PumpMessages() { AfxPumpMessages(); }
};
