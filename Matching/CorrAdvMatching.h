// Method 3: zero-mean normalised correlation from window sums, visiting the candidates in serpentine
// order (rows alternately left to right and right to left), so that ties go to the first candidate in
// that order.
#pragma once

#include "Matching/CorrelationMatching.h"

#include <cstdint>

class CorrAdvMatching : public CorrelationMatching {
protected:
    double Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) override;
    // Not used by the serpentine search.
    double Score(int x, int y) override;
    int PrepareTemplate() override;
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
};

// The score of a window with pixel sum s, sum of squares q and product sum p with a template of
// count pixels, mean and energy.
double WindowSumScore(std::int64_t s, std::int64_t q, std::int64_t p, int count, double mean, double energy);
