#include "Matching/CorrelationMatching.h"

#include <new>

CorrelationMatching::~CorrelationMatching() {
    delete[] deviation_;
}

double CorrelationMatching::Match(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) {
    return MatchWith(x0, y0, searchWidth, searchHeight, bestX, bestY);
}

void CorrelationMatching::SetTemplate(const unsigned char* pixels, int width, int height) {
    Matching::SetTemplate(pixels, width, height);
    delete[] deviation_;
    deviation_ = nullptr;
    count_ = 0;
    if (width < 1 || height < 1) {
        return;
    }
    deviation_ = new (std::nothrow) std::int32_t[static_cast<std::size_t>(width) * height]();
    if (deviation_ == nullptr) {
        return;
    }
    count_ = width * height;
    PrepareTemplate();
}

bool CorrelationMatching::TemplateAccepted() const {
    // Without a deviation table the scores would divide by a count of 0.
    return count_ > 0 && !(mean_ < lowestMean_) && !(energy_ < lowestEnergy_);
}

double CorrelationMatching::Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX,
                                   int* bestY) {
    if (!CanSearch(x0, y0, searchWidth, searchHeight) || !TemplateAccepted()) {
        return Refuse(bestX, bestY);
    }
    return ScoreAndPick(x0, y0, bestX, bestY);
}

bool CorrelationMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            *scores++ = Score(x0 + c, y0 + r);
        }
    }
    return true;
}
