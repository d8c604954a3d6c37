// Method 6: zero-mean normalised correlation from the image library's norms and products.
#pragma once

#include "Matching/CorrelationIplMatching.h"

class CorrIplFullMatching : public CorrelationIplMatching {
protected:
    double IplScore(IplImage* window) override;
    // The same norms taken as exact sums straight from the frame, without window copies.
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
};

// The score from a window's pixel sum s, its root sum of squares r and its product sum p with a
// template of count pixels, mean and energy.
double NormScore(double s, double r, double p, double count, double mean, double energy);
