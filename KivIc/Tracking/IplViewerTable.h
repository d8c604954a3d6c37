// The open image viewers: up to ten windows on the GUI thread, each with its display image, title and
// the event that tells its caller that it was closed.
#pragma once

#include <atomic>
#include <memory>

#include "KivIc/Tracking/IplViewer.h"

class CGuiHandOff;
class CIplViewerWnd;
class QEventLoop;

class IplViewerTable {
public:
    static IplViewerTable& Instance();

    // The hand-over of calls from other threads to the GUI thread.
    CGuiHandOff& HandOff() { return *m_handOff; }
    int Count() const { return m_count.load(); }

    // GUI thread only. Takes the display image over and opens its window: the event that is signalled
    // when the window closes, or null when ten are open (the user is told). Throws IplViewerException
    // when the window cannot be made.
    HANDLE Open(IplImage* display, const char* title, bool modal);
    // GUI thread only: runs events until the viewer whose closing signals the event is closed.
    void RunModal(HANDLE closed);
    // Called by a viewer window as it goes.
    void Remove(int slot);
    const IplImage* ImageOf(int slot) const;

private:
    IplViewerTable();

    struct Slot {
        CIplViewerWnd* window = nullptr;
        bool modal = false;
        IplImage* image = nullptr;
        char title[128] = {};
        HANDLE closed = nullptr;
        QEventLoop* loop = nullptr;
    };

    Slot m_slots[kMaxIplViewers];
    std::atomic<int> m_count{0};
    std::unique_ptr<CGuiHandOff> m_handOff;
};
