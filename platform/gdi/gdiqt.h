// Where device contexts meet Qt: DCs on a QImage or on an active QPainter, the window-surface
// provider behind GetDC(window), and direct access to a bitmap's pixels.
//
// Drawing a view in a paint event:
//     void View::paintEvent(QPaintEvent*) {
//         QPainter painter(this);
//         HDC dc = CreateDCOnPainter(&painter, width(), height());
//         OnDraw(dc);                 // the ported drawing code: BitBlt, StretchDIBits, LineTo, ...
//         DeleteDC(dc);
//     }
// Drawing outside a paint event (GetDC(window) ... ReleaseDC): the window layer keeps a backing image
// per window and installs a provider that hands it out; on ReleaseDC it is told so that it can
// schedule a repaint (QWidget::update) that shows the backing image.
#pragma once

#include <functional>

#include <QImage>
#include <QPainter>

#include "platform/gdi/gdi.h"

// A DC that draws into image, which must stay alive (and keep its size) until DeleteDC. Images of
// Format_RGB32, Format_ARGB32 and Format_ARGB32_Premultiplied are accepted; others give null.
HDC CreateDCOnImage(QImage* image);

// A DC that draws through painter, which must be active until DeleteDC; width and height give the
// device size (the widget's). The painter's state is saved and restored around every call. When the
// painter's device is a QImage its pixels can be read (GetPixel, BitBlt from this DC); otherwise not.
HDC CreateDCOnPainter(QPainter* painter, int width, int height);

// The window layer's provider: the backing image of a window (null: the window has none, and its DC
// behaves like the screen DC), and a notice when a DC of that window was released.
struct WindowSurfaceProvider {
    std::function<QImage*(HWND window)> surface;
    std::function<void(HWND window)> released;
};
// Installs the provider (an empty one removes it) and returns the previous one.
WindowSurfaceProvider SetWindowSurfaceProvider(WindowSurfaceProvider provider);

// The pixels of a bitmap (Format_RGB32), e.g. for drawing it straight with QPainter; null when the
// handle is not a live bitmap. The pointer stays valid until the bitmap is deleted.
const QImage* GetBitmapImage(HBITMAP bitmap);
// A device bitmap holding a copy of image.
HBITMAP CreateBitmapFromImage(const QImage& image);

// COLORREF (0x00BBGGRR) and Qt's QRgb (0xAARRGGBB).
inline QRgb ColorRefToRgb(COLORREF color) {
    return qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
}
inline COLORREF RgbToColorRef(QRgb rgb) {
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}
