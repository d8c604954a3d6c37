#include "platform/afx/wnd/cmdtarget.h"

#include <QApplication>
#include <QCursor>

#include "platform/afx/wnd/menu.h"
#include "platform/afx/wnd/wnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(const AFX_MSGMAP* map, UINT message, int nCode, UINT nID) {
    for (; map != nullptr; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn != nullptr; ++e) {
            if (e->nMessage != message)
                continue;
            if (message != WM_COMMAND && message != WM_NOTIFY)
                return e;
            if (e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
                return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    // Notifications travel as (WM_NOTIFY << 16 | code); everything else is a WM_COMMAND code.
    UINT message = WM_COMMAND;
    int code = nCode;
    if (nCode != CN_UPDATE_COMMAND_UI && HIWORD(static_cast<DWORD>(nCode)) == WM_NOTIFY) {
        message = WM_NOTIFY;
        code = static_cast<int>(static_cast<short>(LOWORD(static_cast<DWORD>(nCode))));
    }
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), message, code, nID);
    if (e == nullptr && message == WM_NOTIFY) // codes given as unsigned 16-bit values in the map
        e = FindEntry(GetMessageMap(), message, static_cast<int>(LOWORD(static_cast<DWORD>(nCode))), nID);
    if (e == nullptr)
        return FALSE;
    if (pHandlerInfo != nullptr) {
        pHandlerInfo->pTarget = this;
        return TRUE;
    }
    AFX_CALL call{};
    call.message = message;
    call.nID = nID;
    call.nCode = code;
    call.pExtra = pExtra;
    if (message == WM_NOTIFY) {
        auto* notify = static_cast<AFX_NOTIFY*>(pExtra);
        call.pResult = notify->pResult;
        call.pExtra = notify->pNMHDR;
    }
    if (nCode == CN_UPDATE_COMMAND_UI) {
        auto* ui = static_cast<CCmdUI*>(pExtra);
        ui->m_bContinueRouting = FALSE;
        e->pfn(this, call);
        return !ui->m_bContinueRouting;
    }
    e->pfn(this, call);
    return TRUE;
}

void CCmdTarget::BeginWaitCursor() {
    if (QApplication::instance() != nullptr)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CCmdTarget::EndWaitCursor() {
    if (QApplication::instance() != nullptr && QApplication::overrideCursor() != nullptr)
        QApplication::restoreOverrideCursor();
}

// --- CCmdUI ------------------------------------------------------------------------------------------

void CCmdUI::Enable(BOOL bOn) {
    m_bEnabled = bOn ? TRUE : FALSE;
    m_bEnableChanged = TRUE;
    if (m_pMenu != nullptr)
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : MF_GRAYED));
    else if (m_pOther != nullptr)
        m_pOther->EnableWindow(bOn);
}

void CCmdUI::SetCheck(int nCheck) {
    m_nCheck = nCheck;
    if (m_pMenu != nullptr)
        m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    else if (m_pOther != nullptr)
        m_pOther->SetCheckState(nCheck);
}

void CCmdUI::SetText(LPCTSTR lpszText) {
    if (m_pMenu != nullptr)
        m_pMenu->SetItemText(m_nIndex, lpszText);
    else if (m_pOther != nullptr)
        m_pOther->SetWindowText(lpszText);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler) {
    if (m_nID == 0 || pTarget == nullptr)
        return TRUE;
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHandler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{nullptr};
        BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
    }
    return bResult;
}
