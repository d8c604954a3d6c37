// A plain, literal model of the colour pipeline: whole planes, 64-bit sums, no tables shared with the
// library. The fast paths must match it bit for bit.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "fc/WqFc/DspParams.h"

namespace ref {

using Kernels = std::array<std::array<std::array<int, 9>, 4>, 3>; // [colour][phase][pos]

struct Settings {
    int width = 0;
    int height = 0;
    int gamma = 0;    // 0, 2, 4
    int dbValue = 10; // dB value of the current gain
    std::array<int, 3> wbGain = {128, 128, 128};
    int enhanceLevel = 0;
    int chroma = 100;
    int brightness = 0;
    int contrast = 100;
    bool lowPass = false;
    int posX = 0;
    int posY = 0;
    Kernels kernels{};
    DspParams dsp;
};

Kernels DefaultKernels();

// 1024-entry tone curve of one channel.
std::vector<int> Curve(int gamma, int dbValue, int gain, int dbDivisor, int setup, int offset);
// Padded raw plane: (h + 2) rows of w, raw * 8, reflected padding rows.
std::vector<std::int64_t> Unpack(const std::uint8_t* raw, int w, int h);
// Demosaiced planes R, G, B, each w x h.
std::array<std::vector<std::int64_t>, 3> Demosaic(const std::vector<std::int64_t>& padded, int w, int h,
                                                  const Kernels& kernels, int posX, int posY);
std::vector<std::int64_t> LowPass(const std::vector<std::int64_t>& plane, int w, int h);
// In-place enhance over a w x h luminance plane.
void Enhance(std::vector<std::int64_t>& luma, int w, int h, int level);
// The whole pipeline: pixel rows, bottom row first.
std::vector<std::uint8_t> Convert(const std::uint8_t* raw, const Settings& s);

} // namespace ref
