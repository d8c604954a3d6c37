#include "vomLib/avilib/MovieInfoStream.h"

CMovieInfoStream::CMovieInfoStream(CMovieFile& file) : CMovieStream(file) {}

CMovieInfoStream::CMovieInfoStream(CMovieFile& file, DWORD fccType) : CMovieStream(file, fccType) {}

HRESULT CMovieInfoStream::ReadAll() {
    m_data.clear();
    HRESULT result = AVIStreamInfo(GetHandle(), &Info(), sizeof(AVISTREAMINFO));
    if (result != AVIERR_OK) {
        return result;
    }
    if (Info().dwLength == 0) {
        return AVIERR_NODATA;
    }
    // The block is the stream's last sample.
    const LONG position = static_cast<LONG>(Info().dwStart + Info().dwLength - 1);
    LONG size = GetSampleSize(position);
    if (size < 0) {
        return AVIERR_BADSIZE;
    }
    std::vector<BYTE> data(static_cast<std::size_t>(size));
    result = Read(data.empty() ? nullptr : data.data(), &size, position);
    if (result != AVIERR_OK) {
        return result;
    }
    data.resize(static_cast<std::size_t>(size));
    m_data = std::move(data);
    return AVIERR_OK;
}
