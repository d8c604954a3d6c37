#include "Matching/DifferenceMatching.h"

double DifferenceMatching::Match(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) {
    return MatchWith(x0, y0, searchWidth, searchHeight, bestX, bestY);
}

double DifferenceMatching::Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) {
    if (!CanSearch(x0, y0, searchWidth, searchHeight)) {
        return Refuse(bestX, bestY);
    }
    return ScoreAndPick(x0, y0, bestX, bestY);
}

bool DifferenceMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            *scores++ = Score(x0 + c, y0 + r);
        }
    }
    return true;
}
