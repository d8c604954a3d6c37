#include "tools/cm8gen/cm8_pattern.h"

#include <algorithm>

namespace cm8 {
namespace {

struct Rgb {
    int r, g, b;
};

constexpr int kOn = 100;
constexpr int kOff = 6;

std::uint8_t CheckByte(std::uint32_t bits) {
    return static_cast<std::uint8_t>((bits >> 24) ^ (bits >> 16) ^ (bits >> 8) ^ bits ^ 0xA5u);
}

// Value of code block i (0 or 1) for a frame number.
bool CodeBit(std::int32_t number, unsigned i) {
    const auto bits = static_cast<std::uint32_t>(number);
    if (i < 32) {
        return (bits >> (31 - i)) & 1u;
    }
    return (CheckByte(bits) >> (39 - i)) & 1u;
}

unsigned StripHeight(unsigned height) {
    return std::min(height, std::max(2u, (height / 20) & ~1u));
}

Rgb Hue(unsigned x, unsigned width) {
    // Six sectors red - yellow - green - cyan - blue - magenta - red.
    const unsigned span = std::max(1u, width);
    const unsigned pos = x * 6 * 256 / span;
    const int f = static_cast<int>(pos % 256) * (kOn - kOff) / 256;
    switch (pos / 256) {
    case 0:
        return {kOn, kOff + f, kOff};
    case 1:
        return {kOn - f, kOn, kOff};
    case 2:
        return {kOff, kOn, kOff + f};
    case 3:
        return {kOff, kOn - f, kOn};
    case 4:
        return {kOff + f, kOff, kOn};
    default:
        return {kOn, kOff, kOn - f};
    }
}

Rgb SceneColour(unsigned x, unsigned y, unsigned width, unsigned height, std::uint32_t index) {
    const unsigned strip = StripHeight(height);
    // A bar that moves 4 samples per frame across the scene, white with black edges.
    const unsigned barX = (index * 4u) % std::max(1u, width);
    if (x >= barX && x < barX + 8) {
        const bool edge = x == barX || x == barX + 1 || x == barX + 6 || x == barX + 7;
        const int v = edge ? kBlack : kWhite;
        return {v, v, v};
    }
    const unsigned rest = height - strip;
    const unsigned barsEnd = strip + rest * 2 / 3;
    if (y < barsEnd) {
        // Eight colour bars: white, yellow, cyan, green, magenta, red, blue, black.
        static constexpr Rgb kBars[8] = {{kOn, kOn, kOn},   {kOn, kOn, kOff},  {kOff, kOn, kOn},
                                         {kOff, kOn, kOff}, {kOn, kOff, kOn},  {kOn, kOff, kOff},
                                         {kOff, kOff, kOn}, {kOff, kOff, kOff}};
        return kBars[std::min(7u, x * 8 / std::max(1u, width))];
    }
    const unsigned gradientRows = height - barsEnd;
    if (y < barsEnd + gradientRows / 2) {
        const int v = kOff + static_cast<int>(x * (kOn - kOff) / std::max(1u, width - 1));
        return {v, v, v};
    }
    return Hue(x, width);
}

int Channel(const Rgb& c, unsigned x, unsigned y, bool greenFirst) {
    const unsigned phase = ((y & 1u) << 1) | ((x + (greenFirst ? 1u : 0u)) & 1u);
    switch (phase) {
    case 0:
        return c.r;
    case 3:
        return c.b;
    default:
        return c.g;
    }
}

} // namespace

std::size_t RawIndex(unsigned x, unsigned y, unsigned width, unsigned height) {
    const std::size_t w = width;
    if ((height & 1u) && y == height - 1) {
        return std::size_t{y} * w + x;
    }
    const std::size_t pairBase = std::size_t{y / 2} * 2 * w;
    const unsigned start = x & ~3u;
    const unsigned n = std::min(4u, width - start);
    return pairBase + 2 * std::size_t{start} + (y & 1u) * n + (x - start);
}

void Interleave(const std::uint8_t* picture, std::uint8_t* raw, unsigned width, unsigned height) {
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            raw[RawIndex(x, y, width, height)] = picture[std::size_t{y} * width + x];
        }
    }
}

void Deinterleave(const std::uint8_t* raw, std::uint8_t* picture, unsigned width, unsigned height) {
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            picture[std::size_t{y} * width + x] = raw[RawIndex(x, y, width, height)];
        }
    }
}

void DrawTestPicture(std::uint8_t* picture, unsigned width, unsigned height, std::int32_t number,
                     std::uint32_t index, bool greenFirst) {
    const unsigned strip = StripHeight(height);
    const unsigned block = width / kCodeBlocks;
    for (unsigned y = 0; y < height; ++y) {
        std::uint8_t* row = picture + std::size_t{y} * width;
        for (unsigned x = 0; x < width; ++x) {
            if (y < strip) {
                // The code strip is grey-level, so every mosaic phase holds the same value.
                std::uint8_t v = kBlack;
                if (block > 0 && x < block * kCodeBlocks) {
                    v = CodeBit(number, x / block) ? kWhite : kBlack;
                }
                row[x] = v;
                continue;
            }
            row[x] =
                static_cast<std::uint8_t>(Channel(SceneColour(x, y, width, height, index), x, y, greenFirst));
        }
    }
}

std::vector<std::uint8_t> MakeRawFrame(unsigned width, unsigned height, std::int32_t number,
                                       std::uint32_t index, bool greenFirst) {
    const std::size_t samples = std::size_t{width} * height;
    std::vector<std::uint8_t> picture(samples);
    std::vector<std::uint8_t> raw(samples);
    DrawTestPicture(picture.data(), width, height, number, index, greenFirst);
    Interleave(picture.data(), raw.data(), width, height);
    return raw;
}

std::optional<std::int32_t> DecodeFrameNumber(const std::uint8_t* raw, unsigned width, unsigned height) {
    const unsigned block = width / kCodeBlocks;
    if (block == 0 || height == 0) {
        return std::nullopt;
    }
    const unsigned rows = std::min(2u, height);
    std::uint64_t bits = 0;
    for (unsigned i = 0; i < kCodeBlocks; ++i) {
        int ones = 0;
        int zeros = 0;
        for (unsigned y = 0; y < rows; ++y) {
            for (unsigned x = i * block; x < (i + 1) * block; ++x) {
                const std::uint8_t v = raw[RawIndex(x, y, width, height)];
                if (v >= (kWhite + kBlack) / 2 + 16) {
                    ++ones;
                } else if (v <= (kWhite + kBlack) / 2 - 16) {
                    ++zeros;
                } else {
                    return std::nullopt;
                }
            }
        }
        if (ones != 0 && zeros != 0) {
            return std::nullopt;
        }
        bits = (bits << 1) | (ones != 0 ? 1u : 0u);
    }
    const auto number = static_cast<std::uint32_t>(bits >> 8);
    if (CheckByte(number) != static_cast<std::uint8_t>(bits)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(number);
}

} // namespace cm8
