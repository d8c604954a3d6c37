#include "KivIc/Helpers/CalcStat.h"

namespace {

// Weighted centre and spread of the values above t along one line; false when there is no value above t
// or the values above t form more than one run.
bool LineStats(const float* first, int count, int stride, double t, int peak, double* centre,
               double* spread) {
    double sumW = 0.0;
    double sumXW = 0.0;
    double sumDW = 0.0;
    bool inRun = false;
    bool runEnded = false;
    for (int i = 0; i < count; ++i) {
        const double w = static_cast<double>(first[static_cast<long long>(i) * stride]) - t;
        if (w > 0.0) {
            if (runEnded)
                return false;
            inRun = true;
            sumW += w;
            sumXW += i * w;
            sumDW += static_cast<double>(i - peak) * (i - peak) * w;
        } else if (inRun) {
            inRun = false;
            runEnded = true;
        }
    }
    if (sumW <= 0.0)
        return false;
    *centre = sumXW / sumW;
    *spread = sumDW / sumW;
    return true;
}

} // namespace

BOOL CCalcStat::Calc(int levels, std::vector<float*> maps, int index, int width, int height, int peakX,
                     int peakY, double* centreX, double* centreY, double* spreadX, double* spreadY) {
    const float* map =
        index >= 0 && index < static_cast<int>(maps.size()) ? maps[static_cast<size_t>(index)] : nullptr;
    return Analyse(levels, map, width, height, peakX, peakY, centreX, centreY, spreadX, spreadY);
}

BOOL CCalcStat::Analyse(int levels, const float* map, int width, int height, int peakX, int peakY,
                        double* centreX, double* centreY, double* spreadX, double* spreadY) {
    *centreX = -1.0;
    *centreY = -1.0;
    *spreadX = 0.0;
    *spreadY = 0.0;
    if (map == nullptr || width <= 0 || height <= 0 || levels < 1 || peakX < 0 || peakX >= width ||
        peakY < 0 || peakY >= height)
        return FALSE;
    // The extremes start from the first meaningful value, whatever its sign or size.
    bool any = false;
    double lo = 0.0;
    double hi = 0.0;
    const long long total = static_cast<long long>(width) * height;
    for (long long i = 0; i < total; ++i) {
        const double v = map[i];
        if (!(v > -1.0))
            continue;
        if (!any) {
            lo = hi = v;
            any = true;
        } else if (v < lo) {
            lo = v;
        } else if (v > hi) {
            hi = v;
        }
    }
    if (!any)
        return FALSE;
    const double t = (levels - 1) * (hi - lo) / levels + lo;
    double cx = -1.0;
    double sx = 0.0;
    if (!LineStats(map + static_cast<long long>(peakY) * width, width, 1, t, peakX, &cx, &sx))
        return TRUE;
    *centreX = cx;
    *spreadX = sx;
    double cy = -1.0;
    double sy = 0.0;
    if (LineStats(map + peakX, height, width, t, peakY, &cy, &sy)) {
        *centreY = cy;
        *spreadY = sy;
    }
    return TRUE;
}
