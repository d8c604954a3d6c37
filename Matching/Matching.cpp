#include "Matching/Matching.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {
std::atomic<bool> g_fastPaths{true};
} // namespace

void Matching::UseFastPaths(bool on) {
    g_fastPaths = on;
}

bool Matching::FastPaths() {
    return g_fastPaths;
}

Matching::~Matching() {
    iplDeallocate(searchImage_, IPL_IMAGE_ALL);
    iplDeallocate(templateImage_, IPL_IMAGE_ALL);
    FreeScoreMap();
}

double Matching::MatchRect(const MatchingRect& rect, int* bestX, int* bestY) {
    return Match(rect.x0, rect.y0, rect.width, rect.height, bestX, bestY);
}

void Matching::GetImageSize(int* width, int* height) {
    *width = imageWidth_;
    *height = imageHeight_;
}

void Matching::SetImage(const unsigned char* pixels, int width, int height) {
    imagePixels_ = pixels;
    imageWidth_ = width;
    imageHeight_ = height;
}

void Matching::GetTemplateSize(int* width, int* height) {
    *width = templateWidth_;
    *height = templateHeight_;
}

void Matching::SetTemplate(const unsigned char* pixels, int width, int height) {
    templatePixels_ = pixels;
    templateWidth_ = width;
    templateHeight_ = height;
}

void Matching::CreateGrayImage(int width, int height, int depth, IplImage** image) {
    *image = iplCreateImageHeader(1, 0, depth, "GRAY", "GRAY", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                                  IPL_ALIGN_DWORD, width, height, nullptr, nullptr, nullptr, nullptr);
    if (*image != nullptr) {
        iplAllocateImage(*image, 1, 0);
    }
}

int Matching::CopyToIplImage(const unsigned char* bytes, int width, int height, IplImage* image) {
    if (image != nullptr && image->imageData != nullptr && image->depth == IPL_DEPTH_8U &&
        image->nChannels == 1 && width <= image->width && height <= image->height && width > 0) {
        // Whole rows at once: the same bytes as pixel by pixel.
        for (int y = 0; y < height; ++y) {
            std::memcpy(image->imageData + static_cast<std::int64_t>(y) * image->widthStep,
                        bytes + static_cast<std::int64_t>(y) * width, static_cast<std::size_t>(width));
        }
        return height;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            iplPutPixel(image, x, y, bytes + static_cast<std::int64_t>(y) * width + x);
        }
    }
    return height;
}

bool Matching::CopySearchArea(int x0, int y0, int width, int height, int depth) {
    iplDeallocate(searchImage_, IPL_IMAGE_ALL);
    searchImage_ = nullptr;
    CreateGrayImage(width, height, depth, &searchImage_);
    if (searchImage_ == nullptr || searchImage_->imageData == nullptr) {
        return false;
    }
    searchImage_->roi = iplCreateROI(0, 0, 0, width, height);
    if (searchImage_->roi == nullptr) {
        return false;
    }
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = imagePixels_ + static_cast<std::int64_t>(y0 + y) * imageWidth_ + x0;
        for (int x = 0; x < width; ++x) {
            if (depth == IPL_DEPTH_8U) {
                iplPutPixel(searchImage_, x, y, row + x);
            } else {
                const std::uint16_t wide = row[x];
                iplPutPixel(searchImage_, x, y, &wide);
            }
        }
    }
    return true;
}

const float* Matching::GetScoreMap(int* width, int* height) const {
    *width = scoreMapWidth_;
    *height = scoreMapHeight_;
    return scoreMap_;
}

void Matching::FreeScoreMap() {
    delete[] scoreMap_;
    scoreMap_ = nullptr;
    scoreMapWidth_ = 0;
    scoreMapHeight_ = 0;
}

void Matching::AllocScoreMap(int searchWidth, int searchHeight) {
    FreeScoreMap();
    int width = searchWidth - templateWidth_ + 1;
    int height = searchHeight - templateHeight_ + 1;
    if (templateWidth_ < 1 || templateHeight_ < 1 || width < 1 || height < 1) {
        return;
    }
    scoreMap_ = new (std::nothrow) float[static_cast<std::size_t>(width) * height]();
    if (scoreMap_ != nullptr) {
        scoreMapWidth_ = width;
        scoreMapHeight_ = height;
    }
}

double Matching::MatchWith(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) {
    AllocScoreMap(searchWidth, searchHeight);
    double best = Search(x0, y0, searchWidth, searchHeight, bestX, bestY);
    if (std::isnan(best) || best < threshold) {
        return -1.0;
    }
    return best;
}

bool Matching::CanSearch(int x0, int y0, int searchWidth, int searchHeight) const {
    if (imagePixels_ == nullptr || templatePixels_ == nullptr) {
        return false;
    }
    if (templateWidth_ < 1 || templateHeight_ < 1 || searchWidth < templateWidth_ ||
        searchHeight < templateHeight_) {
        return false;
    }
    // The frame buffer is the caller's; an area reaching past it would read memory that is not there.
    if (x0 < 0 || y0 < 0 || static_cast<std::int64_t>(x0) + searchWidth > imageWidth_ ||
        static_cast<std::int64_t>(y0) + searchHeight > imageHeight_) {
        return false;
    }
    return scoreMap_ != nullptr;
}

double* Matching::ScoreBuffer(std::size_t count) {
    thread_local std::vector<double> scores;
    scores.resize(count);
    return scores.data();
}

double Matching::Refuse(int* bestX, int* bestY) {
    *bestX = -1;
    *bestY = -1;
    return 0.0;
}

double Matching::PickRaster(const double* scores, int x0, int y0, int* bestX, int* bestY) {
    *bestX = 0;
    *bestY = 0;
    double best = -2.0;
    std::size_t i = 0;
    for (int r = 0; r < scoreMapHeight_; ++r) {
        for (int c = 0; c < scoreMapWidth_; ++c, ++i) {
            double s = scores[i];
            scoreMap_[i] = static_cast<float>(s);
            if (s > best) {
                best = s;
                *bestX = x0 + c;
                *bestY = y0 + r;
            }
        }
    }
    return best;
}

double Matching::ScoreAndPick(int x0, int y0, int* bestX, int* bestY) {
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
