// The image-list bar: one row per open document (path name, document kind name), selected with the
// active document; a click brings the document's frame to the front.
#pragma once

#include "KivIc/Bars/BarOwners.h"
#include "KivIc/Bars/BarReportList.h"
#include "platform/afx/afxwin.h"

enum : UINT {
    IDD_IMGLISTBAR = 287,
    IDC_IMGLIST = 1074,
};

class CDlgBarImgList : public CDialogBar {
    DECLARE_DYNAMIC(CDlgBarImgList)
public:
    static void RegisterTemplate();
    // Creates the bar and its list in the parent (the main frame); FALSE on failure.
    BOOL CreateBar(CWnd* pParent);

    // Adds a row at the end: the path name, text (the document kind name) and the document's kind as
    // image. Nothing happens before the bar's window exists.
    void AddDocument(IImgListDocument* document, LPCTSTR text);
    void RemoveDocument(IImgListDocument* document);
    void SelectDocument(IImgListDocument* document);
    // TRUE when a listed document's base name equals name, whatever the case.
    BOOL IsOpen(LPCTSTR name);

    int GetItemCount() const { return m_nItems; }
    int GetSelectedCount() const;
    CBarReportList& GetList() { return m_list; }

private:
    void OnItemClicked(int item);

    CBarReportList m_list;
    int m_nItems = 0;
};
