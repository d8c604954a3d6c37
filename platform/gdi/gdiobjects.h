// The objects behind GDI handles and the process-wide table of live ones (internal to platform/gdi).
#pragma once

#include <memory>

#include <QImage>
#include <QPainter>

#include "platform/gdi/gdiqt.h"

namespace kivic::gdi {

enum class Kind { Dc, Bitmap, Pen, Brush, Font };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;
    int selections = 0; // how many DCs hold this object
};

struct Bitmap : Object {
    Bitmap() : Object(Kind::Bitmap) {}
    QImage image; // Format_RGB32
};

struct Pen : Object {
    Pen() : Object(Kind::Pen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct Brush : Object {
    Brush() : Object(Kind::Brush) {}
    int style = BS_SOLID;
    COLORREF color = 0;
};

struct Font : Object {
    Font() : Object(Kind::Font) {}
    int pixelHeight = 13;
};

enum class DcKind { Screen, Window, Memory, Image, Painter };

struct Dc : Object {
    Dc() : Object(Kind::Dc) {}
    DcKind dcKind = DcKind::Screen;
    HWND window = nullptr;
    QImage* image = nullptr;     // Window and Image DCs: the surface
    QPainter* painter = nullptr; // Painter DCs
    int width = 0;               // Screen and Painter DCs: the device size
    int height = 0;
    Bitmap* bitmap = nullptr; // Memory DCs: the selected bitmap
    Pen* pen = nullptr;
    Brush* brush = nullptr;
    Font* font = nullptr;
    POINT position{0, 0};
    int stretchMode = BLACKONWHITE;
    int rop2 = R2_COPYPEN;
    int bkMode = OPAQUE;
    int polyFillMode = ALTERNATE;
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);

    // The pixels of the surface when they can be read and written directly, else null.
    QImage* surface() const;
    int surfaceWidth() const;
    int surfaceHeight() const;
};

// Registers a new object and returns its handle value.
void* Register(std::unique_ptr<Object> object);
// Removes and destroys a registered object.
void Destroy(Object* object);
// The live object behind a handle, or null (also null when the kind differs).
Object* Find(const void* handle);
template <typename T> T* FindAs(const void* handle, Kind kind) {
    Object* object = Find(handle);
    return object && object->kind == kind ? static_cast<T*>(object) : nullptr;
}
inline Dc* FindDc(HDC dc) {
    return FindAs<Dc>(dc, Kind::Dc);
}
inline Bitmap* FindBitmap(HBITMAP bitmap) {
    return FindAs<Bitmap>(bitmap, Kind::Bitmap);
}
DWORD LiveCount();

// Stock objects, made once.
Object* Stock(int index);
// The 1x1 bitmap that memory DCs hold while no other bitmap is selected.
Bitmap* StockBitmap();

// A painter on the DC's surface for one drawing call: on an image it begins and ends a QPainter, on a
// painter DC it saves and restores the painter's state. Not valid (isActive false) on a DC without a
// surface.
class Canvas {
public:
    explicit Canvas(Dc& dc);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    bool isActive() const { return m_painter != nullptr; }
    QPainter& painter() { return *m_painter; }
    // Fills [x0, x1) x [y0, y1) with color combined with the destination by the binary raster op.
    void fill(int x0, int y0, int x1, int y1, COLORREF color, int rop2);

private:
    QPainter m_own;
    QPainter* m_painter = nullptr;
    bool m_restore = false;
};

// Device-independent bitmaps.
// Decodes a whole DIB (|height| rows, DibRowBytes each) into a top-down Format_RGB32 image; false for
// formats other than BI_RGB 1/4/8/16/24/32 and BI_BITFIELDS 16/32, for DIB_PAL_COLORS and bad sizes.
bool DibToImage(const BITMAPINFO* info, const void* bits, UINT usage, QImage& image);
// Writes one image row as a DIB row of 16 (5-5-5), 24 or 32 bits.
void EncodeRow(const QImage& image, int row, int bitCount, BYTE* out);
// Largest width or height accepted for a bitmap, and the largest pixel count.
constexpr std::int64_t kMaxExtent = 1 << 16;
constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28;

} // namespace kivic::gdi
