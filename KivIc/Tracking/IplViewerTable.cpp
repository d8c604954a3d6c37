#include "KivIc/Tracking/IplViewerTable.h"

#include <cstring>

#include <QEventLoop>

#include "KivIc/Play/GuiHandOff.h"
#include "KivIc/Tracking/IplViewerWnd.h"
#include "platform/afx/afxwin.h"

namespace {

// Viewers cascade by this many pixels.
constexpr int kCascade = 15;

const char kDefaultTitle[] = "IPLib image";

// The title cut to the slot's room, never inside a UTF-8 sequence.
void CopyTitle(char (&to)[128], const char* title) {
    if (title == nullptr || *title == '\0')
        title = kDefaultTitle;
    std::size_t length = std::strlen(title);
    if (length >= sizeof to) {
        length = sizeof to - 1;
        while (length > 0 && (static_cast<unsigned char>(title[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(to, title, length);
    to[length] = '\0';
}

// Made while the program's file-scope objects are built, on the thread that later runs the windows, so
// that the hand-over to that thread exists before any other thread asks for a viewer.
[[maybe_unused]] IplViewerTable& g_table = IplViewerTable::Instance();

} // namespace

IplViewerTable& IplViewerTable::Instance() {
    // Never destroyed: viewers may still be open while the program ends.
    static IplViewerTable* table = new IplViewerTable;
    return *table;
}

IplViewerTable::IplViewerTable() : m_handOff(std::make_unique<CGuiHandOff>()) {}

HANDLE IplViewerTable::Open(IplImage* display, const char* title, bool modal) {
    int free = -1;
    for (int i = 0; i < kMaxIplViewers && free < 0; ++i) {
        if (m_slots[i].window == nullptr)
            free = i;
    }
    if (free < 0) {
        iplDeallocate(display, IPL_IMAGE_ALL);
        MessageBoxA(
            nullptr,
            "Too many threads are beign executed. Please decrease number of viewers or use Modal mode.",
            "IPLib Viewer", MB_OK | MB_ICONERROR);
        return nullptr;
    }
    HANDLE closed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (closed == nullptr) {
        iplDeallocate(display, IPL_IMAGE_ALL);
        throw IplViewerException(1);
    }
    Slot& slot = m_slots[free];
    slot.window = new CIplViewerWnd(*this, free);
    slot.modal = modal;
    slot.image = display;
    slot.closed = closed;
    slot.loop = nullptr;
    CopyTitle(slot.title, title);
    const int count = ++m_count;
    if (!slot.window->CreateViewer(slot.title, display->width, display->height, modal, kCascade * count,
                                   kCascade * count)) {
        // A window that was never made has not gone through its own ending.
        if (m_slots[free].window != nullptr) {
            delete m_slots[free].window;
            Remove(free);
        }
        CloseHandle(closed);
        throw IplViewerException(1);
    }
    return closed;
}

void IplViewerTable::RunModal(HANDLE closed) {
    for (Slot& slot : m_slots) {
        if (slot.window != nullptr && slot.closed == closed) {
            QEventLoop loop;
            slot.loop = &loop;
            loop.exec();
            return;
        }
    }
}

void IplViewerTable::Remove(int index) {
    if (index < 0 || index >= kMaxIplViewers || m_slots[index].window == nullptr)
        return;
    Slot& slot = m_slots[index];
    iplDeallocate(slot.image, IPL_IMAGE_ALL);
    SetEvent(slot.closed);
    if (slot.loop != nullptr)
        slot.loop->quit();
    slot = Slot{};
    --m_count;
}

const IplImage* IplViewerTable::ImageOf(int index) const {
    return index >= 0 && index < kMaxIplViewers ? m_slots[index].image : nullptr;
}

int GetIplViewerCount() {
    return IplViewerTable::Instance().Count();
}
