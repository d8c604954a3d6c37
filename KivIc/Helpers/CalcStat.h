// Peak statistics of a score map: where the values above a threshold near the peak are centred along
// the peak's row and column, and how far they spread.
#pragma once

#include <vector>

#include "platform/win32/types.h"

class CCalcStat {
public:
    // Analyse on maps[index]; the maps stay the caller's.
    static BOOL Calc(int levels, std::vector<float*> maps, int index, int width, int height, int peakX,
                     int peakY, double* centreX, double* centreY, double* spreadX, double* spreadY);
    // Row-major width x height values, meaningful above -1.0. The threshold lies (levels - 1) / levels
    // of the way from the smallest to the largest meaningful value. FALSE (centres -1.0, spreads 0.0)
    // for no map, an empty size, levels below 1, a peak outside the map, or no meaningful value;
    // otherwise TRUE, with centre -1.0 along an axis whose values above the threshold are missing or
    // form more than one run.
    static BOOL Analyse(int levels, const float* map, int width, int height, int peakX, int peakY,
                        double* centreX, double* centreY, double* spreadX, double* spreadY);
};
