#include "KivIc/Play/SyncAxis.h"

#include <algorithm>
#include <cmath>

long FrameAtTime(double seconds, double rate) {
    return static_cast<long>(std::floor(seconds * rate + kFrameMargin));
}

long long SyncStepIndex(double seconds, double begin, double step, int direction) {
    if (!(step > 0.0) || !std::isfinite(seconds))
        return 0;
    // Kept within what a grid index can hold, so a time far off the axis still clamps sensibly.
    const double position = std::clamp((seconds - begin) / step, -1e15, 1e15);
    if (direction > 0)
        return static_cast<long long>(std::floor(position + kFrameMargin)) + 1;
    return static_cast<long long>(std::ceil(position - kFrameMargin)) - 1;
}

long long SyncLastGridIndex(double begin, double end, double step) {
    if (!(step > 0.0) || !(end >= begin))
        return 0;
    const double index = std::min((end - begin) / step + kFrameMargin, 1e15);
    return static_cast<long long>(std::floor(index));
}

SyncAxis SyncAxis::FromSources(const std::vector<SyncSource>& sources) {
    SyncAxis axis;
    double begin = 0.0;
    double end = 0.0;
    for (const SyncSource& source : sources) {
        if (source.rate <= 0)
            continue;
        const double rate = source.rate;
        const double first = source.recordBegin / rate;
        const double last = source.recordEnd / rate;
        if (axis.rate == 0) {
            begin = first;
            end = last;
        } else {
            begin = std::min(begin, first);
            end = std::max(end, last);
        }
        axis.rate = std::max(axis.rate, source.rate);
    }
    if (axis.rate == 0)
        return axis;
    axis.begin = begin;
    axis.end = std::max(begin, end);
    axis.step = 1.0 / axis.rate;
    return axis;
}

long long SyncAxis::LastIndex() const {
    return SyncLastGridIndex(begin, end, step);
}

double SyncAxis::Clamp(double seconds) const {
    if (!IsValid())
        return seconds;
    if (std::isnan(seconds))
        return begin;
    return std::clamp(seconds, begin, end);
}

double SyncAxis::StepFrom(double seconds, int direction) const {
    if (!IsValid())
        return seconds;
    const long long index = SyncStepIndex(seconds, begin, step, direction);
    // Past either end the time stays at that end: a step never goes the other way.
    if (index < 0)
        return begin;
    if (index > LastIndex())
        return Clamp(seconds);
    return TimeAt(index);
}
