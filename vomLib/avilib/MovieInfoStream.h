// A stream of the recording system's information blocks ('NOTE' or 'CSTS'): the stream holds one
// sample, which is read whole into a buffer the object owns.
#pragma once

#include <vector>

#include "vomLib/avilib/MovieStream.h"

class CMovieInfoStream : public CMovieStream {
public:
    explicit CMovieInfoStream(CMovieFile& file);
    // The first stream of type fccType; throws CMovieException {result, "Failed. Get AVI file stream"}
    // when the file has none.
    CMovieInfoStream(CMovieFile& file, DWORD fccType);
    ~CMovieInfoStream() override = default;

    // Reads the stream information, then the stream's last sample into the buffer. Returns the AVIFile
    // result (AVIERR_NODATA for a stream without samples); on failure the buffer is empty. A failed size
    // query is thrown as CMovieException {result, "cannot get stream length"}.
    HRESULT ReadAll();

    const BYTE* Data() const { return m_data.empty() ? nullptr : m_data.data(); }
    LONG Size() const { return static_cast<LONG>(m_data.size()); }

private:
    std::vector<BYTE> m_data;
};
