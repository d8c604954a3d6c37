// The recent-file list: kept newest first in the profile, shown in the menus in place of the
// ID_FILE_MRU_FILE1 item, and opened again through the application.
#include <algorithm>

#include "platform/afx/afxwin.h"

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize)
    : m_nStart(nStart), m_strSection(lpszSection), m_strEntryFormat(lpszEntryFormat),
      m_nSize(std::clamp(nSize, 0, CWinApp::kMaxRecentFiles)) {}

int CRecentFileList::Find(LPCTSTR lpszPathName) const {
    // Names that differ by case name other files.
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (m_names[i].Compare(lpszPathName) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void CRecentFileList::Add(LPCTSTR lpszPathName) {
    if (lpszPathName == nullptr || *lpszPathName == '\0' || m_nSize == 0)
        return;
    // Newest first; a name already listed moves to the top.
    const CString name(lpszPathName);
    if (const int listed = Find(name); listed >= 0)
        m_names.erase(m_names.begin() + listed);
    m_names.insert(m_names.begin(), name);
    if (static_cast<int>(m_names.size()) > m_nSize)
        m_names.resize(static_cast<size_t>(m_nSize));
}

void CRecentFileList::Remove(int nIndex) {
    if (nIndex >= 0 && nIndex < GetCount())
        m_names.erase(m_names.begin() + nIndex);
}

void CRecentFileList::ReadList() {
    m_names.clear();
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        CString name = app->GetProfileString(m_strSection, entry, "");
        if (!name.IsEmpty() && Find(name) < 0)
            m_names.push_back(name);
    }
}

void CRecentFileList::WriteList() {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return;
    std::vector<std::pair<CString, CString>> entries;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        entries.emplace_back(entry, i < GetCount() ? m_names[static_cast<size_t>(i)] : CString());
    }
    app->WriteProfileStrings(m_strSection, entries);
}

CString CRecentFileList::GetMenuText(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount())
        return CString();
    // An ampersand in a path is shown as itself, not taken as a mnemonic.
    CString path = m_names[static_cast<size_t>(nIndex)];
    path.Replace("&", "&&");
    const int number = nIndex + 1;
    CString text;
    if (number < 10)
        text.Format("&%d %s", number, path.GetString());
    else
        text.Format("%d&%d %s", number / 10, number % 10, path.GetString());
    return text;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI) {
    CMenu* menu = pCmdUI->m_pMenu;
    if (menu == nullptr) {
        pCmdUI->Enable(GetCount() > 0);
        return;
    }
    const UINT first = pCmdUI->m_nIndex;
    if (m_strPlaceholder.IsEmpty())
        menu->GetMenuString(first, m_strPlaceholder, MF_BYPOSITION);
    // The entries shown last time go; the first item stays as the anchor.
    for (int i = 1; i < m_nSize; ++i)
        menu->DeleteMenu(m_nStart + static_cast<UINT>(i), MF_BYCOMMAND);
    if (GetCount() == 0) {
        menu->ModifyMenu(first, MF_BYPOSITION | MF_STRING, m_nStart, m_strPlaceholder);
        pCmdUI->Enable(FALSE);
        return;
    }
    menu->ModifyMenu(first, MF_BYPOSITION | MF_STRING, m_nStart, GetMenuText(0));
    pCmdUI->Enable(TRUE);
    for (int i = 1; i < GetCount(); ++i)
        menu->InsertMenu(first + static_cast<UINT>(i), MF_BYPOSITION | MF_STRING,
                         m_nStart + static_cast<UINT>(i), GetMenuText(i));
    pCmdUI->m_nIndex = first + static_cast<UINT>(GetCount() - 1);
}

// --- The application's part ----------------------------------------------------------------------------

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    const int size = static_cast<int>(std::min<UINT>(nMaxMRU, kMaxRecentFiles));
    m_pRecentFileList =
        std::make_unique<CRecentFileList>(ID_FILE_MRU_FILE1, "Recent File List", "File%d", size);
    m_pRecentFileList->ReadList();
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName) {
    if (!m_pRecentFileList)
        return;
    m_pRecentFileList->Add(lpszPathName);
    m_pRecentFileList->WriteList();
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI) {
    if (m_pRecentFileList)
        m_pRecentFileList->UpdateMenu(pCmdUI);
    else
        pCmdUI->Enable(FALSE);
}

void CWinApp::OnOpenRecentFile(UINT nID) {
    if (!m_pRecentFileList)
        return;
    const int index = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    if (index < 0 || index >= m_pRecentFileList->GetCount())
        return;
    const CString path = (*m_pRecentFileList)[index];
    if (OpenDocumentFile(path) != nullptr)
        return;
    // The file is gone or unreadable (the open has said why): it leaves the list.
    m_pRecentFileList->Remove(m_pRecentFileList->Find(path));
    m_pRecentFileList->WriteList();
}
