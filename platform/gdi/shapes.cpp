// Drawing with the DC's pen and brush: lines, rectangles, ellipses, polygons, pixels and text.
//
// Every shape is first turned into a set of pixels and then filled span by span, so each pixel is
// touched once per shape (an XOR pen does not cancel itself where a wide pen overlaps) and the result
// is exact on every kind of surface.
#include <algorithm>
#include <cmath>
#include <vector>

#include <QGuiApplication>

#include "platform/gdi/gdiobjects.h"

using namespace kivic::gdi;

namespace {

struct Pixel {
    int y, x;
    bool on; // false: a gap of a styled pen
    bool operator<(const Pixel& o) const { return y != o.y ? y < o.y : x != o.x ? x < o.x : on > o.on; }
};

// Fills a sorted, de-duplicated pixel list run by run.
void emitPixels(Canvas& canvas, std::vector<Pixel>& pixels, COLORREF on, COLORREF off, bool drawOff,
                int rop2) {
    std::sort(pixels.begin(), pixels.end());
    pixels.erase(std::unique(pixels.begin(), pixels.end(),
                             [](const Pixel& a, const Pixel& b) { return a.y == b.y && a.x == b.x; }),
                 pixels.end());
    std::size_t i = 0;
    while (i < pixels.size()) {
        std::size_t j = i + 1;
        while (j < pixels.size() && pixels[j].y == pixels[i].y && pixels[j].x == pixels[j - 1].x + 1 &&
               pixels[j].on == pixels[i].on)
            ++j;
        if (pixels[i].on || drawOff)
            canvas.fill(pixels[i].x, pixels[i].y, pixels[j - 1].x + 1, pixels[i].y + 1,
                        pixels[i].on ? on : off, rop2);
        i = j;
    }
}

// On/off run lengths of the styled pens.
const std::vector<int>& dashPattern(int style) {
    static const std::vector<int> solid{};
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashDot{9, 6, 3, 6};
    static const std::vector<int> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH:
        return dash;
    case PS_DOT:
        return dot;
    case PS_DASHDOT:
        return dashDot;
    case PS_DASHDOTDOT:
        return dashDotDot;
    default:
        return solid;
    }
}

// Collects the pixels a pen leaves along lines.
class PenTrace {
public:
    explicit PenTrace(const Dc& dc)
        : m_width(dc.pen->style == PS_SOLID || dc.pen->style == PS_INSIDEFRAME ? dc.pen->width : 1),
          m_pattern(dashPattern(dc.pen->style)) {
        const int margin = m_width + 1;
        m_left = -margin;
        m_top = -margin;
        m_right = dc.surfaceWidth() + margin;
        m_bottom = dc.surfaceHeight() + margin;
    }

    // Bresenham from (x0, y0) to (x1, y1); the end point only when asked.
    void line(int x0, int y0, int x1, int y1, bool withEnd) {
        // A line far longer than any device is first cut to the device (with a margin), so that the
        // walk stays short; the pixels on the device differ at most by rounding.
        if (std::max(std::abs(std::int64_t(x1) - x0), std::abs(std::int64_t(y1) - y0)) > kLongLine &&
            !clip(x0, y0, x1, y1, withEnd))
            return;
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int stepX = x0 < x1 ? 1 : -1, stepY = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            const bool end = x0 == x1 && y0 == y1;
            if (end && !withEnd)
                break;
            dot(x0, y0);
            if (end)
                break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += stepX;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += stepY;
            }
        }
    }
    std::vector<Pixel>& pixels() { return m_pixels; }

private:
    static constexpr std::int64_t kLongLine = 1 << 14;

    // Liang-Barsky against the device rectangle; false when nothing of the line is on it.
    bool clip(int& x0, int& y0, int& x1, int& y1, bool& withEnd) const {
        const double dx = double(x1) - x0, dy = double(y1) - y0;
        double t0 = 0, t1 = 1;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {double(x0) - m_left, double(m_right) - x0, double(y0) - m_top,
                             double(m_bottom) - y0};
        for (int k = 0; k < 4; ++k) {
            if (p[k] == 0) {
                if (q[k] < 0)
                    return false;
                continue;
            }
            const double t = q[k] / p[k];
            if (p[k] < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
        }
        if (t0 > t1)
            return false;
        if (t1 < 1)
            withEnd = true;
        const int nx0 = static_cast<int>(std::lround(x0 + t0 * dx)),
                  ny0 = static_cast<int>(std::lround(y0 + t0 * dy));
        x1 = static_cast<int>(std::lround(x0 + t1 * dx));
        y1 = static_cast<int>(std::lround(y0 + t1 * dy));
        x0 = nx0;
        y0 = ny0;
        return true;
    }

    void dot(int x, int y) {
        bool on = true;
        if (!m_pattern.empty()) {
            int total = 0;
            for (int n : m_pattern)
                total += n;
            int at = m_step++ % total, k = 0;
            while (at >= m_pattern[k]) {
                at -= m_pattern[k];
                ++k;
            }
            on = (k % 2) == 0;
        }
        if (x < m_left || x >= m_right || y < m_top || y >= m_bottom)
            return;
        const int from = -(m_width / 2);
        for (int j = from; j < from + m_width; ++j)
            for (int i = from; i < from + m_width; ++i)
                m_pixels.push_back({y + j, x + i, on});
    }

    int m_width;
    int m_left, m_top, m_right, m_bottom;
    const std::vector<int>& m_pattern;
    int m_step = 0;
    std::vector<Pixel> m_pixels;
};

bool hasPen(const Dc& dc) {
    return dc.pen && dc.pen->style != PS_NULL;
}
bool hasBrush(const Dc& dc) {
    return dc.brush && dc.brush->style != BS_NULL;
}

void strokePen(Dc& dc, Canvas& canvas, PenTrace& trace) {
    emitPixels(canvas, trace.pixels(), dc.pen->color, dc.bkColor, dc.bkMode == OPAQUE, dc.rop2);
}

void normalize(int& a, int& b) {
    if (b < a)
        std::swap(a, b);
}

// Row spans [first, last) of the ellipse inscribed in [l, r) x [t, b), pixel centres inside.
std::vector<std::pair<int, int>> ellipseSpans(int l, int t, int r, int b) {
    std::vector<std::pair<int, int>> spans(static_cast<std::size_t>(b - t));
    const double cx = (l + r) / 2.0, cy = (t + b) / 2.0, a = (r - l) / 2.0, bb = (b - t) / 2.0;
    for (int y = t; y < b; ++y) {
        const double d = (y + 0.5 - cy) / bb;
        int first = 0, last = 0;
        if (d * d <= 1.0) {
            const double half = a * std::sqrt(1.0 - d * d) + 1e-9;
            first = std::max(l, static_cast<int>(std::ceil(cx - half - 0.5)));
            last = std::min(r, static_cast<int>(std::floor(cx + half - 0.5)) + 1);
        }
        spans[y - t] = {first, std::max(first, last)};
    }
    return spans;
}

} // namespace

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    Dc* d = FindDc(dc);
    if (!d)
        return FALSE;
    if (previous)
        *previous = d->position;
    d->position = {x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    Dc* d = FindDc(dc);
    if (!d)
        return FALSE;
    if (hasPen(*d)) {
        PenTrace trace(*d);
        trace.line(d->position.x, d->position.y, x, y, false);
        Canvas canvas(*d);
        strokePen(*d, canvas, trace);
    }
    d->position = {x, y};
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    Dc* d = FindDc(dc);
    if (!d || !points || count < 2)
        return FALSE;
    if (hasPen(*d)) {
        PenTrace trace(*d);
        for (int i = 1; i < count; ++i)
            trace.line(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, false);
        Canvas canvas(*d);
        strokePen(*d, canvas, trace);
    }
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    Dc* d = FindDc(dc);
    if (!d)
        return FALSE;
    normalize(left, right);
    normalize(top, bottom);
    Canvas canvas(*d);
    if (!hasPen(*d)) {
        // Without a pen the filled area is one pixel smaller, as the outline would have taken it.
        if (hasBrush(*d))
            canvas.fill(left, top, right - 1, bottom - 1, d->brush->color, d->rop2);
        return TRUE;
    }
    if (d->pen->style == PS_INSIDEFRAME && d->pen->width > 1) {
        const int in = d->pen->width / 2;
        left += in;
        top += in;
        right -= (d->pen->width - 1) / 2;
        bottom -= (d->pen->width - 1) / 2;
    }
    if (right - left < 1 || bottom - top < 1)
        return TRUE;
    if (hasBrush(*d))
        canvas.fill(left + 1, top + 1, right - 1, bottom - 1, d->brush->color, d->rop2);
    PenTrace trace(*d);
    trace.line(left, top, right - 1, top, true);
    trace.line(right - 1, top, right - 1, bottom - 1, true);
    trace.line(right - 1, bottom - 1, left, bottom - 1, true);
    trace.line(left, bottom - 1, left, top, true);
    strokePen(*d, canvas, trace);
    return TRUE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    Dc* d = FindDc(dc);
    if (!d)
        return FALSE;
    normalize(left, right);
    normalize(top, bottom);
    const bool pen = hasPen(*d);
    if (!pen) {
        --right;
        --bottom;
    }
    if (right - left < 1 || bottom - top < 1)
        return TRUE;
    if (right - left > kMaxExtent || bottom - top > kMaxExtent)
        return FALSE;
    const auto spans = ellipseSpans(left, top, right, bottom);
    auto inside = [&](int x, int y) {
        if (y < top || y >= bottom)
            return false;
        const auto& s = spans[y - top];
        return x >= s.first && x < s.second;
    };
    // The outline is the band of the ellipse within the pen's width of its border.
    const int band = pen ? std::max(1, d->pen->width) : 0;
    std::vector<Pixel> outline;
    Canvas canvas(*d);
    const int firstRow = std::max(top, 0), lastRow = std::min(bottom, d->surfaceHeight());
    for (int y = firstRow; y < lastRow; ++y) {
        const auto& s = spans[y - top];
        int runStart = -1;
        for (int x = s.first; x < s.second; ++x) {
            bool edge = false;
            for (int k = 1; k <= band && !edge; ++k)
                edge = !inside(x - k, y) || !inside(x + k, y) || !inside(x, y - k) || !inside(x, y + k);
            if (edge) {
                outline.push_back({y, x, true});
                if (runStart >= 0 && hasBrush(*d))
                    canvas.fill(runStart, y, x, y + 1, d->brush->color, d->rop2);
                runStart = -1;
            } else if (runStart < 0) {
                runStart = x;
            }
        }
        if (runStart >= 0 && hasBrush(*d))
            canvas.fill(runStart, y, s.second, y + 1, d->brush->color, d->rop2);
    }
    if (pen)
        emitPixels(canvas, outline, d->pen->color, d->bkColor, false, d->rop2);
    return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    Dc* d = FindDc(dc);
    if (!d || !points || count < 2)
        return FALSE;
    Canvas canvas(*d);
    if (hasBrush(*d) && count >= 3) {
        int top = points[0].y, bottom = points[0].y;
        for (int i = 1; i < count; ++i) {
            top = std::min<int>(top, points[i].y);
            bottom = std::max<int>(bottom, points[i].y);
        }
        top = std::max(top, 0);
        bottom = std::min(bottom, d->surfaceHeight());
        std::vector<std::pair<double, int>> crossings; // x, winding direction
        for (int y = top; y < bottom; ++y) {
            const double cy = y + 0.5;
            crossings.clear();
            for (int i = 0; i < count; ++i) {
                const POINT& p = points[i];
                const POINT& q = points[(i + 1) % count];
                if ((p.y <= cy) == (q.y <= cy))
                    continue;
                const double x = p.x + (cy - p.y) * (q.x - p.x) / double(q.y - p.y);
                crossings.push_back({x, q.y > p.y ? 1 : -1});
            }
            std::sort(crossings.begin(), crossings.end());
            int winding = 0;
            for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
                winding += d->polyFillMode == WINDING ? crossings[k].second : 1;
                const bool in = d->polyFillMode == WINDING ? winding != 0 : (winding % 2) != 0;
                if (!in)
                    continue;
                const int x0 = static_cast<int>(std::ceil(crossings[k].first - 0.5));
                const int x1 = static_cast<int>(std::ceil(crossings[k + 1].first - 0.5));
                canvas.fill(x0, y, x1, y + 1, d->brush->color, d->rop2);
            }
        }
    }
    if (hasPen(*d)) {
        PenTrace trace(*d);
        for (int i = 0; i < count; ++i)
            trace.line(points[i].x, points[i].y, points[(i + 1) % count].x, points[(i + 1) % count].y, true);
        strokePen(*d, canvas, trace);
    }
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    Dc* d = FindDc(dc);
    auto* b = FindAs<Brush>(brush, Kind::Brush);
    if (!d || !rect || !b)
        return 0;
    if (b->style != BS_NULL) {
        Canvas canvas(*d);
        canvas.fill(rect->left, rect->top, rect->right, rect->bottom, b->color, R2_COPYPEN);
    }
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    Dc* d = FindDc(dc);
    auto* b = FindAs<Brush>(brush, Kind::Brush);
    if (!d || !rect || !b)
        return 0;
    if (b->style == BS_NULL || rect->right <= rect->left || rect->bottom <= rect->top)
        return 1;
    Canvas canvas(*d);
    const RECT& r = *rect;
    canvas.fill(r.left, r.top, r.right, r.top + 1, b->color, R2_COPYPEN);
    canvas.fill(r.left, r.bottom - 1, r.right, r.bottom, b->color, R2_COPYPEN);
    canvas.fill(r.left, r.top + 1, r.left + 1, r.bottom - 1, b->color, R2_COPYPEN);
    canvas.fill(r.right - 1, r.top + 1, r.right, r.bottom - 1, b->color, R2_COPYPEN);
    return 1;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    Dc* d = FindDc(dc);
    if (!d || x < 0 || y < 0 || x >= d->surfaceWidth() || y >= d->surfaceHeight())
        return CLR_INVALID;
    Canvas canvas(*d);
    if (!canvas.isActive())
        return CLR_INVALID;
    canvas.fill(x, y, x + 1, y + 1, color & 0xFFFFFFu, R2_COPYPEN);
    return color & 0xFFFFFFu;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    Dc* d = FindDc(dc);
    const QImage* image = d ? d->surface() : nullptr;
    if (!image || !image->valid(x, y))
        return CLR_INVALID;
    return RgbToColorRef(image->pixel(x, y));
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    Dc* d = FindDc(dc);
    if (!d || !text || length < 0 || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return FALSE;
    Canvas canvas(*d);
    if (!canvas.isActive())
        return d->dcKind == DcKind::Screen ? TRUE : FALSE;
    const QString string = QString::fromUtf8(text, length);
    QFont font;
    font.setPixelSize(d->font ? d->font->pixelHeight : 13);
    QPainter& p = canvas.painter();
    p.setFont(font);
    const QFontMetrics metrics(font);
    if (d->bkMode == OPAQUE)
        canvas.fill(x, y, x + metrics.horizontalAdvance(string), y + metrics.height(), d->bkColor,
                    R2_COPYPEN);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QColor::fromRgb(ColorRefToRgb(d->textColor)));
    p.drawText(x, y + metrics.ascent(), string);
    return TRUE;
}
