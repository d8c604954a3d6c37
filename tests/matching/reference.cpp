#include "matching/reference.h"

#include "platform/ipl/ipl.h"

#include <cmath>
#include <cstdint>

namespace reference {

namespace {

using i64 = std::int64_t;

struct Frame {
    const unsigned char* image;
    int stride;
    const unsigned char* templ;
    int w;
    int h;
    unsigned char X(int x, int y) const { return image[static_cast<i64>(y) * stride + x]; }
    unsigned char T(int i, int j) const { return templ[j * w + i]; }
};

double Guarded(double numerator, double v) {
    return v <= 0.000001 ? -1.0 : numerator / std::sqrt(v);
}

// Whether the template, or the template-sized window at (x, y), holds one value only.
bool TemplateFlat(const Frame& f) {
    for (int j = 0; j < f.h; ++j) {
        for (int i = 0; i < f.w; ++i) {
            if (f.T(i, j) != f.T(0, 0)) {
                return false;
            }
        }
    }
    return true;
}

bool WindowFlat(const Frame& f, int x, int y) {
    for (int j = 0; j < f.h; ++j) {
        for (int i = 0; i < f.w; ++i) {
            if (f.X(x + i, y + j) != f.X(x, y)) {
                return false;
            }
        }
    }
    return true;
}

// Method 0 and 2 share this: pixels where `taken` holds.
template <typename Taken> double ZeroMean(const Frame& f, int x, int y, Taken taken) {
    i64 count = 0;
    i64 sumT = 0;
    i64 sumX = 0;
    for (int j = 0; j < f.h; ++j) {
        for (int i = 0; i < f.w; ++i) {
            if (taken(i, j)) {
                ++count;
                sumT += f.T(i, j);
                sumX += f.X(x + i, y + j);
            }
        }
    }
    const i64 m = sumT / count;
    const i64 mx = sumX / count;
    i64 energy = 0;
    i64 sxx = 0;
    i64 sxy = 0;
    for (int j = 0; j < f.h; ++j) {
        for (int i = 0; i < f.w; ++i) {
            if (taken(i, j)) {
                const i64 dev = f.T(i, j) - m;
                const i64 d = f.X(x + i, y + j) - mx;
                energy += dev * dev;
                sxx += d * d;
                sxy += dev * d;
            }
        }
    }
    const double v = static_cast<double>(sxx) * static_cast<double>(energy);
    return Guarded(static_cast<double>(sxy), v);
}

double RunningMean(const Frame& f, int x, int y) {
    const i64 n = static_cast<i64>(f.w) * f.h;
    std::vector<i64> dev(static_cast<std::size_t>(n));
    i64 m = 0;
    i64 c = 0;
    for (i64 k = 0; k < n; ++k) {
        const i64 d = f.T(static_cast<int>(k % f.w), static_cast<int>(k / f.w)) - m;
        m = m + d / (k + 1);
        dev[static_cast<std::size_t>(k)] = d;
        c = c + (d * d * k) / (k + 1);
    }
    m = 0;
    i64 sxx = 0;
    i64 sxy = 0;
    for (i64 k = 0; k < n; ++k) {
        const i64 d = f.X(x + static_cast<int>(k % f.w), y + static_cast<int>(k / f.w)) - m;
        m = m + d / (k + 1);
        sxx = sxx + (d * d * k) / (k + 1);
        sxy = sxy + (d * dev[static_cast<std::size_t>(k)] * k) / (k + 1);
    }
    return Guarded(static_cast<double>(sxy), static_cast<double>(sxx) * static_cast<double>(c));
}

double Difference(const Frame& f, int x, int y) {
    i64 d = 0;
    for (int j = 0; j < f.h; ++j) {
        for (int i = 0; i < f.w; ++i) {
            d += std::abs(f.X(x + i, y + j) - f.T(i, j));
        }
    }
    return (255 - static_cast<double>(d) / (f.w * f.h)) * (1.0 / 255);
}

IplImage* Gray(int w, int h, int depth) {
    IplImage* image = iplCreateImageHeader(1, 0, depth, "GRAY", "GRAY", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                                           IPL_ALIGN_DWORD, w, h, nullptr, nullptr, nullptr, nullptr);
    iplAllocateImage(image, 1, 0);
    return image;
}

void Put(IplImage* image, int x, int y, unsigned char v) {
    if (image->depth == IPL_DEPTH_8U) {
        iplPutPixel(image, x, y, &v);
    } else {
        const std::uint16_t wide = v;
        iplPutPixel(image, x, y, &wide);
    }
}

// Methods 5 and 6: the search area and the template as images, each window copied out through a
// region of interest and measured with norms. Method 6 scores a flat window or template -1.0.
void ImageWindows(int method, const Frame& f, int x0, int y0, int sw, int sh, std::vector<double>& scores) {
    const int depth = method == 5 ? IPL_DEPTH_8U : IPL_DEPTH_16U;
    IplImage* area = Gray(sw, sh, depth);
    area->roi = iplCreateROI(0, 0, 0, sw, sh);
    for (int y = 0; y < sh; ++y) {
        for (int x = 0; x < sw; ++x) {
            Put(area, x, y, f.X(x0 + x, y0 + y));
        }
    }
    IplImage* templ = Gray(f.w, f.h, depth);
    for (int j = 0; j < f.h; ++j) {
        for (int i = 0; i < f.w; ++i) {
            Put(templ, i, j, f.T(i, j));
        }
    }
    IplImage* work = Gray(f.w, f.h, depth);
    IplImage* product = Gray(f.w, f.h, depth);
    const double n = static_cast<double>(f.w) * f.h;
    const double st = iplNorm(templ, nullptr, IPL_L1);
    const double rt = iplNorm(templ, nullptr, IPL_L2);
    const double mean = st / n;
    const double energy = (-1.0 / n) * (st * st) + rt * rt;
    const bool flatTemplate = TemplateFlat(f);
    for (int r = 0; r <= sh - f.h; ++r) {
        for (int c = 0; c <= sw - f.w; ++c) {
            iplSetROI(area->roi, 0, c, r, f.w, f.h);
            iplCopy(area, work);
            if (method == 5) {
                const double d = iplNorm(work, templ, IPL_L1);
                scores.push_back((255 - d / n) * (1.0 / 255));
            } else if (flatTemplate || WindowFlat(f, x0 + c, y0 + r)) {
                scores.push_back(-1.0);
            } else {
                const double s = iplNorm(work, nullptr, IPL_L1);
                const double q = iplNorm(work, nullptr, IPL_L2);
                iplMultiply(work, templ, product);
                const double p = iplNorm(product, nullptr, IPL_L1);
                scores.push_back(Guarded(p - mean * s, (q * q - s * s / n) * energy));
            }
        }
    }
    for (IplImage* image : {area, templ, work, product}) {
        iplDeallocate(image, IPL_IMAGE_ALL);
    }
}

// Method 3: running window sums carried along a serpentine path, products in full.
Result Serpentine(const Frame& f, int x0, int y0, int sw, int sh, Result result) {
    const i64 n = static_cast<i64>(f.w) * f.h;
    i64 st = 0;
    i64 qt = 0;
    for (int j = 0; j < f.h; ++j) {
        for (int i = 0; i < f.w; ++i) {
            st += f.T(i, j);
            qt += static_cast<i64>(f.T(i, j)) * f.T(i, j);
        }
    }
    const double mean = static_cast<double>(st) / n;
    const double energy = static_cast<double>(qt) - mean * static_cast<double>(st);
    result.bestX = 0;
    result.bestY = 0;
    if (sw <= f.w || sh <= f.h) {
        result.value = 0.0;
        return result;
    }
    double best = -1.0;
    i64 s = 0;
    i64 q = 0;
    for (int j = 0; j < f.h; ++j) {
        for (int i = 0; i < f.w; ++i) {
            s += f.X(x0 + i, y0 + j);
            q += static_cast<i64>(f.X(x0 + i, y0 + j)) * f.X(x0 + i, y0 + j);
        }
    }
    const int columns = sw - f.w + 1;
    const int rows = sh - f.h + 1;
    int c = 0;
    for (int r = 0; r < rows; ++r) {
        const int step = r % 2 == 0 ? 1 : -1;
        for (int visited = 0; visited < columns; ++visited) {
            i64 p = 0;
            for (int j = 0; j < f.h; ++j) {
                for (int i = 0; i < f.w; ++i) {
                    p += static_cast<i64>(f.X(x0 + c + i, y0 + r + j)) * f.T(i, j);
                }
            }
            const double v =
                (static_cast<double>(q) - (static_cast<double>(s) / n) * static_cast<double>(s)) * energy;
            const double score = Guarded(static_cast<double>(p) - mean * static_cast<double>(s), v);
            result.map[static_cast<std::size_t>(r) * columns + c] = static_cast<float>(score);
            if (score > best) {
                best = score;
                result.bestX = x0 + c;
                result.bestY = y0 + r;
            }
            if (visited + 1 < columns) {
                // Move one column: drop the leaving column, add the entering one.
                const int leave = step > 0 ? c : c + f.w - 1;
                const int enter = step > 0 ? c + f.w : c - 1;
                for (int j = 0; j < f.h; ++j) {
                    const i64 a = f.X(x0 + leave, y0 + r + j);
                    const i64 b = f.X(x0 + enter, y0 + r + j);
                    s += b - a;
                    q += b * b - a * a;
                }
                c += step;
            }
        }
        if (r + 1 < rows) {
            for (int i = 0; i < f.w; ++i) {
                const i64 a = f.X(x0 + c + i, y0 + r);
                const i64 b = f.X(x0 + c + i, y0 + r + f.h);
                s += b - a;
                q += b * b - a * a;
            }
        }
    }
    result.value = best;
    return result;
}

} // namespace

Result Match(int method, const unsigned char* image, int imageWidth, int imageHeight,
             const unsigned char* templ, int w, int h, int x0, int y0, int sw, int sh, double threshold) {
    Result result;
    const bool sizesOk = w >= 1 && h >= 1 && sw >= w && sh >= h;
    if (sizesOk) {
        result.mapWidth = sw - w + 1;
        result.mapHeight = sh - h + 1;
        result.map.assign(static_cast<std::size_t>(result.mapWidth) * result.mapHeight, 0.0f);
    }
    const bool inside = x0 >= 0 && y0 >= 0 && x0 + sw <= imageWidth && y0 + sh <= imageHeight;
    double best;
    if (image == nullptr || templ == nullptr || !sizesOk || !inside) {
        result.bestX = result.bestY = -1;
        best = 0.0;
    } else {
        const Frame f{image, imageWidth, templ, w, h};
        if (method == 3) {
            result = Serpentine(f, x0, y0, sw, sh, result);
            best = result.value;
        } else {
            std::vector<double> scores;
            if (method == 5 || method == 6) {
                ImageWindows(method, f, x0, y0, sw, sh, scores);
            } else {
                for (int r = 0; r <= sh - h; ++r) {
                    for (int c = 0; c <= sw - w; ++c) {
                        const int x = x0 + c;
                        const int y = y0 + r;
                        switch (method) {
                        case 0:
                            scores.push_back(ZeroMean(f, x, y, [](int, int) { return true; }));
                            break;
                        case 1:
                            scores.push_back(RunningMean(f, x, y));
                            break;
                        case 4:
                            scores.push_back(Difference(f, x, y));
                            break;
                        default:
                            scores.push_back(
                                ZeroMean(f, x, y, [](int i, int j) { return (i + j) % 2 == 0; }));
                            break;
                        }
                    }
                }
            }
            best = -2.0;
            result.bestX = result.bestY = 0;
            for (std::size_t k = 0; k < scores.size(); ++k) {
                result.map[k] = static_cast<float>(scores[k]);
                if (scores[k] > best) {
                    best = scores[k];
                    result.bestX = x0 + static_cast<int>(k % result.mapWidth);
                    result.bestY = y0 + static_cast<int>(k / result.mapWidth);
                }
            }
        }
    }
    result.value = (std::isnan(best) || best < threshold) ? -1.0 : best;
    return result;
}

} // namespace reference
