// The raw camera document: a ".cm8" recording read through the raw camera file server
// ("BREM_FC.BremFc"), which converts each frame with its colour pipeline. The document opens the file,
// gives the convertible document the frames, their picture size (the header's display size) and the
// colour settings, and builds the information text from the recording's header.
//
// The recording's range, rate and picture size are read once when the file opens; they do not change
// while it is open. Without the server object the document calls nothing and every open fails with a
// message.
#pragma once

#include <memory>

#include "KivIc/Documents/FcDoc.h"
#include "KivIc/Servers/brem_fc.h"

class CKivDoc : public CFcDoc {
    DECLARE_DYNCREATE(CKivDoc)
public:
    CKivDoc();
    ~CKivDoc() override;

    // Opens the recording, allocates the frame buffer and makes the demosaic's green softer; FALSE
    // (the user told why) when the server is missing or refuses the file.
    BOOL OpenSource(LPCTSTR lpszPath) override;
    BOOL CloseSource() override;
    void GetFrameRange(long* pFirst, long* pLast) override;
    long GetRangeBegin() override;
    long GetRangeEnd() override;
    // The header's recording rate (frames per second) while a file is open.
    long GetRecordRate() override;
    // "Image Version=  1.02\nImage Size=  ..." from the header; the picture size is the raw frame's.
    CString GetInformation() override;

    long GetFrameWidth() override { return m_nWidth; }
    long GetFrameHeight() override { return m_nHeight; }
    long GetBitmapBytes() override { return m_nBitmapBytes; }
    void PutCurrentFrame(long frame) override;
    void ConvertBitmap(void* buffer, size_t capacity) override;
    // Shows "SetAwbSamplePos Failed." when the server refuses.
    BOOL SetAwbSamplePos(short x, short y) override;
    short GetGain() override;
    void PutGain(short value) override;
    short GetGamma() override;
    void PutGamma(short value) override;
    short GetEnhance() override;
    void PutEnhance(short value) override;
    short GetWhiteBalance() override;
    void PutWhiteBalance(short value) override;
    short GetChroma() override;
    void PutChroma(short value) override;
    short GetBrightness() override;
    void PutBrightness(short value) override;
    short GetContrast() override;
    void PutContrast(short value) override;
    std::vector<BYTE> GetPipelineSettings() override;

    // Whether the server object was created.
    BOOL HasBremFc() const { return m_bBremFcCreated; }

private:
    IBremFc& Server();
    // The recording's information text; throws what the server throws.
    CString ReadInformation();

    std::unique_ptr<IBremFc> m_pBremFc;
    BOOL m_bBremFcCreated = FALSE;
    // The user has been told already that the server object could not be created.
    BOOL m_bCreateReported = FALSE;
    long m_nFirst = 0;
    long m_nLast = -1;
    long m_nRate = 0;
    long m_nWidth = 0;
    long m_nHeight = 0;
    long m_nBitmapBytes = 0;
};
