// The AVI document: reads an AVI movie through the AVI filter server ("Ovisk.AVIFilter") and supplies
// the playback and tracking layers with its frames, frame range, rate ("Frame_Rate:" in the video
// stream's 'txts' chunk) and information text. It is also the base of the convertible and raw camera
// documents, which replace its source operations.
//
// Every server call runs on the GUI thread (the play thread hands its frame changes over). A server
// failure is shown to the user with the server's own text and never leaves the document: an open
// fails, a frame that cannot be read leaves the picture as it was and ends playing.
#pragma once

#include <memory>

#include "KivIc/Servers/aviFilter.h"
#include "KivIc/Tracking/TrackingDoc.h"

class CAviDoc : public CTrackingDoc {
    DECLARE_DYNCREATE(CAviDoc)
public:
    CAviDoc();
    ~CAviDoc() override;

    BOOL OnNewDocument() override;
    // Opens the movie and shows its first frame; FALSE (the user told why) when the file cannot be
    // read, the server is missing or the movie holds no frames.
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    // The play thread ends, the source is closed, then the playback layer's closing.
    void OnCloseDocument() override;
    // The framework's, keeping the title this document gave itself (the file name without folder and
    // extension).
    void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE) override;
    // Frames outside GetFrameRange leave the display bitmap as it is.
    void LoadFrame(long frame) override;
    // The text of the 'txts' chunk.
    CString GetInformation() override;
    CString GetNoteText() override { return CString(); }
    int GetDocKind() override { return 3; }

    // --- Source operations (the convertible and raw camera documents replace them) ---------------------
    virtual BOOL OpenSource(LPCTSTR lpszPath);
    virtual BOOL OpenSourceStr(const CString& path);
    virtual BOOL CloseSource();
    // Width and height of the buffered frame as its header gives them; untouched without a buffer.
    virtual void GetImageSize(SIZE* pSize);
    virtual void GetImageSizeWords(WORD* pWidth, WORD* pHeight);
    // First and last frame; an empty range (0, -1) when the source cannot tell.
    virtual void GetFrameRange(long* pFirst, long* pLast);
    // The stream's range as the server gives it: begin, and end one past the last frame.
    virtual long GetRangeBegin();
    virtual long GetRangeEnd();
    // The rate of the "Frame_Rate:" line of the text data; without one the rate stays.
    virtual void ReadFrameRate();
    // The 'txts' chunk of the video stream up to its first zero byte; empty when there is none (or it
    // is longer than kMaxTextStream).
    void ReadTextStream(CString& rText);

    // Whether the server object was created.
    BOOL HasAviFilter() const { return m_bAviFilterCreated; }

    // The longest text chunk read.
    static constexpr long kMaxTextStream = 1L << 20;

protected:
    // Tells the user what the framework exception says and deletes it; a playing document stops. Call
    // it last: the message box lets other work of the GUI thread run.
    void ReportFailure(CException* e);
    // Tells the user that the frame could not be made, of which file, and why; deletes the exception.
    // A playing document stops first. Call it last: the message box lets other work of the GUI thread
    // run.
    void ReportFrameFailure(long frame, CException* e);
    // The exception's description ("unknown failure" when it has none).
    static CString DescribeFailure(CException* e);
    // Makes the display bitmap from a frame block (see FrameBlock.h) and puts it in place of the
    // previous one; FALSE (the picture unchanged) when the block is malformed.
    BOOL ShowFrameBlock(const void* block, size_t size);
    // Frees the frame buffer and allocates a zeroed one of that size; FALSE when there is no memory.
    BOOL AllocFrameBuffer(size_t size);
    void FreeFrameBuffer();
    // Begin and end of the video stream; FALSE (both 0, the user told of a failure) when unknown.
    BOOL ReadStreamRange(LONG* pBegin, LONG* pEnd);
    // The server object exists and this is the GUI thread (the only one that calls the server).
    BOOL CanCallServer() const;
    // The user is told that the file could not be opened, and why.
    static void ReportOpenFailure(LPCTSTR lpszPath, LPCTSTR lpszReason);

    std::unique_ptr<IAVIFilter> m_pAviFilter;
    BOOL m_bAviFilterCreated = FALSE;
};
