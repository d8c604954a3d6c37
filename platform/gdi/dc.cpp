// Device contexts: creation, selection of objects, attributes, object queries and deletion.
#include <cstring>
#include <mutex>

#include <QGuiApplication>
#include <QScreen>

#include "platform/gdi/gdiobjects.h"

using namespace kivic::gdi;

namespace {

std::mutex g_providerMutex;
WindowSurfaceProvider g_provider;

QSize screenSize() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            return screen->size();
    }
    return QSize(1920, 1080);
}

template <typename T> void retain(T*& slot, T* object) {
    if (slot)
        --slot->selections;
    slot = object;
    if (slot)
        ++slot->selections;
}

HDC newDc(DcKind kind, std::unique_ptr<Dc> dc = std::make_unique<Dc>()) {
    dc->dcKind = kind;
    retain(dc->pen, static_cast<Pen*>(Stock(BLACK_PEN)));
    retain(dc->brush, static_cast<Brush*>(Stock(WHITE_BRUSH)));
    retain(dc->font, static_cast<Font*>(Stock(SYSTEM_FONT)));
    if (kind == DcKind::Memory)
        retain(dc->bitmap, StockBitmap());
    return static_cast<HDC>(Register(std::move(dc)));
}

void destroyDc(Dc* dc) {
    retain(dc->pen, static_cast<Pen*>(nullptr));
    retain(dc->brush, static_cast<Brush*>(nullptr));
    retain(dc->font, static_cast<Font*>(nullptr));
    retain(dc->bitmap, static_cast<Bitmap*>(nullptr));
    Destroy(dc);
}

HDC screenDc(HWND window) {
    auto dc = std::make_unique<Dc>();
    QSize size = screenSize();
    dc->width = size.width();
    dc->height = size.height();
    dc->window = window;
    return newDc(window ? DcKind::Window : DcKind::Screen, std::move(dc));
}

} // namespace

HDC GetDC(HWND window) {
    if (window) {
        WindowSurfaceProvider provider;
        {
            std::lock_guard lock(g_providerMutex);
            provider = g_provider;
        }
        QImage* image = provider.surface ? provider.surface(window) : nullptr;
        if (image && !image->isNull()) {
            auto dc = std::make_unique<Dc>();
            dc->window = window;
            dc->image = image;
            return newDc(DcKind::Window, std::move(dc));
        }
    }
    return screenDc(window);
}

int ReleaseDC(HWND window, HDC dc) {
    Dc* d = FindDc(dc);
    if (!d || (d->dcKind != DcKind::Window && d->dcKind != DcKind::Screen) || d->window != window)
        return 0;
    destroyDc(d);
    if (window) {
        WindowSurfaceProvider provider;
        {
            std::lock_guard lock(g_providerMutex);
            provider = g_provider;
        }
        if (provider.released)
            provider.released(window);
    }
    return 1;
}

HDC CreateCompatibleDC(HDC dc) {
    if (dc && !FindDc(dc))
        return nullptr;
    return newDc(DcKind::Memory);
}

BOOL DeleteDC(HDC dc) {
    Dc* d = FindDc(dc);
    if (!d)
        return FALSE;
    destroyDc(d);
    return TRUE;
}

HDC CreateDCOnImage(QImage* image) {
    if (!image || image->isNull())
        return nullptr;
    QImage::Format f = image->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    auto dc = std::make_unique<Dc>();
    dc->image = image;
    return newDc(DcKind::Image, std::move(dc));
}

HDC CreateDCOnPainter(QPainter* painter, int width, int height) {
    if (!painter || !painter->isActive() || width < 0 || height < 0)
        return nullptr;
    auto dc = std::make_unique<Dc>();
    dc->painter = painter;
    dc->width = width;
    dc->height = height;
    return newDc(DcKind::Painter, std::move(dc));
}

WindowSurfaceProvider SetWindowSurfaceProvider(WindowSurfaceProvider provider) {
    std::lock_guard lock(g_providerMutex);
    std::swap(provider, g_provider);
    return provider;
}

int GetDeviceCaps(HDC dc, int index) {
    Dc* d = FindDc(dc);
    if (!d)
        return 0;
    switch (index) {
    case HORZRES:
        return d->surfaceWidth();
    case VERTRES:
        return d->surfaceHeight();
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    default:
        return 0;
    }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    Dc* d = FindDc(dc);
    Object* o = Find(object);
    if (!d || !o)
        return nullptr;
    Object* previous = nullptr;
    switch (o->kind) {
    case Kind::Bitmap: {
        auto* b = static_cast<Bitmap*>(o);
        if (d->dcKind != DcKind::Memory)
            return nullptr;
        if (b != d->bitmap && b->selections > 0 && !b->stock)
            return nullptr;
        previous = d->bitmap;
        retain(d->bitmap, b);
        break;
    }
    case Kind::Pen:
        previous = d->pen;
        retain(d->pen, static_cast<Pen*>(o));
        break;
    case Kind::Brush:
        previous = d->brush;
        retain(d->brush, static_cast<Brush*>(o));
        break;
    case Kind::Font:
        previous = d->font;
        retain(d->font, static_cast<Font*>(o));
        break;
    case Kind::Dc:
        return nullptr;
    }
    return reinterpret_cast<HGDIOBJ>(previous);
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    Dc* d = FindDc(dc);
    if (!d)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
        return reinterpret_cast<HGDIOBJ>(d->pen);
    case OBJ_BRUSH:
        return reinterpret_cast<HGDIOBJ>(d->brush);
    case OBJ_FONT:
        return reinterpret_cast<HGDIOBJ>(d->font);
    case OBJ_BITMAP:
        return reinterpret_cast<HGDIOBJ>(d->bitmap);
    default:
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object) {
    Object* o = Find(object);
    if (!o || o->kind == Kind::Dc)
        return FALSE;
    if (o->stock)
        return TRUE;
    if (o->selections > 0)
        return FALSE;
    Destroy(o);
    return TRUE;
}

HGDIOBJ GetStockObject(int index) {
    return reinterpret_cast<HGDIOBJ>(Stock(index));
}

DWORD GetObjectType(HGDIOBJ object) {
    Object* o = Find(object);
    if (!o)
        return 0;
    switch (o->kind) {
    case Kind::Pen:
        return OBJ_PEN;
    case Kind::Brush:
        return OBJ_BRUSH;
    case Kind::Font:
        return OBJ_FONT;
    case Kind::Bitmap:
        return OBJ_BITMAP;
    case Kind::Dc:
        return static_cast<Dc*>(o)->dcKind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
    }
    return 0;
}

int GetObjectA(HGDIOBJ object, int bytes, LPVOID buffer) {
    Object* o = Find(object);
    if (!o)
        return 0;
    auto put = [&](const auto& value) {
        int size = static_cast<int>(sizeof(value));
        if (!buffer)
            return size;
        if (bytes < size)
            return 0;
        std::memcpy(buffer, &value, sizeof(value));
        return size;
    };
    switch (o->kind) {
    case Kind::Bitmap: {
        const QImage& image = static_cast<Bitmap*>(o)->image;
        BITMAP bm{};
        bm.bmWidth = image.width();
        bm.bmHeight = image.height();
        bm.bmWidthBytes = image.width() * 4;
        bm.bmPlanes = 1;
        bm.bmBitsPixel = 32;
        return put(bm);
    }
    case Kind::Pen: {
        auto* p = static_cast<Pen*>(o);
        LOGPEN lp{static_cast<UINT>(p->style), {p->width, 0}, p->color};
        return put(lp);
    }
    case Kind::Brush: {
        auto* b = static_cast<Brush*>(o);
        LOGBRUSH lb{static_cast<UINT>(b->style), b->color, 0};
        return put(lb);
    }
    default:
        return 0;
    }
}

DWORD GetGdiObjectCount() {
    return LiveCount();
}

namespace {

template <typename T> T exchange(HDC dc, T Dc::*field, T value, T failure) {
    Dc* d = FindDc(dc);
    if (!d)
        return failure;
    T old = d->*field;
    d->*field = value;
    return old;
}

template <typename T> T read(HDC dc, T Dc::*field, T failure) {
    Dc* d = FindDc(dc);
    return d ? d->*field : failure;
}

} // namespace

int SetStretchBltMode(HDC dc, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return exchange(dc, &Dc::stretchMode, mode, 0);
}
int GetStretchBltMode(HDC dc) {
    return read(dc, &Dc::stretchMode, 0);
}
int SetROP2(HDC dc, int mode) {
    if (mode < R2_BLACK || mode > R2_WHITE)
        return 0;
    return exchange(dc, &Dc::rop2, mode, 0);
}
int GetROP2(HDC dc) {
    return read(dc, &Dc::rop2, 0);
}
int SetBkMode(HDC dc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return exchange(dc, &Dc::bkMode, mode, 0);
}
int GetBkMode(HDC dc) {
    return read(dc, &Dc::bkMode, 0);
}
COLORREF SetBkColor(HDC dc, COLORREF color) {
    return exchange(dc, &Dc::bkColor, color & 0xFFFFFFu, CLR_INVALID);
}
COLORREF GetBkColor(HDC dc) {
    return read(dc, &Dc::bkColor, CLR_INVALID);
}
COLORREF SetTextColor(HDC dc, COLORREF color) {
    return exchange(dc, &Dc::textColor, color & 0xFFFFFFu, CLR_INVALID);
}
COLORREF GetTextColor(HDC dc) {
    return read(dc, &Dc::textColor, CLR_INVALID);
}
int SetPolyFillMode(HDC dc, int mode) {
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return exchange(dc, &Dc::polyFillMode, mode, 0);
}
int GetPolyFillMode(HDC dc) {
    return read(dc, &Dc::polyFillMode, 0);
}

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > PS_INSIDEFRAME)
        return nullptr;
    auto pen = std::make_unique<Pen>();
    pen->style = style;
    pen->width = width < 1 ? 1 : width;
    pen->color = color & 0xFFFFFFu;
    return static_cast<HPEN>(Register(std::move(pen)));
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
    return pen ? CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor) : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto brush = std::make_unique<Brush>();
    brush->color = color & 0xFFFFFFu;
    return static_cast<HBRUSH>(Register(std::move(brush)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
    if (!brush)
        return nullptr;
    if (brush->lbStyle == BS_NULL)
        return reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (brush->lbStyle != BS_SOLID)
        return nullptr;
    return CreateSolidBrush(brush->lbColor);
}
