// The point-frame table of a tracking document and the operations that the tracking frame and the job
// share on it. Positions are kept in thousandths of a pixel, so that sub-pixel results survive, with x
// along the row and y counted up from the bottom of the picture (y = picture height - top-down row).
#pragma once

#include <memory>

#include "ZopDat/PointFrame.h"
#include "platform/win32/types.h"

class JobTable;

constexpr double kPointTableScale = 0.001;

std::unique_ptr<PointFrame> NewPointTable();

// Sets a point's entry in the frame's record, making the record (pointCount entries without position)
// when the frame has none and adding entries up to the point when the record is shorter. The entry is
// found (state 0) with the position, or lost (state 1) keeping its stored position. By hand, the
// entry is flagged and the frame listed among the job table's input frames.
void SetPointInTable(PointFrame& table, JobTable* jobs, long frame, int pointCount, int pointIndex, double x,
                     double y, BOOL found, BOOL byHand);

// The hand-set state of a point (1-based) on a frame: TRUE with state -1, 0 or 1 when the frame is an
// input frame and its record holds a hand-set entry for the point; FALSE otherwise.
BOOL GetInputState(const JobTable& jobs, PointFrame& table, long frame, int pointNumber, int* state);
