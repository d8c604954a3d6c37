// One AVI file through the AVIFile layer. Every object keeps the AVIFile library initialised while it
// lives; the file handle is released by the destructor (the file itself is finished when the last
// reference to it, the streams' included, goes).
#pragma once

#include <vector>

#include "platform/vfw/vfw.h"
#include "vomLib/avilib/MovieBase.h"

class CMovieStream;

class CMovieFile : public CMovieBase {
public:
    CMovieFile();
    // Opens at once; a failure is thrown as CMovieException with the mapped message.
    CMovieFile(LPCSTR name, UINT mode);
    // Wraps a handle that the caller holds (the object takes its own reference).
    explicit CMovieFile(PAVIFILE handle);
    ~CMovieFile() override;

    // With OF_CREATE an existing file of that name is deleted first. Returns the AVIFile result.
    virtual HRESULT Open(LPCSTR name, UINT mode);
    virtual HRESULT GetInfo(AVIFILEINFO* info);
    // Appends a new stream object for every stream of type fccType (0: all) to list; the caller owns
    // them. Returns the result of the last stream-information read.
    virtual HRESULT EnumStreams(const AVIFILEINFO* info, std::vector<CMovieStream*>* list, DWORD fccType);
    // Open (name, OF_CREATE | OF_WRITE).
    virtual HRESULT Create(LPCSTR name);
    // An extra chunk of the file header.
    virtual HRESULT WriteData(DWORD ckid, LPVOID data, LONG size);

    PAVIFILE GetHandle() const { return m_file; }
    LPCSTR GetName() const { return m_name; }

    // The message of a failed open, as CMovieFile (name, mode) throws it.
    static const char* OpenErrorMessage(HRESULT result);

protected:
    PAVIFILE m_file = nullptr;
    LPCSTR m_name = nullptr; // as the caller passed it (not copied)
};
