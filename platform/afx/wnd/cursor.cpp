#include "platform/afx/wnd/cursor.h"

#include <QCursor>
#include <QWidget>

#include "platform/afx/wnd/wnd.h"

namespace {

struct CursorEntry {
    UINT id;
    Qt::CursorShape shape;
};

// One handle per system cursor, alive for the whole run as on the system.
CursorEntry g_cursors[] = {
    {32512, Qt::ArrowCursor},     {32513, Qt::IBeamCursor},     {32514, Qt::WaitCursor},
    {32515, Qt::CrossCursor},     {32516, Qt::UpArrowCursor},   {32642, Qt::SizeFDiagCursor},
    {32643, Qt::SizeBDiagCursor}, {32644, Qt::SizeHorCursor},   {32645, Qt::SizeVerCursor},
    {32646, Qt::SizeAllCursor},   {32648, Qt::ForbiddenCursor},
};

HCURSOR g_current = nullptr;

CursorEntry* EntryOf(HCURSOR h) {
    for (CursorEntry& e : g_cursors) {
        if (reinterpret_cast<HCURSOR>(&e) == h)
            return &e;
    }
    return nullptr;
}

} // namespace

HCURSOR LoadCursorA(HINSTANCE, LPCSTR lpCursorName) {
    const auto id = static_cast<UINT>(reinterpret_cast<uintptr_t>(lpCursorName));
    for (CursorEntry& e : g_cursors) {
        if (e.id == id)
            return reinterpret_cast<HCURSOR>(&e);
    }
    return nullptr;
}

HCURSOR SetCursor(HCURSOR hCursor) {
    HCURSOR old = g_current;
    g_current = hCursor;
    CWnd* target = CWnd::GetCapture();
    if (target != nullptr && target->GetWidget() != nullptr) {
        if (CursorEntry* e = EntryOf(hCursor))
            target->GetWidget()->setCursor(QCursor(e->shape));
        else
            target->GetWidget()->unsetCursor();
    }
    return old;
}

HCURSOR GetCursor() {
    return g_current;
}

BOOL DestroyCursor(HCURSOR) {
    return TRUE;
}

UINT AfxCursorId(HCURSOR hCursor) {
    CursorEntry* e = EntryOf(hCursor);
    return e != nullptr ? e->id : 0;
}
