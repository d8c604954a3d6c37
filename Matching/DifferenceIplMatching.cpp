#include "Matching/DifferenceIplMatching.h"

double DifferenceIplMatching::Match(int x0, int y0, int searchWidth, int searchHeight, int* bestX,
                                    int* bestY) {
    return MatchWith(x0, y0, searchWidth, searchHeight, bestX, bestY);
}

void DifferenceIplMatching::SetTemplate(const unsigned char* pixels, int width, int height) {
    Matching::SetTemplate(pixels, width, height);
    iplDeallocate(templateImage_, IPL_IMAGE_ALL);
    templateImage_ = nullptr;
    if (pixels == nullptr || width < 1 || height < 1) {
        return;
    }
    CreateGrayImage(width, height, IPL_DEPTH_8U, &templateImage_);
    if (templateImage_ == nullptr || templateImage_->imageData == nullptr) {
        return;
    }
    templateImage_->roi = iplCreateROI(0, 0, 0, width, height);
    CopyToIplImage(pixels, width, height, templateImage_);
}

double DifferenceIplMatching::Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX,
                                     int* bestY) {
    if (!CanSearch(x0, y0, searchWidth, searchHeight) || templateImage_ == nullptr ||
        templateImage_->imageData == nullptr) {
        return Refuse(bestX, bestY);
    }
    return ScoreAndPick(x0, y0, bestX, bestY);
}

bool DifferenceIplMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    return ScoreIplWindows(
        x0, y0, columns, rows, IPL_DEPTH_8U, [this](IplImage* window) { return Score(window); }, scores);
}
