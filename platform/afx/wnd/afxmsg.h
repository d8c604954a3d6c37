// Window messages by number, the structures that travel with them, and the message maps through
// which a class names its handlers (BEGIN_MESSAGE_MAP ... END_MESSAGE_MAP).
#pragma once

#include "platform/afx/core/afxcore.h"
#include "platform/afx/wnd/afxtypes.h"

// --- Messages ---------------------------------------------------------------------------------------
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_SETCURSOR 0x0020
#define WM_NOTIFY 0x004E
#define WM_NCHITTEST 0x0084
#define WM_GETDLGCODE 0x0087
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115
#define WM_INITMENUPOPUP 0x0117
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MOUSEWHEEL 0x020A
#define WM_MDIACTIVATE 0x0222
#define WM_MDITILE 0x0226
#define WM_MDICASCADE 0x0227
#define WM_IDLEUPDATECMDUI 0x0363
#define WM_INITIALUPDATE 0x0364
#define WM_USER 0x0400
#define WM_APP 0x8000

// Mouse key state in wParam.
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010
#define WHEEL_DELTA 120

// WM_SIZE kinds.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

// Scroll bars and their request codes.
#define SB_HORZ 0
#define SB_VERT 1
#define SB_CTL 2
#define SB_BOTH 3
#define SB_LINEUP 0
#define SB_LINELEFT 0
#define SB_LINEDOWN 1
#define SB_LINERIGHT 1
#define SB_PAGEUP 2
#define SB_PAGELEFT 2
#define SB_PAGEDOWN 3
#define SB_PAGERIGHT 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_TOP 6
#define SB_LEFT 6
#define SB_BOTTOM 7
#define SB_RIGHT 7
#define SB_ENDSCROLL 8
#define SIF_RANGE 0x0001
#define SIF_PAGE 0x0002
#define SIF_POS 0x0004
#define SIF_DISABLENOSCROLL 0x0008
#define SIF_TRACKPOS 0x0010
#define SIF_ALL (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)

// Keys.
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_TAB 0x09
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28

// WM_GETDLGCODE answers.
#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTCHARS 0x0080

// Show commands.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5
#define SW_SHOWMAXIMIZED 3
#define SW_MINIMIZE 6
#define SW_RESTORE 9

// Window styles.
#define WS_OVERLAPPED 0x00000000u
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_MINIMIZE 0x20000000u
#define WS_VISIBLE 0x10000000u
#define WS_DISABLED 0x08000000u
#define WS_CLIPSIBLINGS 0x04000000u
#define WS_CLIPCHILDREN 0x02000000u
#define WS_MAXIMIZE 0x01000000u
#define WS_CAPTION 0x00C00000u
#define WS_BORDER 0x00800000u
#define WS_VSCROLL 0x00200000u
#define WS_HSCROLL 0x00100000u
#define WS_SYSMENU 0x00080000u
#define WS_THICKFRAME 0x00040000u
#define WS_TABSTOP 0x00010000u
#define WS_MINIMIZEBOX 0x00020000u
#define WS_MAXIMIZEBOX 0x00010000u
#define WS_OVERLAPPEDWINDOW                                                                                  \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_CHILDWINDOW WS_CHILD
#define WS_EX_TOPMOST 0x00000008u
#define FWS_ADDTOTITLE 0x00008000u

// Command ids the framework gives meaning to.
#define IDC_STATIC (-1)
#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_CLOSE 0xE102
#define ID_FILE_MRU_FILE1 0xE110
#define ID_FILE_MRU_FILE2 0xE111
#define ID_FILE_MRU_FILE3 0xE112
#define ID_FILE_MRU_FILE4 0xE113
#define ID_FILE_MRU_FILE5 0xE114
#define ID_FILE_MRU_FILE6 0xE115
#define ID_FILE_MRU_FILE7 0xE116
#define ID_FILE_MRU_FILE8 0xE117
#define ID_FILE_MRU_FILE9 0xE118
#define ID_FILE_MRU_FILE10 0xE119
#define ID_FILE_MRU_FILE16 0xE11F
#define ID_APP_EXIT 0xE141
#define ID_APP_ABOUT 0xE140
#define ID_WINDOW_CASCADE 0xE132
#define ID_WINDOW_TILE_HORZ 0xE133
#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F
// Control-bar styles: the sides a bar may dock at (and docks at first), and the border it draws.
#define CBRS_ALIGN_LEFT 0x1000u
#define CBRS_ALIGN_TOP 0x2000u
#define CBRS_ALIGN_RIGHT 0x4000u
#define CBRS_ALIGN_BOTTOM 0x8000u
#define CBRS_ALIGN_ANY 0xF000u
#define CBRS_BORDER_LEFT 0x0100u
#define CBRS_BORDER_TOP 0x0200u
#define CBRS_BORDER_RIGHT 0x0400u
#define CBRS_BORDER_BOTTOM 0x0800u
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// Control notifications (WM_COMMAND high word).
#define BN_CLICKED 0
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300

// --- Structures --------------------------------------------------------------------------------------
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
using LPNMHDR = NMHDR*;

struct SCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};
using LPSCROLLINFO = SCROLLINFO*;

struct CREATESTRUCT {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};
using LPCREATESTRUCT = CREATESTRUCT*;

#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELRESULT(l, h) (static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(l, h))))
#define GET_X_LPARAM(lp) (static_cast<int>(static_cast<short>(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (static_cast<int>(static_cast<short>(HIWORD(lp))))

// --- Message maps ----------------------------------------------------------------------------------
class CCmdTarget;
class CCmdUI;

// Everything a handler may need from the message that reached it.
struct AFX_CALL {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;         // commands and notifications
    int nCode;        // command notification code
    void* pExtra;     // CCmdUI* for update handlers, NMHDR* for notifications
    LRESULT* pResult; // notifications
    LRESULT result;   // the handler's answer to the sender
};

// What a WM_NOTIFY handler search carries in pExtra.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

using AFX_THUNK = BOOL (*)(CCmdTarget* target, AFX_CALL& call);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // WM_COMMAND for commands and update handlers, WM_NOTIFY for notifications
    int nCode;     // CN_COMMAND, CN_UPDATE_COMMAND_UI or the control notification code
    UINT nID;      // first id (0 for window messages)
    UINT nLastID;  // last id of a range
    AFX_THUNK pfn; // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI (-1)

#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const AFX_MSGMAP* GetThisMessageMap();                                                            \
    const AFX_MSGMAP* GetMessageMap() const override;

// Handlers are called through small thunks that know the class, so a handler may be a protected member
// of the class whose map names it.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                                      \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                                        \
        using ThisClass = theClass;                                                                          \
        using TheBaseClass = baseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    { 0, 0, 0, 0, nullptr }                                                                                  \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};            \
    return &messageMap;                                                                                      \
    }

#define KIVIC_THUNK(body) [](CCmdTarget* t, AFX_CALL& c) -> BOOL { body; }
#define KIVIC_SELF static_cast<ThisClass*>(t)
#define KIVIC_PT CPoint(GET_X_LPARAM(c.lParam), GET_Y_LPARAM(c.lParam))

// Commands and their update handlers.
#define ON_COMMAND(id, memberFxn)                                                                            \
    {                                                                                                        \
        WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id),                                \
            KIVIC_THUNK((void)c; KIVIC_SELF->memberFxn(); return TRUE)                                       \
    }                                                                                                        \
    ,
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                              \
    {                                                                                                        \
        WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(idLast),                            \
            KIVIC_THUNK(KIVIC_SELF->memberFxn(c.nID); return TRUE)                                           \
    }                                                                                                        \
    ,
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                                  \
    {                                                                                                        \
        WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(id), static_cast<UINT>(id),                      \
            KIVIC_THUNK(KIVIC_SELF->memberFxn(static_cast<CCmdUI*>(c.pExtra)); return TRUE)                  \
    }                                                                                                        \
    ,
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                                    \
    {                                                                                                        \
        WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(id), static_cast<UINT>(idLast),                  \
            KIVIC_THUNK(KIVIC_SELF->memberFxn(static_cast<CCmdUI*>(c.pExtra)); return TRUE)                  \
    }                                                                                                        \
    ,
#define ON_CONTROL(code, id, memberFxn)                                                                      \
    {                                                                                                        \
        WM_COMMAND, static_cast<int>(code), static_cast<UINT>(id), static_cast<UINT>(id),                    \
            KIVIC_THUNK((void)c; KIVIC_SELF->memberFxn(); return TRUE)                                       \
    }                                                                                                        \
    ,
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn)                                                                       \
    {                                                                                                        \
        WM_NOTIFY, static_cast<int>(code), static_cast<UINT>(id), static_cast<UINT>(id),                     \
            KIVIC_THUNK(KIVIC_SELF->memberFxn(static_cast<NMHDR*>(c.pExtra), c.pResult); return TRUE)        \
    }                                                                                                        \
    ,

// Window messages.
#define ON_MESSAGE(message, memberFxn)                                                                       \
    {                                                                                                        \
        static_cast<UINT>(message), 0, 0, 0,                                                                 \
            KIVIC_THUNK(c.result = KIVIC_SELF->memberFxn(c.wParam, c.lParam); return TRUE)                   \
    }                                                                                                        \
    ,
#define ON_WM_CREATE()                                                                                       \
    {                                                                                                        \
        WM_CREATE, 0, 0, 0,                                                                                  \
            KIVIC_THUNK(c.result = KIVIC_SELF->OnCreate(reinterpret_cast<LPCREATESTRUCT>(c.lParam));         \
                        return TRUE)                                                                         \
    }                                                                                                        \
    ,
#define ON_WM_DESTROY()                                                                                      \
    { WM_DESTROY, 0, 0, 0, KIVIC_THUNK((void)c; KIVIC_SELF->OnDestroy(); return TRUE) }                      \
    ,
#define ON_WM_CLOSE()                                                                                        \
    { WM_CLOSE, 0, 0, 0, KIVIC_THUNK((void)c; KIVIC_SELF->OnClose(); return TRUE) }                          \
    ,
#define ON_WM_PAINT()                                                                                        \
    { WM_PAINT, 0, 0, 0, KIVIC_THUNK((void)c; KIVIC_SELF->OnPaint(); return TRUE) }                          \
    ,
#define ON_WM_SIZE()                                                                                         \
    {                                                                                                        \
        WM_SIZE, 0, 0, 0,                                                                                    \
            KIVIC_THUNK(KIVIC_SELF->OnSize(static_cast<UINT>(c.wParam), LOWORD(c.lParam), HIWORD(c.lParam)); \
                        return TRUE)                                                                         \
    }                                                                                                        \
    ,
#define ON_WM_ERASEBKGND()                                                                                   \
    {                                                                                                        \
        WM_ERASEBKGND, 0, 0, 0,                                                                              \
            KIVIC_THUNK(c.result =                                                                           \
                            KIVIC_SELF->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(c.wParam)));      \
                        return TRUE)                                                                         \
    }                                                                                                        \
    ,
#define KIVIC_MOUSE_ENTRY(msg, memberFxn)                                                                    \
    { msg, 0, 0, 0, KIVIC_THUNK(KIVIC_SELF->memberFxn(static_cast<UINT>(c.wParam), KIVIC_PT); return TRUE) } \
    ,
#define ON_WM_LBUTTONDOWN() KIVIC_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() KIVIC_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() KIVIC_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() KIVIC_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() KIVIC_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEMOVE() KIVIC_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_MOUSEWHEEL()                                                                                   \
    {                                                                                                        \
        WM_MOUSEWHEEL, 0, 0, 0,                                                                              \
            KIVIC_THUNK(c.result = KIVIC_SELF->OnMouseWheel(LOWORD(c.wParam),                                \
                                                            static_cast<short>(HIWORD(c.wParam)), KIVIC_PT); \
                        return TRUE)                                                                         \
    }                                                                                                        \
    ,
#define ON_WM_HSCROLL()                                                                                      \
    {                                                                                                        \
        WM_HSCROLL, 0, 0, 0,                                                                                 \
            KIVIC_THUNK(KIVIC_SELF->OnHScroll(                                                               \
                LOWORD(c.wParam), static_cast<short>(HIWORD(c.wParam)),                                      \
                reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam))));          \
                        return TRUE)                                                                         \
    }                                                                                                        \
    ,
#define ON_WM_VSCROLL()                                                                                      \
    {                                                                                                        \
        WM_VSCROLL, 0, 0, 0,                                                                                 \
            KIVIC_THUNK(KIVIC_SELF->OnVScroll(                                                               \
                LOWORD(c.wParam), static_cast<short>(HIWORD(c.wParam)),                                      \
                reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam))));          \
                        return TRUE)                                                                         \
    }                                                                                                        \
    ,
#define ON_WM_KEYDOWN()                                                                                      \
    {                                                                                                        \
        WM_KEYDOWN, 0, 0, 0,                                                                                 \
            KIVIC_THUNK(KIVIC_SELF->OnKeyDown(static_cast<UINT>(c.wParam), 1, 0); return TRUE)               \
    }                                                                                                        \
    ,
#define ON_WM_SETFOCUS()                                                                                     \
    {                                                                                                        \
        WM_SETFOCUS, 0, 0, 0,                                                                                \
            KIVIC_THUNK(KIVIC_SELF->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)));          \
                        return TRUE)                                                                         \
    }                                                                                                        \
    ,
#define ON_WM_KILLFOCUS()                                                                                    \
    {                                                                                                        \
        WM_KILLFOCUS, 0, 0, 0,                                                                               \
            KIVIC_THUNK(KIVIC_SELF->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)));         \
                        return TRUE)                                                                         \
    }                                                                                                        \
    ,
#define ON_WM_TIMER()                                                                                        \
    { WM_TIMER, 0, 0, 0, KIVIC_THUNK(KIVIC_SELF->OnTimer(static_cast<UINT_PTR>(c.wParam)); return TRUE) }    \
    ,
#define ON_WM_GETDLGCODE()                                                                                   \
    { WM_GETDLGCODE, 0, 0, 0, KIVIC_THUNK(c.result = KIVIC_SELF->OnGetDlgCode(); return TRUE) }              \
    ,
#define ON_WM_MDIACTIVATE()                                                                                  \
    {                                                                                                        \
        WM_MDIACTIVATE, 0, 0, 0,                                                                             \
            KIVIC_THUNK(CWnd* self = KIVIC_SELF;                                                             \
                        CWnd* activated = CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam));                \
                        KIVIC_SELF->OnMDIActivate(activated == self, activated,                              \
                                                  CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)));       \
                        return TRUE)                                                                         \
    }                                                                                                        \
    ,
