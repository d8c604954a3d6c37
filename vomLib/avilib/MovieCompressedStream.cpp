// Compressed streams and the query of a compressor's description.
#include "vomLib/avilib/MovieCompressedStream.h"
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieFile.h"

CMovieCompressedStream::CMovieCompressedStream(CMovieFile& file, CMovieStream& source,
                                               const AVICOMPRESSOPTIONS* options)
    : CMovieStream(file) {
    if (options) {
        m_options = *options;
        m_options.lpFormat = nullptr;
        m_options.cbFormat = 0;
        m_options.lpParms = nullptr;
        m_options.cbParms = 0;
    }
    const HRESULT result = options
                               ? AVIMakeCompressedStream(&m_stream, source.GetHandle(), &m_options, nullptr)
                               : AVIERR_BADPARAM;
    if (result != AVIERR_OK) {
        AVIFileRelease(m_file);
        m_file = nullptr;
        throw CMovieException(result, "Failed make compressed stream.");
    }
    AVIStreamInfoA(m_stream, &m_info, sizeof m_info);
}

LRESULT CMovieCompressedStream::GetCodecInfo(ICINFO* info) {
    const DWORD handler = m_options.fccHandler;
    if (handler == 0 || handler == mmioFOURCC('D', 'I', 'B', ' '))
        return 0;
    HIC hic = ICOpen(ICTYPE_VIDEO, handler, ICMODE_QUERY);
    if (!hic)
        return 0;
    const LRESULT bytes = ICGetInfo(hic, info, sizeof(ICINFO));
    ICClose(hic);
    return bytes;
}
