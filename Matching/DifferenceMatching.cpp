#include "Matching/DifferenceMatching.h"

#include <new>
#include <vector>

double DifferenceMatching::Match(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) {
    return MatchWith(x0, y0, searchWidth, searchHeight, bestX, bestY);
}

double DifferenceMatching::Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) {
    if (!CanSearch(x0, y0, searchWidth, searchHeight)) {
        return Refuse(bestX, bestY);
    }
    try {
        double* scores = ScoreBuffer(static_cast<std::size_t>(scoreMapWidth_) * scoreMapHeight_);
        if (!ScoreArea(x0, y0, scoreMapWidth_, scoreMapHeight_, scores)) {
            return Refuse(bestX, bestY);
        }
        return PickRaster(scores, x0, y0, bestX, bestY);
    } catch (const std::bad_alloc&) {
        return Refuse(bestX, bestY);
    }
}

bool DifferenceMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            *scores++ = Score(x0 + c, y0 + r);
        }
    }
    return true;
}
