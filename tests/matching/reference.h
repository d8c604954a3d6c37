// Plain, pixel-by-pixel matching: what every method computes, written as directly as possible, so
// the library's fast paths can be compared against it value for value.
#pragma once

#include <cstdint>
#include <vector>

namespace reference {

struct Result {
    double value = 0.0;
    int bestX = 0;
    int bestY = 0;
    int mapWidth = 0;
    int mapHeight = 0;
    std::vector<float> map;
};

// The result of Match for a method code (unknown codes behave as 2).
Result Match(int method, const unsigned char* image, int imageWidth, int imageHeight,
             const unsigned char* templ, int w, int h, int x0, int y0, int searchWidth, int searchHeight,
             double threshold);

} // namespace reference
