// Matchers that score a candidate by how little its window differs from the template, on the
// caller's buffers.
#pragma once

#include "Matching/Matching.h"

class DifferenceMatching : public Matching {
public:
    double Match(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) override;

protected:
    double Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) override;
    virtual double Score(int x, int y) = 0;
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
};
