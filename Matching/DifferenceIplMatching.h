// Difference matchers that work on image copies of the template and of each window.
#pragma once

#include "Matching/Matching.h"

class DifferenceIplMatching : public Matching {
public:
    double Match(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) override;
    // Also keeps an 8-bit image copy of the template.
    void SetTemplate(const unsigned char* pixels, int width, int height) override;

protected:
    double Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) override;
    virtual double Score(IplImage* window) = 0;
    bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) override;
};
