// The common time axis of synchronised playback: stepping and playing move on a grid of begin + k x
// step, a time the user asks for is taken as it is (kept to the axis), and the frame a time shows at a
// rate. Frames are floor(t x rate) with a small margin, so a time computed
// as k / rate never shows frame k - 1 through rounding, and a time just before 0 shows frame -1.
#pragma once

#include <vector>

// How far below a whole frame a product t x rate may fall through rounding and still count as it.
constexpr double kFrameMargin = 1e-9;

// The frame at a time: floor(seconds x rate + margin).
long FrameAtTime(double seconds, double rate);

// The range and rate of one synchronised document.
struct SyncSource {
    long recordBegin = 0;
    long recordEnd = 0;
    int rate = 0;
};

// The axis of a set of documents: from the earliest record begin to the latest record end (each at its
// own rate), stepping one frame of the fastest document. Invalid when no document has a rate.
struct SyncAxis {
    double begin = 0.0;
    double end = 0.0;
    double step = 0.0;
    int rate = 0;
    bool IsValid() const { return rate > 0; }

    static SyncAxis FromSources(const std::vector<SyncSource>& sources);

    // The index of the last grid point not after the end.
    long long LastIndex() const;
    double TimeAt(long long index) const { return begin + static_cast<double>(index) * step; }
    // The time kept to [begin, end]; no time at all is the begin.
    double Clamp(double seconds) const;
    // The grid point one step from the time (direction > 0 later, else earlier), kept to the grid.
    double StepFrom(double seconds, int direction) const;
};

// The index of the grid point one step from a time on an axis given by its begin and (unsigned) step:
// the first one after it (direction > 0) or the last one before it. A time already on the grid moves
// by exactly one point; a time between two points goes to the neighbour in that direction.
long long SyncStepIndex(double seconds, double begin, double step, int direction);
// The index of the last grid point not after end.
long long SyncLastGridIndex(double begin, double end, double step);
