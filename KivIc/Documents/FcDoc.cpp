#include "KivIc/Documents/FcDoc.h"

#include <algorithm>
#include <vector>

#include "KivIc/Documents/KivIds.h"
#include "KivIc/Documents/PackedFrame.h"
#include "platform/win32/memory.h"

IMPLEMENT_DYNAMIC(CFcDoc, CAviDoc)

BEGIN_MESSAGE_MAP(CFcDoc, CAviDoc)
ON_COMMAND(ID_IMAGE_RELOAD, Reload)
ON_COMMAND(ID_FILE_CONVERT_SAVE, OnConvertSave)
END_MESSAGE_MAP()

CFcDoc::CFcDoc() = default;

CFcDoc::~CFcDoc() = default;

// --- Frames -----------------------------------------------------------------------------------------

void CFcDoc::LoadFrame(long frame) {
    if (!m_bSourceOpen)
        return;
    // The source's server is apartment-threaded: the play thread hands its frame changes over.
    if (!AfxIsGuiThread()) {
        OutputDebugStringA("CFcDoc::LoadFrame: called off the GUI thread; frame not loaded\n");
        return;
    }
    // Reported once everything is in order again: the message box lets other work of the GUI thread
    // run, this document's play thread's next frame included.
    CException* failure = nullptr;
    {
        CCriticalSectionLock lock(GetFrameLock());
        if (m_hFrameBuffer == nullptr)
            return;
        void* block = GlobalLock(m_hFrameBuffer);
        const size_t capacity = GlobalSize(m_hFrameBuffer);
        try {
            PutCurrentFrame(frame);
            ConvertBitmap(block, capacity);
            if (!ShowPackedFrame(block, capacity)) {
                CString text;
                text.Format("CFcDoc::LoadFrame: frame %ld came back as no 24-bit picture\n", frame);
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

BOOL CFcDoc::ShowPackedFrame(const void* block, size_t size) {
    const size_t bytes = PackedFrameBytes(block, size);
    if (bytes == 0)
        return FALSE;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(block);
    // Rows of a width whose 3 x width is a multiple of 4 are already padded as the display wants them.
    if ((3 * header->biWidth) % 4 == 0)
        return ShowFrameBlock(block, bytes);
    std::vector<BYTE> padded;
    return PackedFrameToFrameBlock(block, bytes, &padded) && ShowFrameBlock(padded.data(), padded.size());
}

void CFcDoc::ReadFrameRate() {
    const long rate = GetRecordRate();
    if (rate >= 1)
        SetFrameRate(static_cast<int>(rate));
}

// --- Commands ---------------------------------------------------------------------------------------

void CFcDoc::Reload() {
    // A window made by File New has no file to read again.
    if (GetFullPath().IsEmpty())
        return;
    const long frame = GetCurrentFrame();
    CloseSource();
    if (!OpenSourceStr(GetFullPath())) {
        // Nothing is fetched from the closed source; the picture shown stays until a Reload works.
        SetSourceOpen(FALSE);
        if (IsPlaying())
            Stop();
        return;
    }
    TakeReloadedRange();
    SetCurrentFrame(frame, TRUE);
}

void CFcDoc::TakeReloadedRange() {
    // The file may have been written anew with other frames: the old numbers would name frames it
    // no longer holds, which the source would silently replace by its last one.
    long first = 0;
    long last = -1;
    GetFrameRange(&first, &last);
    if (last < first || (first == GetRecordBegin() && last == GetRecordEnd()))
        return;
    SetRecordBegin(first);
    SetRecordEnd(last);
    // A play range the user narrowed stays as far as the new frames hold it.
    long begin = std::max(GetPlayBegin(), first);
    long end = std::min(GetPlayEnd(), last);
    if (begin > end) {
        begin = first;
        end = last;
    }
    SetPlayBegin(begin);
    SetPlayEnd(end);
    if (IsActive()) {
        if (ICtrlBarOwner* bars = GetBarOwner()) {
            bars->SetCtrlBarRecordRange(first, last);
            bars->SetCtrlBarPlayRange(begin, end);
        }
    }
}

BOOL CFcDoc::ChangeSetting(void (CFcDoc::*put)(short), short value) {
    if (!m_bSourceOpen)
        return FALSE;
    try {
        (this->*put)(value);
    } catch (CException* e) {
        ReportFailure(e);
        return FALSE;
    }
    if (!IsPlaying())
        SetCurrentFrame(GetCurrentFrame(), TRUE);
    return TRUE;
}

BOOL CFcDoc::ReadSetting(short (CFcDoc::*get)(), short* pValue) {
    if (!m_bSourceOpen)
        return FALSE;
    try {
        *pValue = (this->*get)();
    } catch (CException* e) {
        OutputDebugStringA("CFcDoc: a colour setting could not be read: " + DescribeFailure(e) + "\n");
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL CFcDoc::SampleWhiteBalanceAt(int x, int y) {
    if (!m_bSourceOpen)
        return FALSE;
    const long shown = GetCurrentFrame();
    try {
        // The source may have moved on since this frame was made (a conversion reads every frame): the
        // sample is measured on the frame the user clicked.
        PutCurrentFrame(shown);
    } catch (CException* e) {
        ReportFrameFailure(shown, e);
        return FALSE;
    }
    if (!SetAwbSamplePos(static_cast<short>(x), static_cast<short>(y)))
        return FALSE;
    try {
        PutWhiteBalance(0);
    } catch (CException* e) {
        ReportFailure(e);
        return FALSE;
    }
    SetCurrentFrame(shown, TRUE);
    return TRUE;
}
