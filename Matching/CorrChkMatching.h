// Method 2 (and unknown method codes): the correlation of method 0 over the checkerboard half of the
// pixels, those whose column and row within the window add up to an even number.
#pragma once

#include "Matching/CorrelationMatching.h"

class CorrChkMatching : public CorrelationMatching {
protected:
    double Score(int x, int y) override;
    int PrepareTemplate() override;
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
};
