// One stream of an AVI file. The stream object holds its own reference to the file, so the file stays
// open (and, when written, is finished) until its last stream is gone, whatever the order of release.
#pragma once

#include "platform/vfw/vfw.h"

class CMovieFile;

class CMovieStream {
public:
    // No stream yet: for Create.
    explicit CMovieStream(CMovieFile& file);
    // The index-th stream of any type, or the first stream of type fccType. Both throw CMovieException
    // {result, "Failed. Get AVI file stream"} when there is none.
    CMovieStream(CMovieFile& file, LONG index);
    CMovieStream(CMovieFile& file, DWORD fccType);
    virtual ~CMovieStream();
    CMovieStream(const CMovieStream&) = delete;
    CMovieStream& operator=(const CMovieStream&) = delete;

    // size in: the buffer's size; out: the format's size.
    virtual HRESULT ReadFormat(LPVOID format, LONG* size);
    // One sample at position; size in: the buffer's size, out: the bytes read.
    virtual HRESULT Read(LPVOID buffer, LONG* size, LONG position);
    // Keeps a copy of info and creates the stream on the file.
    virtual HRESULT Create(const AVISTREAMINFO* info);
    // Creates the stream from the kept copy.
    virtual HRESULT Create();
    // The compression-options choice for this stream; on OK the blocks the choice allocated are freed at
    // once, so options keep the handler, quality, key-frame rate, data rate and flags only. Returns 1 for
    // OK (or the non-zero result of the free), else the choice's result.
    virtual INT_PTR SaveOptions(AVICOMPRESSOPTIONS* options, HWND owner, UINT flags, int streamCount);
    virtual HRESULT SetFormat(LPVOID format, LONG size, LONG position);
    // One sample.
    virtual HRESULT Write(LONG position, LPVOID data, LONG size, DWORD flags);
    // An extra data chunk in the stream's header list (such as 'txts'); size 0 is allowed.
    virtual HRESULT WriteData(DWORD ckid, LPVOID data, LONG size);

    // The bytes of the sample at position; throws CMovieException {result, "cannot get stream length"}.
    LONG GetSampleSize(LONG position);

    PAVISTREAM GetHandle() const { return m_stream; }
    AVISTREAMINFO& Info() { return m_info; }
    const AVISTREAMINFO& Info() const { return m_info; }

protected:
    PAVIFILE m_file = nullptr;     // own reference
    PAVISTREAM m_stream = nullptr; // own reference
    AVISTREAMINFO m_info{};
};
