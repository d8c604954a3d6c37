// The table of live GDI objects, the stock objects and the per-call canvas.
#include <mutex>
#include <unordered_map>

#include "platform/gdi/gdiobjects.h"

namespace kivic::gdi {
namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<const void*, std::unique_ptr<Object>> objects;
    DWORD stockCount = 0;
};

Table& table() {
    static Table* instance = new Table; // lives to the very end: handles may be freed from static destructors
    return *instance;
}

std::unique_ptr<Object> makeStock(int index) {
    auto brush = [](int style, COLORREF color) {
        auto b = std::make_unique<Brush>();
        b->style = style;
        b->color = color;
        return b;
    };
    auto pen = [](int style, COLORREF color) {
        auto p = std::make_unique<Pen>();
        p->style = style;
        p->color = color;
        return p;
    };
    switch (index) {
    case WHITE_BRUSH:
        return brush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH:
        return brush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH:
        return brush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH:
        return brush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH:
        return brush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH:
        return brush(BS_NULL, 0);
    case WHITE_PEN:
        return pen(PS_SOLID, RGB(255, 255, 255));
    case BLACK_PEN:
        return pen(PS_SOLID, RGB(0, 0, 0));
    case NULL_PEN:
        return pen(PS_NULL, 0);
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT:
        return std::make_unique<Font>();
    default:
        return nullptr;
    }
}

} // namespace

void* Register(std::unique_ptr<Object> object) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    void* handle = object.get();
    if (object->stock)
        ++t.stockCount;
    t.objects.emplace(handle, std::move(object));
    return handle;
}

void Destroy(Object* object) {
    std::unique_ptr<Object> doomed;
    {
        Table& t = table();
        std::lock_guard lock(t.mutex);
        auto it = t.objects.find(object);
        if (it == t.objects.end() || it->second->stock)
            return;
        doomed = std::move(it->second);
        t.objects.erase(it);
    }
}

Object* Find(const void* handle) {
    if (!handle)
        return nullptr;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(handle);
    return it == t.objects.end() ? nullptr : it->second.get();
}

DWORD LiveCount() {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return static_cast<DWORD>(t.objects.size()) - t.stockCount;
}

Object* Stock(int index) {
    static std::once_flag once;
    static Object* stock[DEFAULT_GUI_FONT + 1] = {};
    std::call_once(once, [] {
        for (int i = 0; i <= DEFAULT_GUI_FONT; ++i) {
            auto object = makeStock(i);
            if (object) {
                object->stock = true;
                stock[i] = static_cast<Object*>(Register(std::move(object)));
            }
        }
    });
    return index >= 0 && index <= DEFAULT_GUI_FONT ? stock[index] : nullptr;
}

Bitmap* StockBitmap() {
    static Bitmap* bitmap = [] {
        auto b = std::make_unique<Bitmap>();
        b->stock = true;
        b->image = QImage(1, 1, QImage::Format_RGB32);
        b->image.fill(Qt::black);
        return static_cast<Bitmap*>(Register(std::move(b)));
    }();
    return bitmap;
}

QImage* Dc::surface() const {
    switch (dcKind) {
    case DcKind::Memory:
        // The stand-in bitmap is shared by all memory DCs: nothing draws into it.
        return bitmap && !bitmap->stock ? &bitmap->image : nullptr;
    case DcKind::Image:
    case DcKind::Window:
        return image;
    case DcKind::Painter:
        if (painter && painter->device() && painter->device()->devType() == QInternal::Image)
            return static_cast<QImage*>(painter->device());
        return nullptr;
    case DcKind::Screen:
        return nullptr;
    }
    return nullptr;
}

int Dc::surfaceWidth() const {
    if (dcKind == DcKind::Screen || dcKind == DcKind::Painter)
        return width;
    const QImage* s = surface();
    return s ? s->width() : width;
}

int Dc::surfaceHeight() const {
    if (dcKind == DcKind::Screen || dcKind == DcKind::Painter)
        return height;
    const QImage* s = surface();
    return s ? s->height() : height;
}

Canvas::Canvas(Dc& dc) {
    if (dc.dcKind == DcKind::Painter) {
        if (dc.painter && dc.painter->isActive()) {
            m_painter = dc.painter;
            m_painter->save();
            m_restore = true;
        }
    } else if (QImage* image = dc.surface(); image && !image->isNull()) {
        if (m_own.begin(image))
            m_painter = &m_own;
    }
    if (m_painter)
        m_painter->setRenderHint(QPainter::Antialiasing, false);
}

Canvas::~Canvas() {
    if (m_restore)
        m_painter->restore();
    else if (m_own.isActive())
        m_own.end();
}

void Canvas::fill(int x0, int y0, int x1, int y1, COLORREF color, int rop2) {
    if (!m_painter || x1 <= x0 || y1 <= y0)
        return;
    QPainter::CompositionMode mode = QPainter::CompositionMode_Source;
    switch (rop2) {
    case R2_NOP:
        return;
    case R2_BLACK:
        color = RGB(0, 0, 0);
        break;
    case R2_WHITE:
        color = RGB(255, 255, 255);
        break;
    case R2_COPYPEN:
        break;
    case R2_NOT:
        mode = QPainter::RasterOp_NotDestination;
        break;
    case R2_XORPEN:
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case R2_NOTXORPEN:
        mode = QPainter::RasterOp_NotSourceXorDestination;
        break;
    case R2_MASKPEN:
        mode = QPainter::RasterOp_SourceAndDestination;
        break;
    case R2_MERGEPEN:
        mode = QPainter::RasterOp_SourceOrDestination;
        break;
    case R2_NOTCOPYPEN:
        mode = QPainter::RasterOp_NotSource;
        break;
    case R2_NOTMERGEPEN:
        mode = QPainter::RasterOp_NotSourceAndNotDestination;
        break;
    case R2_NOTMASKPEN:
        mode = QPainter::RasterOp_NotSourceOrNotDestination;
        break;
    case R2_MASKPENNOT:
        mode = QPainter::RasterOp_SourceAndNotDestination;
        break;
    case R2_MASKNOTPEN:
        mode = QPainter::RasterOp_NotSourceAndDestination;
        break;
    case R2_MERGEPENNOT:
        mode = QPainter::RasterOp_SourceOrNotDestination;
        break;
    case R2_MERGENOTPEN:
        mode = QPainter::RasterOp_NotSourceOrDestination;
        break;
    default:
        break;
    }
    m_painter->setCompositionMode(mode);
    m_painter->fillRect(QRect(x0, y0, x1 - x0, y1 - y0), QColor::fromRgb(ColorRefToRgb(color)));
}

} // namespace kivic::gdi
