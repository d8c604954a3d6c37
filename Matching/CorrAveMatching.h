// Method 1: normalised correlation from running (provisional) integer means, in one pass over the
// pixels in raster order.
#pragma once

#include "Matching/CorrelationMatching.h"

class CorrAveMatching : public CorrelationMatching {
protected:
    double Score(int x, int y) override;
    int PrepareTemplate() override;
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
};
