// The white-balance sample point: a picture position and the gains measured there, in 1/128.
#pragma once

#include <cstdint>

struct AwbSampleWindow {
    std::int32_t x = -1; // -1: no point
    std::int32_t y = -1;
    std::int32_t gainR = 165;
    std::int32_t gainG = 128;
    std::int32_t gainB = 140;

    void Reset() { *this = AwbSampleWindow{}; }
    bool Inside(int width, int height) const { return x >= 0 && x < width && y >= 0 && y < height; }

    // Measures the 2x2 block of rows y-1, y and columns x-1, x (an index of -1 takes the point's own
    // row or column) in the demosaiced red and blue planes and the white-balanced green: the gains
    // become sumG' * gainG / sumR and sumG' * gainG / sumB, clamped to 0..4095. Nothing changes when
    // the point lies outside or either sum is 0. Returns whether the gains were set.
    bool Measure(const std::int16_t* red, const std::int16_t* green, const std::int16_t* blue, int width,
                 int height, std::int32_t setupG, std::int32_t balanceGainG);
};
