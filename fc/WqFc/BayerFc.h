// Bayer demosaic: every output colour of every pixel is a 3x3 weighted sum of the raw samples around
// it, with a kernel chosen by the colour and the pixel's phase in the 2x2 mosaic, divided by 8.
#pragma once

#include <array>
#include <cstdint>

#include "fc/WqFc/WqFcKernels.h"
#include "fc/WqFc/WqFcPath.h"

class BayerFc {
public:
    static constexpr int kColours = 3; // 0 red, 1 green, 2 blue
    static constexpr int kPhases = 4;
    static constexpr int kTaps = 9; // 3 x row (0 above .. 2 below) + column (0 right, 1 centre, 2 left)

    BayerFc();

    void SetSize(int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Phase offsets (0 or 1): phase = ((y + posY) & 1) * 2 + ((x + posX) & 1).
    void SetFilterPos(int posX, int posY);
    int FilterPosX() const { return m_posX; }
    int FilterPosY() const { return m_posY; }

    // One kernel weight; false (and no change) for an index out of range.
    bool GetFilter(int colour, int phase, int pos, std::int16_t& weight) const;
    bool SetFilter(int colour, int phase, int pos, std::int16_t weight);
    void ResetFilters();
    // Every weight at once, indexed (colour x kPhases + phase) x kTaps + pos.
    using Kernels = std::array<std::int16_t, kColours * kPhases * kTaps>;
    const Kernels& AllFilters() const { return m_kernels; }
    void SetAllFilters(const Kernels& kernels);

    // The raw frame (width x height bytes, two rows interleaved in groups of four samples) times 8
    // into rows 1..height of the padded raw plane, then the reflected padding rows 0 and height + 1.
    void Unpack(const std::uint8_t* raw, std::int16_t* plane, WqFcPath path = WqFcActivePath()) const;
    // Demosaic of the padded raw plane into three planes of width x height. The plane is read as one
    // row-major array; the caller keeps at least 16 zero samples before and after it.
    void Demosaic(const std::int16_t* plane, std::int16_t* outR, std::int16_t* outG, std::int16_t* outB,
                  WqFcPath path = WqFcActivePath()) const;

    // True when every kernel's weights are non-negative: the demosaic then gives 0..4080.
    bool NonNegative() const { return m_nonNegative; }

private:
    void UpdateLanes();
    std::int16_t Weight(int colour, int phase, int pos) const {
        return m_kernels[static_cast<std::size_t>((colour * kPhases + phase) * kTaps + pos)];
    }
    void DemosaicPixels(const std::int16_t* plane, int y, int x0, std::int16_t* outR, std::int16_t* outG,
                        std::int16_t* outB) const;

    int m_width = 0;
    int m_height = 0;
    int m_posX = 0;
    int m_posY = 0;
    Kernels m_kernels{};
    // Lane layouts for the vector kernels, one per row parity, and whether they are exact in 16 bits.
    std::array<std::int16_t, 2 * kColours * kTaps * 16> m_lanes{};
    std::array<std::uint16_t, 2 * kColours> m_usedTaps{};
    bool m_fitsSixteenBits = true;
    bool m_nonNegative = true;
};
