#include "KivIc/Documents/AviDoc.h"

#include <algorithm>
#include <vector>

#include "KivIc/Documents/FrameBlock.h"
#include "KivIc/Documents/FrameRateText.h"
#include "platform/win32/memory.h"

IMPLEMENT_DYNCREATE(CAviDoc, CTrackingDoc)

namespace {

const char kAviFilterProgId[] = "Ovisk.AVIFilter";
constexpr long kTextChunk = static_cast<long>(MAKEFOURCC('t', 'x', 't', 's'));

// The document title: the file name without folder and extension; a name that is all extension
// (".avi") stays whole.
CString TitleOf(const CString& fileName, const CString& ext) {
    return fileName.IsEmpty() ? ext : fileName;
}

} // namespace

CAviDoc::CAviDoc() : m_pAviFilter(std::make_unique<IAVIFilter>()) {
    // A missing server is told when a file is opened, not while the template makes the document.
    m_bAviFilterCreated = m_pAviFilter->CreateDispatch(kAviFilterProgId);
}

CAviDoc::~CAviDoc() {
    StopPlayThread();
    ReplaceFrameBitmap(nullptr);
    FreeFrameBuffer();
    m_pAviFilter->ReleaseDispatch();
}

// --- Opening and closing ----------------------------------------------------------------------------

BOOL CAviDoc::OnNewDocument() {
    return CTrackingDoc::OnNewDocument() ? TRUE : FALSE;
}

BOOL CAviDoc::OnOpenDocument(LPCTSTR lpszPathName) {
    if (!CTrackingDoc::OnOpenDocument(lpszPathName))
        return FALSE;
    SetSourcePath(lpszPathName, FALSE);
    if (!OpenSource(lpszPathName))
        return FALSE;
    const CString ext = GetExt();
    SetTypeText(ext.Left(1) == "." ? ext.Mid(1) : ext);
    SetLoop(FALSE);
    SetTitle(TitleOf(GetFileName(), GetExt()));
    SetPathText(lpszPathName);
    ReadFrameRate();
    long first = 0;
    long last = -1;
    GetFrameRange(&first, &last);
    if (last < first) {
        ReportOpenFailure(lpszPathName, "It holds no frames.");
        return FALSE;
    }
    OpenFrameRange(first, last);
    return TRUE;
}

void CAviDoc::OnCloseDocument() {
    // Nothing may fetch a frame from the closed source.
    StopPlayThread();
    CloseSource();
    CTrackingDoc::OnCloseDocument();
}

void CAviDoc::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU) {
    CTrackingDoc::SetPathName(lpszPathName, bAddToMRU);
    if (!GetFullPath().IsEmpty())
        SetTitle(TitleOf(GetFileName(), GetExt()));
}

void CAviDoc::ReportOpenFailure(LPCTSTR lpszPath, LPCTSTR lpszReason) {
    CString text;
    text.Format("Can't open%s\n%s", lpszPath != nullptr ? lpszPath : "", lpszReason);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

void CAviDoc::ReportFailure(CException* e) {
    StopPlaying();
    e->ReportError(MB_OK | MB_ICONEXCLAMATION);
    e->Delete();
}

void CAviDoc::ReportFrameFailure(long frame, CException* e) {
    StopPlaying();
    CString text;
    text.Format("Can't read frame %ld of %s\n%s", frame, GetFullPath().GetString(),
                DescribeFailure(e).GetString());
    e->Delete();
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

CString CAviDoc::DescribeFailure(CException* e) {
    char text[512] = {};
    if (e == nullptr || !e->GetErrorMessage(text, sizeof text) || text[0] == '\0')
        return CString("unknown failure");
    return CString(text);
}

BOOL CAviDoc::CanCallServer() const {
    if (!m_bAviFilterCreated)
        return FALSE;
    // The server is apartment-threaded: workers hand their calls to the GUI thread.
    if (!AfxIsGuiThread()) {
        OutputDebugStringA("CAviDoc: AVI filter server called off the GUI thread; call refused\n");
        return FALSE;
    }
    return TRUE;
}

// --- Source -----------------------------------------------------------------------------------------

BOOL CAviDoc::OpenSource(LPCTSTR lpszPath) {
    if (!m_bAviFilterCreated) {
        CString reason;
        reason.Format("The AVI filter server (%s) could not be created.", kAviFilterProgId);
        ReportOpenFailure(lpszPath, reason);
        return FALSE;
    }
    if (!CanCallServer())
        return FALSE;
    LONG count = 0;
    LONG size = 0;
    try {
        m_pAviFilter->Open(lpszPath);
        m_pAviFilter->GetFrameCount(&count);
        if (count >= 1)
            m_pAviFilter->GetBitmapSize(0, &size);
    } catch (CException* e) {
        // The server's reason alone would not say which of the files opened together it refused.
        ReportOpenFailure(lpszPath, DescribeFailure(e));
        e->Delete();
        return FALSE;
    }
    if (count < 1) {
        ReportOpenFailure(lpszPath, "It holds no video frames.");
        return FALSE;
    }
    if (size < static_cast<LONG>(sizeof(BITMAPINFOHEADER))) {
        ReportOpenFailure(lpszPath, "Its frames are no bitmaps.");
        return FALSE;
    }
    if (!AllocFrameBuffer(static_cast<size_t>(size))) {
        ReportOpenFailure(lpszPath, "There is no memory for its frames.");
        return FALSE;
    }
    return TRUE;
}

BOOL CAviDoc::OpenSourceStr(const CString& path) {
    return OpenSource(path.GetString());
}

BOOL CAviDoc::CloseSource() {
    FreeFrameBuffer();
    if (!CanCallServer())
        return TRUE;
    try {
        m_pAviFilter->Close();
    } catch (CException* e) {
        ReportFailure(e);
    }
    return TRUE;
}

BOOL CAviDoc::AllocFrameBuffer(size_t size) {
    FreeFrameBuffer();
    m_hFrameBuffer = GlobalAlloc(GHND, size);
    return m_hFrameBuffer != nullptr;
}

void CAviDoc::FreeFrameBuffer() {
    if (m_hFrameBuffer != nullptr) {
        GlobalFree(m_hFrameBuffer);
        m_hFrameBuffer = nullptr;
    }
}

void CAviDoc::GetImageSize(SIZE* pSize) {
    if (m_hFrameBuffer == nullptr || pSize == nullptr ||
        GlobalSize(m_hFrameBuffer) < sizeof(BITMAPINFOHEADER))
        return;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(m_hFrameBuffer));
    if (header == nullptr)
        return;
    pSize->cx = header->biWidth;
    pSize->cy = header->biHeight;
    GlobalUnlock(m_hFrameBuffer);
}

void CAviDoc::GetImageSizeWords(WORD* pWidth, WORD* pHeight) {
    SIZE size{};
    if (m_hFrameBuffer == nullptr)
        return;
    GetImageSize(&size);
    if (pWidth != nullptr)
        *pWidth = static_cast<WORD>(size.cx);
    if (pHeight != nullptr)
        *pHeight = static_cast<WORD>(size.cy);
}

BOOL CAviDoc::ReadStreamRange(LONG* pBegin, LONG* pEnd) {
    *pBegin = 0;
    *pEnd = 0;
    if (!CanCallServer())
        return FALSE;
    try {
        m_pAviFilter->GetRange(0, pBegin, pEnd);
    } catch (CException* e) {
        ReportFailure(e);
        return FALSE;
    }
    return TRUE;
}

void CAviDoc::GetFrameRange(long* pFirst, long* pLast) {
    LONG begin = 0;
    LONG end = 0;
    // An empty range unless the server tells one.
    const BOOL known = ReadStreamRange(&begin, &end);
    *pFirst = known ? begin : 0;
    *pLast = known ? static_cast<long>(end) - 1 : -1;
}

long CAviDoc::GetRangeBegin() {
    LONG begin = 0;
    LONG end = 0;
    ReadStreamRange(&begin, &end);
    return begin;
}

long CAviDoc::GetRangeEnd() {
    LONG begin = 0;
    LONG end = 0;
    ReadStreamRange(&begin, &end);
    return end;
}

// --- Frames -----------------------------------------------------------------------------------------

void CAviDoc::LoadFrame(long frame) {
    long first = 0;
    long last = -1;
    GetFrameRange(&first, &last);
    if (frame < first || frame > last)
        return;
    // Reported once everything is in order again: the message box lets other work of the GUI thread
    // run, the closing of this document included.
    CException* failure = nullptr;
    {
        CCriticalSectionLock lock(GetFrameLock());
        if (m_hFrameBuffer == nullptr || !CanCallServer())
            return;
        void* block = GlobalLock(m_hFrameBuffer);
        const size_t capacity = GlobalSize(m_hFrameBuffer);
        LONG written = 0;
        try {
            m_pAviFilter->GetBitmap(frame, block, capacity, &written);
            const size_t size = std::min(static_cast<size_t>(std::max<LONG>(written, 0)), capacity);
            if (!ShowFrameBlock(block, size)) {
                CString text;
                text.Format("CAviDoc::LoadFrame: frame %ld is no bitmap the display takes\n", frame);
                OutputDebugStringA(text);
            }
        } catch (CException* e) {
            failure = e;
        }
        GlobalUnlock(m_hFrameBuffer);
    }
    if (failure != nullptr)
        ReportFrameFailure(frame, failure);
}

BOOL CAviDoc::ShowFrameBlock(const void* block, size_t size) {
    HBITMAP bitmap = CreateFrameBitmap(block, size);
    if (bitmap == nullptr)
        return FALSE;
    ReplaceFrameBitmap(bitmap);
    return TRUE;
}

// --- Texts ------------------------------------------------------------------------------------------

void CAviDoc::ReadTextStream(CString& rText) {
    rText.Empty();
    if (!CanCallServer())
        return;
    CException* failure = nullptr;
    try {
        LONG length = 0;
        m_pAviFilter->GetStreamOptionData(kTextChunk, nullptr, 0, &length);
        if (length > kMaxTextStream) {
            CString text;
            text.Format("CAviDoc::ReadTextStream: text data of %ld bytes ignored\n",
                        static_cast<long>(length));
            OutputDebugStringA(text);
        } else if (length >= 1) {
            // Zero-filled one byte beyond the data, so the text always ends.
            std::vector<char> data(static_cast<size_t>(length) + 1, '\0');
            LONG read = length;
            m_pAviFilter->GetStreamOptionData(kTextChunk, data.data(), static_cast<size_t>(length), &read);
            rText = data.data();
        }
    } catch (CException* e) {
        failure = e;
    }
    if (failure != nullptr)
        ReportFailure(failure);
}

void CAviDoc::ReadFrameRate() {
    CString text;
    ReadTextStream(text);
    const int rate = ParseFrameRateText(text);
    if (rate > 0)
        SetFrameRate(rate);
}

CString CAviDoc::GetInformation() {
    CString text;
    ReadTextStream(text);
    return text;
}
