#include "platform/afx/doc/document.h"

#include <algorithm>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

CDocument::CDocument() = default;

CDocument::~CDocument() {
    if (m_pDocTemplate != nullptr)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle) {
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU) {
    m_strPathName = lpszPathName;
    CString name = m_strPathName;
    const int slash = std::max(name.ReverseFind('/'), name.ReverseFind('\\'));
    SetTitle(slash >= 0 ? name.Mid(slash + 1) : name);
    if (bAddToMRU && AfxGetApp() != nullptr)
        AfxGetApp()->AddToRecentFileList(lpszPathName);
}

void CDocument::AddView(CView* pView) {
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end())
        return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList() {
    // The last view gone closes an auto-deleting document.
    if (m_viewList.empty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts() {
    for (CView* view : m_viewList) {
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->OnUpdateFrameTitle(TRUE);
    }
}

POSITION CDocument::GetFirstViewPosition() const {
    return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CView* CDocument::GetNextView(POSITION& rPosition) const {
    const auto index = reinterpret_cast<uintptr_t>(rPosition) - 1;
    if (rPosition == nullptr || index >= m_viewList.size()) {
        rPosition = nullptr;
        return nullptr;
    }
    CView* view = m_viewList[index];
    rPosition = index + 1 < m_viewList.size() ? reinterpret_cast<POSITION>(index + 2) : nullptr;
    return view;
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
    std::vector<CView*> views = m_viewList;
    for (CView* view : views) {
        if (view != pSender)
            view->OnUpdate(pSender, lHint, pHint);
    }
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName) {
    // The file must be readable; the documents read their contents themselves.
    CFile file;
    CFileException fe;
    if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe)) {
        fe.ReportError();
        return FALSE;
    }
    file.Abort();
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument() {
    const BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE; // closing the frames must not delete us half-way
    while (!m_viewList.empty()) {
        CView* view = m_viewList.front();
        CFrameWnd* frame = view->GetParentFrame();
        if (frame != nullptr) {
            PreCloseFrame(frame);
            frame->DestroyWindow();
        } else {
            view->DestroyWindow();
        }
        // A view that is still listed after its window went away is dropped here.
        if (!m_viewList.empty() && m_viewList.front() == view)
            RemoveView(view);
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::CanCloseFrame(CFrameWnd*) {
    return SaveModified();
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate != nullptr && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// --- Templates --------------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass) {
    LoadTemplate();
}

CDocTemplate::~CDocTemplate() {
    delete m_pMenuShared;
}

void CDocTemplate::LoadTemplate() {
    AfxLoadString(m_nIDResource, m_strDocStrings);
    if (m_pMenuShared == nullptr && AfxFindMenu(m_nIDResource) != nullptr) {
        m_pMenuShared = new CMenu;
        m_pMenuShared->LoadMenu(m_nIDResource);
    }
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const {
    // Fields separated by newlines: title, document name, new-file name, filter, extension, ids.
    rString.Empty();
    int start = 0;
    for (int i = 0; i < static_cast<int>(index); ++i) {
        const int nl = m_strDocStrings.Find('\n', start);
        if (nl < 0)
            return FALSE;
        start = nl + 1;
    }
    const int nl = m_strDocStrings.Find('\n', start);
    rString = nl < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, nl - start);
    return !rString.IsEmpty();
}

void CDocTemplate::AddDocument(CDocument* pDoc) {
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
    pDoc->m_pDocTemplate = nullptr;
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch) {
    rpDocMatch = nullptr;
    // One file may go by several names ("sub/../a.avi", a link), and names that differ by case are
    // different files.
    const CString wanted = AfxCanonicalPath(lpszPathName);
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        CDocument* doc = GetNextDoc(pos);
        if (!doc->GetPathName().IsEmpty() && AfxCanonicalPath(doc->GetPathName()) == wanted) {
            rpDocMatch = doc;
            return yesAlreadyOpen;
        }
    }
    CString list;
    if (GetDocString(list, filterExt) && AfxExtensionListed(list, AfxFileExtension(lpszPathName)))
        return yesAttemptNative;
    return yesAttemptForeign;
}

CDocument* CDocTemplate::CreateNewDocument() {
    if (m_pDocClass == nullptr)
        return nullptr;
    auto* doc = static_cast<CDocument*>(m_pDocClass->CreateObject());
    if (doc == nullptr)
        return nullptr;
    AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    if (m_pFrameClass == nullptr)
        return nullptr;
    auto* frame = static_cast<CFrameWnd*>(m_pFrameClass->CreateObject());
    if (frame == nullptr)
        return nullptr;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        // LoadFrame failed before the window existed: the object is still ours.
        if (frame->GetSafeHwnd() == nullptr)
            delete frame;
        return nullptr;
    }
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified() {
    POSITION pos = GetFirstDocPosition();
    while (pos != nullptr) {
        if (!GetNextDoc(pos)->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
    POSITION pos = GetFirstDocPosition();
    std::vector<CDocument*> docs;
    while (pos != nullptr)
        docs.push_back(GetNextDoc(pos));
    for (CDocument* doc : docs)
        doc->OnCloseDocument();
}

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                     CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

CMultiDocTemplate::~CMultiDocTemplate() {
    std::vector<CDocument*> docs = m_docList;
    for (CDocument* doc : docs)
        doc->OnCloseDocument();
}

POSITION CMultiDocTemplate::GetFirstDocPosition() const {
    return m_docList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CDocument* CMultiDocTemplate::GetNextDoc(POSITION& rPos) const {
    const auto index = reinterpret_cast<uintptr_t>(rPos) - 1;
    if (rPos == nullptr || index >= m_docList.size()) {
        rPos = nullptr;
        return nullptr;
    }
    CDocument* doc = m_docList[index];
    rPos = index + 1 < m_docList.size() ? reinterpret_cast<POSITION>(index + 2) : nullptr;
    return doc;
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc) {
    CDocTemplate::AddDocument(pDoc);
    m_docList.push_back(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc) {
    CDocTemplate::RemoveDocument(pDoc);
    std::erase(m_docList, pDoc);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible) {
    CDocument* doc = CreateNewDocument();
    if (doc == nullptr)
        return nullptr;
    const BOOL bAutoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE; // a frame that fails must not take the document with it
    CFrameWnd* frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = bAutoDelete;
    if (frame == nullptr) {
        delete doc;
        return nullptr;
    }
    if (lpszPathName == nullptr) {
        CString name;
        GetDocString(name, docName);
        if (name.IsEmpty())
            name = "Untitled";
        CString title;
        title.Format("%s%u", name.GetString(), ++m_nUntitledCount);
        doc->SetTitle(title);
        if (!doc->OnNewDocument()) {
            frame->DestroyWindow();
            return nullptr;
        }
    } else {
        if (!doc->OnOpenDocument(lpszPathName)) {
            frame->DestroyWindow();
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}
