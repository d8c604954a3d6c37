// Method 6: zero-mean normalised correlation from the image library's norms and products.
#pragma once

#include "Matching/CorrelationIplMatching.h"

class CorrIplFullMatching : public CorrelationIplMatching {
protected:
    double IplScore(IplImage* window) override;
    // The same norms taken as exact sums straight from the frame, without window copies.
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
};

// The score from a window's pixel sum s, its sum of squares q with the root r of it that the image
// library's L2 norm gives, and its product sum p with a template of count pixels, mean and energy.
// A window whose pixels are all alike scores -1.0.
double NormScore(std::int64_t s, std::int64_t q, double r, std::int64_t p, std::int64_t count, double mean,
                 double energy);
