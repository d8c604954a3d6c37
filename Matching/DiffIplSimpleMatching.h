// Method 5: the score of method 4, with the absolute differences summed by the image library.
#pragma once

#include "Matching/DifferenceIplMatching.h"

class DiffIplSimpleMatching : public DifferenceIplMatching {
protected:
    double Score(IplImage* window) override;
    // The same sums taken straight from the frame, without window copies.
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
};
