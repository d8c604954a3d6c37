// Test pictures for matching: random textures, smooth blobs, flat areas.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;

    Picture(int w, int h, unsigned char fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    unsigned char& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    unsigned char at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // Pixels in [low, high], seeded.
    static Picture Random(int w, int h, unsigned seed, int low = 0, int high = 255) {
        Picture p(w, h);
        std::mt19937 gen(seed);
        std::uniform_int_distribution<int> dist(low, high);
        for (auto& v : p.pixels) {
            v = static_cast<unsigned char>(dist(gen));
        }
        return p;
    }

    // The w x h block at (x, y).
    std::vector<unsigned char> Cut(int x, int y, int w, int h) const {
        std::vector<unsigned char> out;
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                out.push_back(at(x + i, y + j));
            }
        }
        return out;
    }

    void Paste(const std::vector<unsigned char>& block, int x, int y, int w, int h) {
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                at(x + i, y + j) = block[static_cast<std::size_t>(j) * w + i];
            }
        }
    }
};

// 0 and 255 in a checkerboard, 0 at the top-left: the largest deviations from any mean.
inline Picture Alternating(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            p.at(x, y) = (x + y) % 2 == 0 ? 0 : 255;
        }
    }
    return p;
}

// An asymmetric smooth blob centred at (cx, cy), sampled at pixel centres: two Gaussians of different
// widths so that no shift of the pattern looks like another.
inline Picture Blob(int w, int h, double cx, double cy) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = x - cx;
            const double dy = y - cy;
            const double a = std::exp(-(dx * dx / 18.0 + dy * dy / 8.0));
            const double b = std::exp(-((dx - 3) * (dx - 3) + (dy + 2) * (dy + 2)) / 6.0);
            p.at(x, y) = static_cast<unsigned char>(std::lround(20 + 180 * a + 50 * b));
        }
    }
    return p;
}
