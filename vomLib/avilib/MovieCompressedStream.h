// A compressed view of an uncompressed stream of the same file: frames written to it are compressed by
// the chosen compressor and land in the source stream. It holds its own reference to the source, so
// the objects may be destroyed in any order; the file gets its headers and index when the last goes.
#pragma once

#include "vomLib/avilib/MovieStream.h"

class CMovieCompressedStream : public CMovieStream {
public:
    // Throws CMovieException {result, "Failed make compressed stream."} (for instance when the chosen
    // compressor is missing). The options are copied.
    CMovieCompressedStream(CMovieFile& file, CMovieStream& source, const AVICOMPRESSOPTIONS* options);
    ~CMovieCompressedStream() override = default;

    // The compressor's description into info: 0 for the uncompressed handler ('DIB ' or none) or when
    // no compressor opens for the handler, else the bytes ICGetInfo wrote. The compressor opened for
    // the question is closed again.
    virtual LRESULT GetCodecInfo(ICINFO* info);

    const AVICOMPRESSOPTIONS& Options() const { return m_options; }

private:
    AVICOMPRESSOPTIONS m_options{};
};
