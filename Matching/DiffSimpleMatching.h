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

// The whole-area way of scoring method 4: the scores of the columns x rows candidates whose windows
// start at (x0, y0) of a frame of row stride imageWidth, from its window sums of absolute differences.
void ScoreDifferenceArea(const unsigned char* image, int imageWidth, int x0, int y0, int columns, int rows,
                         const unsigned char* templ, int templateWidth, int templateHeight, double* scores);
