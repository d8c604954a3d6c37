// Per-value arithmetic on images: norms, products, colour-to-gray, depth conversion, bitonal
// expansion, shifts and constant addition. Integer results are rounded to nearest and saturated to
// the destination depth.
#include "platform/ipl/ipl.h"
#include "platform/ipl/ipl_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

using namespace kivic::ipl;

namespace {

bool IsIntegerDepth(int depth) {
    return depth != IPL_DEPTH_32F;
}

// Calls f(x, y, channel, x2, y2, channel2) for each value of the overlap of two images' areas.
template <typename F> bool ForPairs(const IplImage* a, const IplImage* b, F f) {
    Area aa = AreaOf(a);
    Area ab = AreaOf(b);
    int width = std::min(aa.width, ab.width);
    int height = std::min(aa.height, ab.height);
    int channels = std::min(aa.channelCount, ab.channelCount);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                f(aa.x + x, aa.y + y, aa.firstChannel + c, ab.x + x, ab.y + y, ab.firstChannel + c);
            }
        }
    }
    return true;
}

// Applies op to every value of src and writes the result to the matching value of dst.
template <typename Op> void MapValues(const IplImage* src, IplImage* dst, Op op) {
    if (!Usable(src) || !Usable(dst)) {
        return;
    }
    ForPairs(src, dst, [&](int x, int y, int c, int x2, int y2, int c2) {
        WriteValue(dst, x2, y2, c2, op(ReadValue(src, x, y, c)));
    });
}

} // namespace

namespace {

// Unsigned 8- and 16-bit images over all channels: typed loops with the same exact sums.
template <typename T> double UnsignedNorm(const IplImage* a, const IplImage* b, int normType) {
    const Area aa = AreaOf(a);
    const Area ab = b != nullptr ? AreaOf(b) : aa;
    const int width = std::min(aa.width, ab.width);
    const int height = std::min(aa.height, ab.height);
    const int values = width * a->nChannels;
    std::uint64_t sumAbs = 0;
    std::uint64_t sumSq = 0;
    std::uint64_t largest = 0;
    for (int y = 0; y < height; ++y) {
        const T* ra = reinterpret_cast<const T*>(ValueAddress(a, aa.x, aa.y + y, 0));
        const T* rb = b != nullptr ? reinterpret_cast<const T*>(ValueAddress(b, ab.x, ab.y + y, 0)) : nullptr;
        for (int i = 0; i < values; ++i) {
            const std::uint64_t v = rb != nullptr ? (ra[i] > rb[i] ? ra[i] - rb[i] : rb[i] - ra[i]) : ra[i];
            sumAbs += v;
            sumSq += v * v;
            largest = std::max(largest, v);
        }
    }
    switch (normType) {
    case IPL_C:
        return static_cast<double>(largest);
    case IPL_L1:
        return static_cast<double>(sumAbs);
    default:
        return std::sqrt(static_cast<double>(sumSq));
    }
}

bool AllChannels(const IplImage* image) {
    return image == nullptr || image->roi == nullptr || image->roi->coi == 0;
}

} // namespace

double iplNorm(const IplImage* srcA, const IplImage* srcB, int normType) {
    if (!Usable(srcA) || (srcB != nullptr && !Usable(srcB))) {
        return 0.0;
    }
    if (normType != IPL_C && normType != IPL_L1 && normType != IPL_L2) {
        SetStatus(IPL_StsBadArg);
        return 0.0;
    }
    const bool sameShape =
        srcB == nullptr || (srcB->depth == srcA->depth && srcB->nChannels == srcA->nChannels);
    if (sameShape && AllChannels(srcA) && AllChannels(srcB)) {
        if (srcA->depth == IPL_DEPTH_8U) {
            return UnsignedNorm<std::uint8_t>(srcA, srcB, normType);
        }
        if (srcA->depth == IPL_DEPTH_16U) {
            return UnsignedNorm<std::uint16_t>(srcA, srcB, normType);
        }
    }
    bool exact = IsIntegerDepth(srcA->depth) && (srcB == nullptr || IsIntegerDepth(srcB->depth));
    // Integer sums are kept in 64 bits (products of 16-bit values stay exact); the result is converted
    // once at the end so it equals the exact sum whenever that is representable.
    std::int64_t sumAbs = 0;
    std::uint64_t sumSq = 0;
    double sumAbsF = 0.0;
    double sumSqF = 0.0;
    double largest = 0.0;
    auto add = [&](double v) {
        double a = std::fabs(v);
        largest = std::max(largest, a);
        if (exact) {
            auto i = static_cast<std::int64_t>(a);
            sumAbs += i;
            sumSq += static_cast<std::uint64_t>(i) * static_cast<std::uint64_t>(i);
        } else {
            sumAbsF += a;
            sumSqF += a * a;
        }
    };
    if (srcB == nullptr) {
        Area area = AreaOf(srcA);
        for (int y = 0; y < area.height; ++y) {
            for (int x = 0; x < area.width; ++x) {
                for (int c = 0; c < area.channelCount; ++c) {
                    add(ReadValue(srcA, area.x + x, area.y + y, area.firstChannel + c));
                }
            }
        }
    } else {
        ForPairs(srcA, srcB, [&](int x, int y, int c, int x2, int y2, int c2) {
            add(ReadValue(srcA, x, y, c) - ReadValue(srcB, x2, y2, c2));
        });
    }
    switch (normType) {
    case IPL_C:
        return largest;
    case IPL_L1:
        return exact ? static_cast<double>(sumAbs) : sumAbsF;
    default:
        return std::sqrt(exact ? static_cast<double>(sumSq) : sumSqF);
    }
}

void iplMultiply(const IplImage* srcA, const IplImage* srcB, IplImage* dst) {
    if (!Usable(srcA) || !Usable(srcB) || !Usable(dst)) {
        return;
    }
    Area aa = AreaOf(srcA);
    Area ab = AreaOf(srcB);
    Area ad = AreaOf(dst);
    int width = std::min({aa.width, ab.width, ad.width});
    int height = std::min({aa.height, ab.height, ad.height});
    int channels = std::min({aa.channelCount, ab.channelCount, ad.channelCount});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                double product = ReadValue(srcA, aa.x + x, aa.y + y, aa.firstChannel + c) *
                                 ReadValue(srcB, ab.x + x, ab.y + y, ab.firstChannel + c);
                WriteValue(dst, ad.x + x, ad.y + y, ad.firstChannel + c, product);
            }
        }
    }
}

// Gray = 0.212671 R + 0.715160 G + 0.072169 B, rounded to nearest. The source's channel sequence
// says where red is: "RGB" puts it first, anything else is taken as blue-green-red, the order of
// bitmap pixels.
void iplColorToGray(const IplImage* src, IplImage* dst) {
    if (!Usable(src) || !Usable(dst)) {
        return;
    }
    if (src->nChannels < 3 || dst->nChannels != 1) {
        SetStatus(IPL_StsBadArg);
        return;
    }
    bool rgbOrder = std::strncmp(src->channelSeq, "RGB", 3) == 0;
    int red = rgbOrder ? 0 : 2;
    int blue = rgbOrder ? 2 : 0;
    Area as = AreaOf(src);
    Area ad = AreaOf(dst);
    int width = std::min(as.width, ad.width);
    int height = std::min(as.height, ad.height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double r = ReadValue(src, as.x + x, as.y + y, red);
            double g = ReadValue(src, as.x + x, as.y + y, 1);
            double b = ReadValue(src, as.x + x, as.y + y, blue);
            WriteValue(dst, ad.x + x, ad.y + y, 0, 0.212671 * r + 0.715160 * g + 0.072169 * b);
        }
    }
}

void iplConvert(const IplImage* src, IplImage* dst) {
    MapValues(src, dst, [](double v) { return v; });
}

// A 1-bit image holds its pixels most significant bit first within each byte.
void iplBitonalToGray(const IplImage* src, IplImage* dst, int zeroScale, int oneScale) {
    if (src == nullptr || src->imageData == nullptr || src->depth != IPL_DEPTH_1U || src->nChannels != 1) {
        SetStatus(src == nullptr || src->imageData == nullptr ? IPL_StsNullPtr : IPL_StsUnsupportedFormat);
        return;
    }
    if (!Usable(dst)) {
        return;
    }
    Area as = AreaOf(src);
    Area ad = AreaOf(dst);
    int width = std::min(as.width, ad.width);
    int height = std::min(as.height, ad.height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(src->imageData) +
                          static_cast<std::int64_t>(as.y + y) * src->widthStep;
        for (int x = 0; x < width; ++x) {
            int sx = as.x + x;
            bool one = ((row[sx / 8] >> (7 - sx % 8)) & 1) != 0;
            for (int c = 0; c < ad.channelCount; ++c) {
                WriteValue(dst, ad.x + x, ad.y + y, ad.firstChannel + c, one ? oneScale : zeroScale);
            }
        }
    }
}

void iplRShiftS(const IplImage* src, IplImage* dst, unsigned int nShift) {
    if (src != nullptr && !IsIntegerDepth(src->depth)) {
        SetStatus(IPL_StsUnsupportedFormat);
        return;
    }
    // An arithmetic shift: negative values move toward minus infinity.
    MapValues(src, dst, [nShift](double v) {
        return static_cast<double>(static_cast<std::int64_t>(v) >> std::min(nShift, 63u));
    });
}

void iplLShiftS(const IplImage* src, IplImage* dst, unsigned int nShift) {
    if (src != nullptr && !IsIntegerDepth(src->depth)) {
        SetStatus(IPL_StsUnsupportedFormat);
        return;
    }
    MapValues(src, dst,
              [nShift](double v) { return std::ldexp(v, static_cast<int>(std::min(nShift, 62u))); });
}

void iplAddS(const IplImage* src, IplImage* dst, int value) {
    MapValues(src, dst, [value](double v) { return v + value; });
}
