// Method 4: 1 - mean absolute difference / 255; an identical window scores 1.0.
#pragma once

#include "Matching/DifferenceMatching.h"

class DiffSimpleMatching : public DifferenceMatching {
protected:
    double Score(int x, int y) override;
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
};

// The score of a window whose absolute differences add up to sum, over count pixels.
double DifferenceScore(long long sum, int count);
