// Sums over every template-sized window of a search area, from integral images: the pixel sum S and
// the sum of squares Q of each candidate window. The checkerboard form sums only the window's pixels
// whose column and row within the window add up to an even number.
#pragma once

#include <cstdint>
#include <vector>

namespace kivic::matching {

// A search area inside a frame: its first pixel, the frame's row stride and its size.
struct AreaView {
    const unsigned char* pixels;
    int stride;
    int width;
    int height;
};

struct WindowSums {
    int columns = 0; // candidates per row: area width - template width + 1
    int rows = 0;    // candidate rows: area height - template height + 1
    std::vector<std::int64_t> sum;
    std::vector<std::int64_t> squares;
};

// Fills out (its vectors keep their capacity between calls).
void ComputeWindowSums(const AreaView& area, int templateWidth, int templateHeight, bool checkerboard,
                       WindowSums& out);

// Whether count pixels with this sum and sum of squares all have the same value: exactly when
// count * squares == sum^2 (the variance times count^2 is their difference). Exact for any sizes.
inline bool AllAlike(std::int64_t sum, std::int64_t squares, std::int64_t count) {
    using Wide = unsigned __int128;
    return sum >= 0 && squares >= 0 && count > 0 &&
           static_cast<Wide>(count) * static_cast<Wide>(squares) ==
               static_cast<Wide>(sum) * static_cast<Wide>(sum);
}

} // namespace kivic::matching
