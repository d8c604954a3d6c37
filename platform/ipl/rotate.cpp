// Rotation of an image about the origin followed by a shift.
//
// The picture turns counter-clockwise on screen by `angle` degrees, with the origin at the top-left
// pixel and y growing downward: a source point (u, v) lands on
//     x = u cos a + v sin a + xShift,   y = -u sin a + v cos a + yShift.
// Each destination pixel of the destination's region of interest takes the source value at the
// inverse position, bilinearly interpolated (or nearest, with IPL_INTER_NN) and rounded to nearest.
// Positions outside the source's region of interest take the nearest border pixel (the border is
// replicated). Multiples of 90 degrees use exact sines and cosines, so with whole-pixel shifts they
// move pixels without changing any value: an exact permutation.
#include "platform/ipl/ipl.h"
#include "platform/ipl/ipl_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace kivic::ipl;

namespace {

void SineCosine(double angle, double* s, double* c) {
    double a = std::fmod(angle, 360.0);
    if (a < 0.0) {
        a += 360.0;
    }
    if (a == 0.0 || a == 90.0 || a == 180.0 || a == 270.0) {
        static constexpr double kSin[] = {0.0, 1.0, 0.0, -1.0};
        static constexpr double kCos[] = {1.0, 0.0, -1.0, 0.0};
        int q = static_cast<int>(a / 90.0);
        *s = kSin[q];
        *c = kCos[q];
        return;
    }
    double r = a * (3.14159265358979323846 / 180.0);
    *s = std::sin(r);
    *c = std::cos(r);
}

// floor for values well inside the int range, without a library call.
inline double Floor(double v) {
    const double t = static_cast<double>(static_cast<int>(v));
    return t > v ? t - 1.0 : t;
}

// The common case of one 8-bit channel, with the same arithmetic as the general loop below.
void RotateGray8(const IplImage* src, IplImage* dst, const Area& as, const Area& ad, double s, double c,
                 double xShift, double yShift) {
    const auto* srcData = reinterpret_cast<const unsigned char*>(src->imageData) + as.firstChannel;
    const std::int64_t srcStep = src->widthStep;
    const int srcChannels = src->nChannels;
    auto pixel = [&](int x, int y) -> double {
        return srcData[y * srcStep + static_cast<std::int64_t>(x) * srcChannels];
    };
    auto clampX = [&](double v) { return std::clamp(static_cast<int>(v), as.x, as.x + as.width - 1); };
    auto clampY = [&](double v) { return std::clamp(static_cast<int>(v), as.y, as.y + as.height - 1); };
    for (int y = ad.y; y < ad.y + ad.height; ++y) {
        unsigned char* out = reinterpret_cast<unsigned char*>(dst->imageData) +
                             y * std::int64_t{dst->widthStep} + ad.firstChannel;
        for (int x = ad.x; x < ad.x + ad.width; ++x) {
            const double dx = x - xShift;
            const double dy = y - yShift;
            const double u = std::clamp(c * dx - s * dy, -1.0, static_cast<double>(as.x + as.width));
            const double v = std::clamp(s * dx + c * dy, -1.0, static_cast<double>(as.y + as.height));
            const double fu = Floor(u);
            const double fv = Floor(v);
            const double tu = u - fu;
            const double tv = v - fv;
            const int x0 = clampX(fu);
            const int x1 = clampX(fu + 1.0);
            const int y0 = clampY(fv);
            const int y1 = clampY(fv + 1.0);
            const double top = (1.0 - tu) * pixel(x0, y0) + tu * pixel(x1, y0);
            const double bottom = (1.0 - tu) * pixel(x0, y1) + tu * pixel(x1, y1);
            const double value = Floor((1.0 - tv) * top + tv * bottom + 0.5);
            out[static_cast<std::size_t>(x) * dst->nChannels] =
                static_cast<unsigned char>(std::clamp(value, 0.0, 255.0));
        }
    }
}

} // namespace

void iplGetRotateShift(double xCenter, double yCenter, double angle, double* xShift, double* yShift) {
    if (xShift == nullptr || yShift == nullptr) {
        SetStatus(IPL_StsNullPtr);
        return;
    }
    double s;
    double c;
    SineCosine(angle, &s, &c);
    // Shifts that keep the centre where it is.
    *xShift = xCenter - (xCenter * c + yCenter * s);
    *yShift = yCenter - (-xCenter * s + yCenter * c);
}

void iplRotate(const IplImage* src, IplImage* dst, double angle, double xShift, double yShift,
               int interpolate) {
    if (!Usable(src) || !Usable(dst)) {
        return;
    }
    if (src->nChannels != dst->nChannels) {
        SetStatus(IPL_StsBadArg);
        return;
    }
    Area as = AreaOf(src);
    Area ad = AreaOf(dst);
    if (as.width <= 0 || as.height <= 0) {
        return;
    }
    double s;
    double c;
    SineCosine(angle, &s, &c);
    if (src->depth == IPL_DEPTH_8U && dst->depth == IPL_DEPTH_8U && as.channelCount == 1 &&
        ad.channelCount == 1 && interpolate != IPL_INTER_NN) {
        RotateGray8(src, dst, as, ad, s, c, xShift, yShift);
        return;
    }
    int channels = std::min(as.channelCount, ad.channelCount);
    auto clampX = [&](double v) { return std::clamp(static_cast<int>(v), as.x, as.x + as.width - 1); };
    auto clampY = [&](double v) { return std::clamp(static_cast<int>(v), as.y, as.y + as.height - 1); };
    for (int y = ad.y; y < ad.y + ad.height; ++y) {
        for (int x = ad.x; x < ad.x + ad.width; ++x) {
            double dx = x - xShift;
            double dy = y - yShift;
            double u = c * dx - s * dy;
            double v = s * dx + c * dy;
            // Keep far-away positions in integer range before clamping.
            u = std::clamp(u, -1.0, static_cast<double>(as.x + as.width));
            v = std::clamp(v, -1.0, static_cast<double>(as.y + as.height));
            for (int ch = 0; ch < channels; ++ch) {
                int sc = as.firstChannel + ch;
                int dc = ad.firstChannel + ch;
                if (interpolate == IPL_INTER_NN) {
                    WriteValue(dst, x, y, dc,
                               ReadValue(src, clampX(std::floor(u + 0.5)), clampY(std::floor(v + 0.5)), sc));
                    continue;
                }
                double fu = std::floor(u);
                double fv = std::floor(v);
                double tu = u - fu;
                double tv = v - fv;
                int x0 = clampX(fu);
                int x1 = clampX(fu + 1.0);
                int y0 = clampY(fv);
                int y1 = clampY(fv + 1.0);
                double top = (1.0 - tu) * ReadValue(src, x0, y0, sc) + tu * ReadValue(src, x1, y0, sc);
                double bottom = (1.0 - tu) * ReadValue(src, x0, y1, sc) + tu * ReadValue(src, x1, y1, sc);
                WriteValue(dst, x, y, dc, (1.0 - tv) * top + tv * bottom);
            }
        }
    }
}
