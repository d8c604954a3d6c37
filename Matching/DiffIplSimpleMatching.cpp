#include "Matching/DiffIplSimpleMatching.h"
#include "Matching/DiffSimpleMatching.h"

double DiffIplSimpleMatching::Score(IplImage* window) {
    const double d = iplNorm(window, templateImage_, IPL_L1);
    return (255.0 - d / (templateWidth_ * templateHeight_)) * (1.0 / 255.0);
}

bool DiffIplSimpleMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    if (!FastPaths()) {
        return DifferenceIplMatching::ScoreArea(x0, y0, columns, rows, scores);
    }
    ScoreDifferenceArea(imagePixels_, imageWidth_, x0, y0, columns, rows, templatePixels_, templateWidth_,
                        templateHeight_, scores);
    return true;
}
