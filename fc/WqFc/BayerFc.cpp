#include "fc/WqFc/BayerFc.h"

#include <algorithm>
#include <cstdlib>

#include "fc/WqFc/WqFcPath.h"

namespace {

// Default kernels by colour and phase, as (position, weight) pairs; weights sum to 8.
struct Tap {
    int pos;
    std::int16_t weight;
};
constexpr int kAbove = 1, kBelow = 7, kRight = 3, kLeft = 5, kCentre = 4;
constexpr int kCorners[4] = {0, 2, 6, 8};

std::int16_t Saturate16(std::int32_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, -32768, 32767));
}

} // namespace

BayerFc::BayerFc() {
    ResetFilters();
}

void BayerFc::SetSize(int width, int height) {
    m_width = width;
    m_height = height;
}

void BayerFc::SetFilterPos(int posX, int posY) {
    m_posX = posX & 1;
    m_posY = posY & 1;
    UpdateLanes();
}

bool BayerFc::GetFilter(int colour, int phase, int pos, std::int16_t& weight) const {
    if (colour < 0 || colour >= kColours || phase < 0 || phase >= kPhases || pos < 0 || pos >= kTaps)
        return false;
    weight = Weight(colour, phase, pos);
    return true;
}

bool BayerFc::SetFilter(int colour, int phase, int pos, std::int16_t weight) {
    if (colour < 0 || colour >= kColours || phase < 0 || phase >= kPhases || pos < 0 || pos >= kTaps)
        return false;
    m_kernels[static_cast<std::size_t>((colour * kPhases + phase) * kTaps + pos)] = weight;
    UpdateLanes();
    return true;
}

void BayerFc::SetAllFilters(const Kernels& kernels) {
    m_kernels = kernels;
    UpdateLanes();
}

void BayerFc::ResetFilters() {
    m_kernels.fill(0);
    auto set = [this](int colour, int phase, std::initializer_list<Tap> taps) {
        for (const Tap& tap : taps)
            m_kernels[static_cast<std::size_t>((colour * kPhases + phase) * kTaps + tap.pos)] = tap.weight;
    };
    const std::initializer_list<Tap> centre = {{kCentre, 8}};
    const std::initializer_list<Tap> leftRight = {{kLeft, 4}, {kRight, 4}};
    const std::initializer_list<Tap> aboveBelow = {{kAbove, 4}, {kBelow, 4}};
    const std::initializer_list<Tap> corners = {
        {kCorners[0], 2}, {kCorners[1], 2}, {kCorners[2], 2}, {kCorners[3], 2}};
    const std::initializer_list<Tap> cross = {{kAbove, 2}, {kBelow, 2}, {kLeft, 2}, {kRight, 2}};
    set(0, 0, centre);
    set(0, 1, leftRight);
    set(0, 2, aboveBelow);
    set(0, 3, corners);
    set(1, 0, cross);
    set(1, 1, centre);
    set(1, 2, centre);
    set(1, 3, cross);
    set(2, 0, corners);
    set(2, 1, aboveBelow);
    set(2, 2, leftRight);
    set(2, 3, centre);
    UpdateLanes();
}

void BayerFc::UpdateLanes() {
    m_fitsSixteenBits = true;
    m_nonNegative = true;
    for (int colour = 0; colour < kColours; ++colour) {
        for (int phase = 0; phase < kPhases; ++phase) {
            int magnitude = 0;
            for (int pos = 0; pos < kTaps; ++pos) {
                magnitude += std::abs(Weight(colour, phase, pos));
                if (Weight(colour, phase, pos) < 0)
                    m_nonNegative = false;
            }
            // Samples are at most 2040; with at most 16 in magnitude no partial sum leaves 16 bits.
            if (magnitude > 16)
                m_fitsSixteenBits = false;
        }
    }
    if (!m_fitsSixteenBits)
        m_nonNegative = false;
    for (int parity = 0; parity < 2; ++parity) {
        for (int colour = 0; colour < kColours; ++colour) {
            std::uint16_t used = 0;
            for (int pos = 0; pos < kTaps; ++pos) {
                for (int lane = 0; lane < 16; ++lane) {
                    int phase = parity * 2 + ((lane + m_posX) & 1);
                    std::int16_t weight = Weight(colour, phase, pos);
                    m_lanes[static_cast<std::size_t>(((parity * kColours + colour) * kTaps + pos) * 16 +
                                                     lane)] = weight;
                    if (weight != 0)
                        used = static_cast<std::uint16_t>(used | (1u << pos));
                }
            }
            m_usedTaps[static_cast<std::size_t>(parity * kColours + colour)] = used;
        }
    }
}

void BayerFc::Unpack(const std::uint8_t* raw, std::int16_t* plane, WqFcPath path) const {
    const int w = m_width, h = m_height;
    auto row = [&](int y) { return plane + static_cast<std::ptrdiff_t>(y + 1) * w; };
    for (int y = 0; y < h; y += 2) {
        const std::uint8_t* src = raw + static_cast<std::ptrdiff_t>(y) * w;
        std::int16_t* upper = row(y);
        if (y + 1 >= h) {
            // A last row without a partner is stored plainly.
            for (int x = 0; x < w; ++x)
                upper[x] = static_cast<std::int16_t>(src[x] << 3);
            break;
        }
        std::int16_t* lower = row(y + 1);
        int x = 0;
        if (path == WqFcPath::Avx2)
            x = wqfc_kernels::avx2::UnpackRowPair(src, w, upper, lower);
        else if (path == WqFcPath::Sse2)
            x = wqfc_kernels::base::UnpackRowPair(src, w, upper, lower);
        for (; x < w; x += 4) {
            const int n = std::min(4, w - x);
            const std::uint8_t* group = src + 2 * x;
            for (int i = 0; i < n; ++i) {
                upper[x + i] = static_cast<std::int16_t>(group[i] << 3);
                lower[x + i] = static_cast<std::int16_t>(group[n + i] << 3);
            }
        }
    }
    // Reflection: the row above the picture repeats picture row 1, the row below it row h - 2.
    const int top = h >= 2 ? 1 : 0;
    const int bottom = h >= 2 ? h - 2 : 0;
    std::copy(row(top), row(top) + w, plane);
    std::copy(row(bottom), row(bottom) + w, row(h));
}

void BayerFc::Demosaic(const std::int16_t* plane, std::int16_t* outR, std::int16_t* outG, std::int16_t* outB,
                       WqFcPath path) const {
    const int w = m_width;
    if (!m_fitsSixteenBits)
        path = WqFcPath::Plain;
    for (int y = 0; y < m_height; ++y) {
        const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(y) * w;
        int x = 0;
        if (path != WqFcPath::Plain) {
            const int parity = (y + m_posY) & 1;
            wqfc_kernels::DemosaicLanes lanes{m_lanes.data() + parity * kColours * kTaps * 16,
                                              {m_usedTaps[static_cast<std::size_t>(parity * kColours)],
                                               m_usedTaps[static_cast<std::size_t>(parity * kColours + 1)],
                                               m_usedTaps[static_cast<std::size_t>(parity * kColours + 2)]}};
            const std::int16_t* centre = plane + offset + w;
            x = path == WqFcPath::Avx2 ? wqfc_kernels::avx2::DemosaicRow(centre, w, lanes, outR + offset,
                                                                         outG + offset, outB + offset)
                                       : wqfc_kernels::base::DemosaicRow(centre, w, lanes, outR + offset,
                                                                         outG + offset, outB + offset);
        }
        DemosaicPixels(plane, y, x, outR, outG, outB);
    }
}

void BayerFc::DemosaicPixels(const std::int16_t* plane, int y, int x0, std::int16_t* outR, std::int16_t* outG,
                             std::int16_t* outB) const {
    const int w = m_width;
    std::int16_t* outs[kColours] = {outR, outG, outB};
    for (int x = x0; x < w; ++x) {
        const int phase = ((y + m_posY) & 1) * 2 + ((x + m_posX) & 1);
        const std::int16_t* centre = plane + static_cast<std::ptrdiff_t>(y + 1) * w + x;
        for (int colour = 0; colour < kColours; ++colour) {
            std::int32_t sum = 0;
            for (int pos = 0; pos < kTaps; ++pos) {
                const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(pos / 3 - 1) * w + (1 - pos % 3);
                sum += std::int32_t{Weight(colour, phase, pos)} * centre[at];
            }
            outs[colour][static_cast<std::ptrdiff_t>(y) * w + x] = Saturate16(sum >> 3);
        }
    }
}
