// Objects that receive commands: the message-map owner, and the update-UI object through which menu
// items, toolbar and dialog-bar buttons learn whether they are enabled and checked.
#pragma once

#include "platform/afx/wnd/afxmsg.h"

class CMenu;
class CWnd;

// Filled by OnCmdMsg when the caller only asks whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Looks for a handler of command nID with notification nCode in this object's message maps and
    // runs it (or, with pHandlerInfo, only reports it). Derived classes widen the search (a view asks
    // its document, a frame its view, ...).
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The wait cursor while a long command runs.
    void BeginWaitCursor();
    void EndWaitCursor();

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    // The first entry of the message-map chain that handles message (and, for commands, nCode/nID).
    static const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, int nCode, UINT nID);
};

// The state of one user-interface element for one command id. DoUpdate asks the command target; when no
// update handler answered and bDisableIfNoHandler is set, the element is enabled exactly when some
// object on the route handles the command.
class CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE) { SetCheck(bOn ? 1 : 0); }
    virtual void SetText(LPCTSTR lpszText);
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    CMenu* m_pMenu = nullptr;
    CMenu* m_pSubMenu = nullptr;
    CWnd* m_pOther = nullptr; // a control of a bar
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
    // What the update handlers decided (readable by tests and bars).
    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
};
