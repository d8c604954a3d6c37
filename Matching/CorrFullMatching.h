// Method 0: zero-mean normalised correlation with integer means, every pixel.
#pragma once

#include "Matching/CorrelationMatching.h"

class CorrFullMatching : public CorrelationMatching {
protected:
    double Score(int x, int y) override;
    int PrepareTemplate() override;
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
};
