#include "vomLib/Control/PosInFrame.h"

IMPLEMENT_DYNCREATE(CPosInFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CPosInFrame, CMDIChildWnd)
ON_MESSAGE(0xBD0, OnQuiet)
ON_MESSAGE(0xBD1, OnQuiet)
ON_MESSAGE(0xFB8, OnQuiet)
ON_MESSAGE(0xFB9, OnQuiet)
ON_MESSAGE(0xFBA, OnQuiet)
ON_WM_SIZE()
END_MESSAGE_MAP()

CPosInFrame::CPosInFrame() = default;

BOOL CPosInFrame::PreCreateWindow(CREATESTRUCT& cs) {
    return CMDIChildWnd::PreCreateWindow(cs) ? TRUE : FALSE;
}
