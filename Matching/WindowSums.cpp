#include "Matching/WindowSums.h"

namespace kivic::matching {

namespace {

// Integral image of one pixel class: entry (y, x) of a (height + 1) x (width + 1) table holds the sum
// over rows < y and columns < x of the pixels that belong to the class.
struct Integral {
    int width = 0;
    std::vector<std::int64_t> sum;
    std::vector<std::int64_t> squares;

    std::int64_t Sum(const std::vector<std::int64_t>& t, int x, int y, int w, int h) const {
        const std::size_t top = static_cast<std::size_t>(y) * (width + 1);
        const std::size_t bottom = static_cast<std::size_t>(y + h) * (width + 1);
        return t[bottom + x + w] - t[bottom + x] - t[top + x + w] + t[top + x];
    }
};

// parity < 0: every pixel; otherwise the pixels whose (column + row) % 2 equals parity.
void MakeIntegral(const AreaView& area, int parity, Integral& in) {
    in.width = area.width;
    const std::size_t cells = static_cast<std::size_t>(area.width + 1) * (area.height + 1);
    in.sum.assign(cells, 0);
    in.squares.assign(cells, 0);
    for (int y = 0; y < area.height; ++y) {
        const unsigned char* row = area.pixels + static_cast<std::int64_t>(y) * area.stride;
        std::int64_t rowSum = 0;
        std::int64_t rowSquares = 0;
        const std::size_t above = static_cast<std::size_t>(y) * (area.width + 1);
        const std::size_t here = above + area.width + 1;
        for (int x = 0; x < area.width; ++x) {
            if (parity < 0 || ((x + y) & 1) == parity) {
                const std::int64_t v = row[x];
                rowSum += v;
                rowSquares += v * v;
            }
            in.sum[here + x + 1] = in.sum[above + x + 1] + rowSum;
            in.squares[here + x + 1] = in.squares[above + x + 1] + rowSquares;
        }
    }
}

} // namespace

void ComputeWindowSums(const AreaView& area, int templateWidth, int templateHeight, bool checkerboard,
                       WindowSums& out) {
    // Kept per thread: fresh pages for every search would cost more than the sums.
    thread_local Integral classes[2];
    out.columns = area.width - templateWidth + 1;
    out.rows = area.height - templateHeight + 1;
    if (out.columns < 1 || out.rows < 1) {
        out.columns = out.rows = 0;
        out.sum.clear();
        out.squares.clear();
        return;
    }
    const std::size_t count = static_cast<std::size_t>(out.columns) * out.rows;
    out.sum.resize(count);
    out.squares.resize(count);
    if (!checkerboard) {
        Integral& all = classes[0];
        MakeIntegral(area, -1, all);
        std::size_t i = 0;
        for (int r = 0; r < out.rows; ++r) {
            for (int c = 0; c < out.columns; ++c, ++i) {
                out.sum[i] = all.Sum(all.sum, c, r, templateWidth, templateHeight);
                out.squares[i] = all.Sum(all.squares, c, r, templateWidth, templateHeight);
            }
        }
        return;
    }
    // The window's even pixels are the area pixels of the window corner's own parity.
    MakeIntegral(area, 0, classes[0]);
    MakeIntegral(area, 1, classes[1]);
    std::size_t i = 0;
    for (int r = 0; r < out.rows; ++r) {
        for (int c = 0; c < out.columns; ++c, ++i) {
            const Integral& in = classes[(c + r) & 1];
            out.sum[i] = in.Sum(in.sum, c, r, templateWidth, templateHeight);
            out.squares[i] = in.Sum(in.squares, c, r, templateWidth, templateHeight);
        }
    }
}

} // namespace kivic::matching
