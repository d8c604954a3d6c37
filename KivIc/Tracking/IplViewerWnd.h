// The window of one image viewer: a top-level window the size of the image that draws it and tells
// the viewer table when it goes. Enter and Escape close it like its close box.
#pragma once

#include "platform/afx/afxwin.h"

class IplViewerTable;

class CIplViewerWnd : public CWnd {
public:
    CIplViewerWnd(IplViewerTable& table, int slot) : m_table(table), m_slot(slot) {}

    // Makes and shows the window; a non-modal one at (left, top).
    BOOL CreateViewer(const char* title, int width, int height, bool modal, int left, int top);

    void OnPaint();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

protected:
    // The window lives on the heap; it leaves the table and deletes itself when it is gone.
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

private:
    IplViewerTable& m_table;
    int m_slot;
};
