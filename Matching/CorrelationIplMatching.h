// Correlation matchers that work on 16-bit image copies of the template and of each window.
#pragma once

#include "Matching/CorrelationMatching.h"

#include <cstdint>

class CorrelationIplMatching : public CorrelationMatching {
public:
    ~CorrelationIplMatching() override;
    // Keeps a 16-bit image copy of the template and its mean and energy; the deviation table and the
    // statistics of the plain correlation matchers stay untouched.
    void SetTemplate(const unsigned char* pixels, int width, int height) override;

protected:
    double Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) override;
    double Score(int x, int y) override;
    int PrepareTemplate() override;
    virtual double IplScore(IplImage* window) = 0;
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
    // The sum of squares whose root is this L2 norm of 8-bit pixels: squaring and rounding give it
    // back exactly while it stays below 2^50 (the root is off by at most half a unit in its last place).
    static std::int64_t SquaresOfNorm(double l2);

    double iplMean_ = 0.0;
    double iplEnergy_ = 0.0;
    IplImage* productImage_ = nullptr;
};
