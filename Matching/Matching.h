// The abstract template matcher: finds where a small 8-bit gray template lies inside a search area of
// an 8-bit gray frame, and keeps the score of every candidate position in a score map.
#pragma once

#include "platform/ipl/ipl.h"

#include <cstddef>
#include <cstdint>

// A search area: left, top, width, height.
struct MatchingRect {
    std::int32_t x0;
    std::int32_t y0;
    std::int32_t width;
    std::int32_t height;
};

class Matching {
public:
    Matching() = default;
    Matching(const Matching&) = delete;
    Matching& operator=(const Matching&) = delete;
    virtual ~Matching();

    // Searches the area (x0, y0, width, height) of the image for the template and writes the best
    // candidate's top-left position. Returns the best score, or -1.0 when it is below the threshold.
    virtual double Match(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) = 0;
    virtual double MatchRect(const MatchingRect& rect, int* bestX, int* bestY);
    virtual void GetImageSize(int* width, int* height);
    // Keeps the caller's pixels (row stride = width); nothing is copied.
    virtual void SetImage(const unsigned char* pixels, int width, int height);
    virtual void GetTemplateSize(int* width, int* height);
    virtual void SetTemplate(const unsigned char* pixels, int width, int height);
    virtual void CreateGrayImage(int width, int height, int depth, IplImage** image);
    virtual int CopyToIplImage(const unsigned char* bytes, int width, int height, IplImage* image);

    // The scores of the last Match in raster order; owned by the matcher, valid until the next Match.
    const float* GetScoreMap(int* width, int* height) const;

    // Whether the whole-area ways of scoring (window sums, vector and spectral products) are used; off,
    // every candidate is scored on its own the plain way. Both give the same scores; on by default.
    static void UseFastPaths(bool on);
    static bool FastPaths();

    // Makes a zeroed map of (searchWidth - w + 1) x (searchHeight - h + 1) scores, or an empty map
    // when either size would not be positive. Match does this itself.
    void AllocScoreMap(int searchWidth, int searchHeight);

    // Scores below this make Match report -1.0. Callers set it directly.
    double threshold = 0.0;

protected:
    void FreeScoreMap();

    // Common steps of Match: the map, the search, the threshold.
    double MatchWith(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY);
    virtual double Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) = 0;

    // Whether the search area is usable with the current image and template: both present, the
    // template at least 1 x 1, the area at least the template's size and inside the image.
    bool CanSearch(int x0, int y0, int searchWidth, int searchHeight) const;
    static double Refuse(int* bestX, int* bestY);

    // Scores every candidate of the area in raster order (columns x rows values). False when working
    // memory could not be had; the search then refuses.
    virtual bool ScoreArea(int x0, int y0, int columns, int rows, double* scores) = 0;

    // The window-copy way of scoring: copies the search area into searchImage_ at the given depth, then
    // copies each candidate's window into a work image and scores it with score(work image).
    template <typename ScoreFn>
    bool ScoreIplWindows(int x0, int y0, int columns, int rows, int depth, ScoreFn score, double* scores);
    bool CopySearchArea(int x0, int y0, int width, int height, int depth);

    // Room for one score per candidate of the current map, kept per thread between searches.
    static double* ScoreBuffer(std::size_t count);

    // Picks the best of the candidates' scores in raster order (the first strictly greatest wins),
    // stores them in the score map and returns the best.
    double PickRaster(const double* scores, int x0, int y0, int* bestX, int* bestY);
    // The search once its checks have passed: scores the whole map with ScoreArea and picks the best;
    // refuses when working memory could not be had.
    double ScoreAndPick(int x0, int y0, int* bestX, int* bestY);

    const unsigned char* templatePixels_ = nullptr;
    const unsigned char* imagePixels_ = nullptr;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    int templateWidth_ = 0;
    int templateHeight_ = 0;
    IplImage* searchImage_ = nullptr;
    IplImage* templateImage_ = nullptr;
    float* scoreMap_ = nullptr;
    int scoreMapWidth_ = 0;
    int scoreMapHeight_ = 0;
};

template <typename ScoreFn>
bool Matching::ScoreIplWindows(int x0, int y0, int columns, int rows, int depth, ScoreFn score,
                               double* scores) {
    if (!CopySearchArea(x0, y0, columns + templateWidth_ - 1, rows + templateHeight_ - 1, depth)) {
        return false;
    }
    IplImage* work = nullptr;
    CreateGrayImage(templateWidth_, templateHeight_, depth, &work);
    if (work == nullptr || work->imageData == nullptr) {
        iplDeallocate(work, IPL_IMAGE_ALL);
        return false;
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            iplSetROI(searchImage_->roi, 0, c, r, templateWidth_, templateHeight_);
            iplCopy(searchImage_, work);
            *scores++ = score(work);
        }
    }
    iplDeallocate(work, IPL_IMAGE_ALL);
    return true;
}
