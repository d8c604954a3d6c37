// The job table of a tracking document: how many points there are, the frames where points were set
// by hand, the description of every point and the matching parameters of every point.
#pragma once

#include <cstdint>
#include <vector>

#include "ZopDat/PointInfo.h"
#include "ZopDat/TrackingJobPar.h"

class JobTable {
public:
    int GetInputFrameCount() const { return static_cast<int>(inputFrames.size()); }
    // Lists the frame in ascending place: its index, or -1 when it is listed already.
    int AddInputFrame(std::int32_t frame);
    bool IsInputFrame(std::int32_t frame) const;

    std::int32_t pointCount = 0;
    // Frames where a point was set by hand, each once, ascending.
    std::vector<std::int32_t> inputFrames;
    // One per point, in point order.
    std::vector<PointInfo> points;
    // One MatParam4Point per point (index = point number - 1).
    TrackingJobPar params;
};
