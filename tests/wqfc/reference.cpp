#include "reference.h"

#include <algorithm>
#include <cmath>

namespace ref {

namespace {

std::int64_t ClampIndex(std::int64_t i) {
    return std::clamp<std::int64_t>(i, 0, 1023);
}

std::int64_t Saturate16(std::int64_t v) {
    return std::clamp<std::int64_t>(v, -32768, 32767);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

Kernels DefaultKernels() {
    Kernels k{};
    // pos = 3 * row + column, row 0 above, column 0 right, 2 left.
    auto centre = [](std::array<int, 9>& t) { t[4] = 8; };
    auto leftRight = [](std::array<int, 9>& t) { t[3] = t[5] = 4; };
    auto aboveBelow = [](std::array<int, 9>& t) { t[1] = t[7] = 4; };
    auto corners = [](std::array<int, 9>& t) { t[0] = t[2] = t[6] = t[8] = 2; };
    auto cross = [](std::array<int, 9>& t) { t[1] = t[3] = t[5] = t[7] = 2; };
    centre(k[0][0]), leftRight(k[0][1]), aboveBelow(k[0][2]), corners(k[0][3]);
    cross(k[1][0]), centre(k[1][1]), centre(k[1][2]), cross(k[1][3]);
    corners(k[2][0]), aboveBelow(k[2][1]), leftRight(k[2][2]), centre(k[2][3]);
    return k;
}

std::vector<int> Curve(int gamma, int dbValue, int gain, int dbDivisor, int setup, int offset) {
    double e = 1.0;
    int k = 0;
    if (gamma == 2)
        e = 0.8, k = 50;
    else if (gamma == 4)
        e = 0.6, k = 80;
    const double n = 860, lo = 0, hi = 1023;
    std::vector<int> t(1024);
    for (int i = 0; i < 1024; ++i) {
        if (i < k) {
            double d = (lo + std::pow(k / n, e) * (hi - lo)) / k;
            t[i] = static_cast<int>(std::floor(d * i + 0.5));
        } else if (i < 860) {
            t[i] = static_cast<int>(std::floor(lo + std::pow(i / n, e) * (hi - lo) + 0.5));
        } else {
            t[i] = 1023;
        }
    }
    auto shift = [&](std::int64_t s) {
        std::vector<int> old = t;
        for (int i = 0; i < 1024; ++i)
            t[i] = old[ClampIndex(i + s)];
    };
    const std::int64_t den = std::int64_t{dbDivisor} * 128;
    const std::int64_t num = std::int64_t{dbValue} * gain;
    shift(std::int64_t{setup} * num / den);
    std::vector<int> old = t;
    for (int i = 0; i < 1024; ++i)
        t[i] = old[ClampIndex(FloorDiv(i * num, den))];
    shift(offset);
    return t;
}

std::vector<std::int64_t> Unpack(const std::uint8_t* raw, int w, int h) {
    std::vector<std::int64_t> plane(static_cast<std::size_t>((h + 2) * w));
    auto at = [&](int y, int x) -> std::int64_t& { return plane[static_cast<std::size_t>((y + 1) * w + x)]; };
    std::size_t i = 0;
    for (int y = 0; y < h; y += 2) {
        if (y + 1 == h) {
            for (int x = 0; x < w; ++x)
                at(y, x) = raw[i++] * 8;
            break;
        }
        for (int x = 0; x < w; x += 4) {
            int n = std::min(4, w - x);
            for (int j = 0; j < n; ++j)
                at(y, x + j) = raw[i++] * 8;
            for (int j = 0; j < n; ++j)
                at(y + 1, x + j) = raw[i++] * 8;
        }
    }
    for (int x = 0; x < w; ++x) {
        at(-1, x) = at(h >= 2 ? 1 : 0, x);
        at(h, x) = at(h >= 2 ? h - 2 : 0, x);
    }
    return plane;
}

std::array<std::vector<std::int64_t>, 3> Demosaic(const std::vector<std::int64_t>& padded, int w, int h,
                                                  const Kernels& kernels, int posX, int posY) {
    std::array<std::vector<std::int64_t>, 3> out;
    const std::int64_t size = static_cast<std::int64_t>(padded.size());
    // The padded plane read as one array; the two reads outside it give 0.
    auto sample = [&](std::int64_t index) { return index < 0 || index >= size ? 0 : padded[index]; };
    for (int c = 0; c < 3; ++c) {
        out[c].resize(static_cast<std::size_t>(w * h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int phase = ((y + posY) & 1) * 2 + ((x + posX) & 1);
                std::int64_t sum = 0;
                for (int row = 0; row < 3; ++row)
                    for (int col = 0; col < 3; ++col) {
                        int dx = col == 0 ? 1 : col == 1 ? 0 : -1;
                        sum += kernels[c][phase][3 * row + col] *
                               sample(std::int64_t{y + 1 + row - 1} * w + x + dx);
                    }
                out[c][y * w + x] = Saturate16(sum >> 3);
            }
        }
    }
    return out;
}

std::vector<std::int64_t> LowPass(const std::vector<std::int64_t>& plane, int w, int h) {
    std::vector<std::int64_t> out(plane.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::int64_t sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    sum += plane[std::clamp(y + dy, 0, h - 1) * w + std::clamp(x + dx, 0, w - 1)];
            out[y * w + x] = sum / 9;
        }
    return out;
}

void Enhance(std::vector<std::int64_t>& luma, int w, int h, int level) {
    static const int kernels[4][5] = {
        {0, 0, 50, 0, 0}, {0, -25, 100, -25, 0}, {0, -40, 130, -40, 0}, {-25, -50, 200, -50, -25}};
    const int* k = kernels[level];
    // Two zero rows above and below; columns outside run on into the neighbouring row.
    std::vector<std::int64_t> padded(static_cast<std::size_t>((h + 4) * w), 0);
    std::copy(luma.begin(), luma.end(), padded.begin() + 2 * w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::int64_t i = std::int64_t{y + 2} * w + x;
            std::int64_t vsum = 0, hsum = 0;
            for (int t = -2; t <= 2; ++t) {
                vsum += k[t + 2] * padded[i + t * w];
                hsum += k[t + 2] * padded[i + t];
            }
            padded[i] = vsum / 100 + hsum / 100;
        }
    std::copy(padded.begin() + 2 * w, padded.begin() + 2 * w + w * h, luma.begin());
}

std::vector<std::uint8_t> Convert(const std::uint8_t* raw, const Settings& s) {
    const int w = s.width, h = s.height;
    auto planes = Demosaic(Unpack(raw, w, h), w, h, s.kernels, s.posX, s.posY);
    if (s.lowPass)
        for (auto& p : planes)
            p = LowPass(p, w, h);
    const int setups[3] = {s.dsp.SetupR, s.dsp.SetupG, s.dsp.SetupB};
    const int offsets[3] = {s.dsp.OffsetR, s.dsp.OffsetG, s.dsp.OffsetB};
    std::vector<int> curves[3];
    for (int c = 0; c < 3; ++c)
        curves[c] = Curve(s.gamma, s.dbValue, s.wbGain[c], s.dsp.DbGainD, setups[c], offsets[c]);

    std::vector<std::int64_t> Y(static_cast<std::size_t>(w * h)), U(Y.size()), V(Y.size());
    for (std::size_t i = 0; i < Y.size(); ++i) {
        std::int64_t r1 = curves[0][ClampIndex(planes[0][i])];
        std::int64_t g1 = curves[1][ClampIndex(planes[1][i])];
        std::int64_t b1 = curves[2][ClampIndex(planes[2][i])];
        Y[i] = (299 * r1 + 587 * g1 + 114 * b1) / 1000;
        U[i] = (-299 * r1 - 587 * g1 + 886 * b1) / 1000;
        V[i] = (701 * r1 - 587 * g1 - 114 * b1) / 1000;
    }
    Enhance(Y, w, h, s.enhanceLevel);

    const double yy = s.dsp.YGainY, yd = s.dsp.YGainD;
    const std::int64_t C = static_cast<std::int64_t>(std::trunc(s.contrast * yy * 128.0 / (yd * 100)));
    const std::int64_t P = static_cast<std::int64_t>(std::trunc(s.brightness / (yy / yd) + s.dsp.SetupY));
    const std::int64_t K = std::int64_t{s.chroma} * 128 / 100;
    const std::int64_t cr = std::int64_t{s.dsp.CyGainR} * 128 / 100;
    const std::int64_t cb = std::int64_t{s.dsp.CyGainB} * 128 / 100;
    auto core = [](std::int64_t v, std::int64_t clip) -> std::int64_t {
        if (std::llabs(v) < clip)
            return 0;
        return v > 0 ? v - clip : v < 0 ? v + clip : 0;
    };
    auto byte = [](std::int64_t v) { return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255)); };
    std::vector<std::uint8_t> out(static_cast<std::size_t>(3 * w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::size_t i = static_cast<std::size_t>(y * w + x);
            std::int64_t y8 = Saturate16(((Y[i] * C + P * C) >> 7) >> 2);
            std::int64_t vc = core(K * ((V[i] * cr) >> 7) >> 7, s.dsp.CyClipR);
            std::int64_t uc = core(K * ((U[i] * cb) >> 7) >> 7, s.dsp.CyClipG);
            std::uint8_t* o = &out[static_cast<std::size_t>(((h - 1 - y) * w + x) * 3)];
            o[0] = byte(y8 + (uc >> 1));
            o[1] = byte(y8 + (((vc >> 1) * -520 + (uc >> 1) * -190) >> 10));
            o[2] = byte(y8 + (vc >> 1));
        }
    return out;
}

} // namespace ref
