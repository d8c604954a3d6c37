#include "Matching/CorrelationIplMatching.h"
#include "Matching/WindowSums.h"

#include <cmath>
#include <cstdint>

CorrelationIplMatching::~CorrelationIplMatching() {
    iplDeallocate(productImage_, IPL_IMAGE_ALL);
}

void CorrelationIplMatching::SetTemplate(const unsigned char* pixels, int width, int height) {
    Matching::SetTemplate(pixels, width, height);
    iplDeallocate(templateImage_, IPL_IMAGE_ALL);
    templateImage_ = nullptr;
    iplMean_ = 0.0;
    iplEnergy_ = 0.0;
    if (pixels == nullptr || width < 1 || height < 1) {
        return;
    }
    CreateGrayImage(width, height, IPL_DEPTH_16U, &templateImage_);
    if (templateImage_ == nullptr || templateImage_->imageData == nullptr) {
        return;
    }
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint16_t*>(
            templateImage_->imageData + static_cast<std::int64_t>(y) * templateImage_->widthStep);
        for (int x = 0; x < width; ++x) {
            row[x] = pixels[static_cast<std::int64_t>(y) * width + x];
        }
    }
    const double count = static_cast<double>(width) * height;
    const double s = iplNorm(templateImage_, nullptr, IPL_L1);
    const double r = iplNorm(templateImage_, nullptr, IPL_L2);
    const double q = r * r;
    iplMean_ = s / count;
    iplEnergy_ = (-1.0 / count) * (s * s) + q;
    // Squared roots leave a residue where a template without variance has none.
    if (kivic::matching::AllAlike(std::llround(s), SquaresOfNorm(r),
                                  static_cast<std::int64_t>(width) * height)) {
        iplEnergy_ = 0.0;
    }
}

std::int64_t CorrelationIplMatching::SquaresOfNorm(double l2) {
    return std::llround(l2 * l2);
}

double CorrelationIplMatching::Score(int, int) {
    return -1.0;
}

int CorrelationIplMatching::PrepareTemplate() {
    return 1;
}

double CorrelationIplMatching::Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX,
                                      int* bestY) {
    if (!CanSearch(x0, y0, searchWidth, searchHeight) || templateImage_ == nullptr ||
        templateImage_->imageData == nullptr || mean_ < lowestMean_ || energy_ < lowestEnergy_) {
        return Refuse(bestX, bestY);
    }
    return ScoreAndPick(x0, y0, bestX, bestY);
}

bool CorrelationIplMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    // The products of a window with the template, made anew for each search.
    iplDeallocate(productImage_, IPL_IMAGE_ALL);
    productImage_ = nullptr;
    CreateGrayImage(templateWidth_, templateHeight_, IPL_DEPTH_16U, &productImage_);
    if (productImage_ == nullptr || productImage_->imageData == nullptr) {
        return false;
    }
    return ScoreIplWindows(
        x0, y0, columns, rows, IPL_DEPTH_16U, [this](IplImage* window) { return IplScore(window); }, scores);
}
