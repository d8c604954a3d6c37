#include "fc/WqFc/Awb.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kThresholds[10] = {16000, 8000, 4000, 2400, 1600, 1200, 800, 400, 200, 0};
constexpr double kStepsT[10] = {50, 15, 8, 5, 2, 1, 0.8, 0.5, 0.3, 0.1};
constexpr double kStepsS[10] = {50, 15, 8, 5, 3, 2, 1.5, 1, 0.5, 0.2};

double Step(double ratio, const double (&steps)[10]) {
    for (int i = 0; i < 10; ++i)
        if (ratio > kThresholds[i])
            return steps[i];
    return 0.0;
}

// The signed step for a tendency: against the lean, 0 while the lean is weak.
double SignedStep(int tendency, double n, double (*step)(double)) {
    if (n <= 0.0)
        return 0.0;
    const double ratio = std::abs(tendency) / n;
    if (ratio <= 60.0)
        return 0.0;
    const double s = step(ratio);
    return tendency < 0 ? s : -s;
}
} // namespace

double Awb::StepT(double ratio) {
    return Step(ratio, kStepsT);
}
double Awb::StepS(double ratio) {
    return Step(ratio, kStepsS);
}

void Awb::SetWindow(int left, int right, int top, int bottom) {
    x1 = left;
    x2 = right;
    y1 = top;
    y2 = bottom;
}

void Awb::Begin() {
    m_s = Axis{};
    m_t = Axis{};
    m_tendencyS = 0;
    m_tendencyT = 0;
}

void Awb::Count(Axis& axis, int value, int centre, int& tendency) {
    if (value > centre) {
        axis.below = 0;
        if (++axis.above > 2)
            ++tendency;
    } else if (value < centre) {
        axis.above = 0;
        if (++axis.below > 2)
            --tendency;
    }
}

void Awb::Sample(int r, int g, int b) {
    const int y = (299 * r + 587 * g + 114 * b) / 1000;
    const int ry = std::clamp(r - y, -128, 127);
    const int by = std::clamp(b - y, -128, 127);
    const int s = ry + by;
    const int t = ry - by;
    if (y < lumaLo || y > lumaHi || s < sLo || s > sHi || t < tLo || t > tHi)
        return;
    Count(m_s, s, centreS, m_tendencyS);
    Count(m_t, t, centreT, m_tendencyT);
}

void Awb::Measure(const std::int16_t* red, const std::int16_t* green, const std::int16_t* blue, int width,
                  int height) {
    Begin();
    for (int y = std::max(y1, 0); y <= y2 && y < height; ++y) {
        if (y % 4 != 0)
            continue;
        for (int j = std::max(x1 / 2, 0); j <= x2 / 2 && 2 * j < width; ++j) {
            const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(y) * width + 2 * j;
            Sample(red[at] >> 3, green[at] >> 3, blue[at] >> 3);
        }
    }
}

void Awb::Finish(int width, int height) {
    const double n = ((height - 1) * ((width - 1) / 4) / 2) * 0.0001;
    const double a = SignedStep(m_tendencyT, n, &Awb::StepT);
    const double b = SignedStep(m_tendencyS, n, &Awb::StepS);
    gainR = std::clamp(gainR + static_cast<std::int32_t>(6 * a + 3 * b), 0, 4095);
    gainB = std::clamp(gainB - static_cast<std::int32_t>(8 * a - 2 * b), 0, 4095);
}
