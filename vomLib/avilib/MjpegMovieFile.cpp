// Motion-JPEG AVI files written with the library's own JPEG code.
#include "vomLib/Jpeg/jpglib32.h"
#include "vomLib/avilib/MjpegInfoChunks.h"
#include "vomLib/avilib/MjpegMovieFile.h"
#include "vomLib/avilib/MovieJpeg.h"
#include "vomLib/avilib/MovieStreamInfo.h"
#include "vomLib/avilib/Notes.h"

CMjpegMovieFile::CMjpegMovieFile() = default;

CMjpegMovieFile::CMjpegMovieFile(LPCSTR name, UINT mode) : CMovieFile(name, mode) {}

CMjpegMovieFile::CMjpegMovieFile(PAVIFILE handle) : CMovieFile(handle) {}

CMjpegMovieFile::~CMjpegMovieFile() {
    // The stream goes before the file's own reference.
    m_stream.reset();
}

HRESULT CMjpegMovieFile::MakeStream(LONG width, LONG height, DWORD rate, DWORD quality) {
    m_stream.reset();
    m_quality = quality;
    if (width <= 0 || height <= 0)
        return AVIERR_BADPARAM;
    const DWORD suggested = static_cast<DWORD>(width) * 3u * static_cast<DWORD>(height);
    auto stream = std::make_unique<CMovieStream>(*this);
    const CMovieStreamInfo info = CMovieStreamInfo::Mjpeg(width, height, 1, rate, quality, suggested);
    HRESULT result = stream->Create(&info);
    if (result != AVIERR_OK)
        return result;
    m_format = MjpegStreamFormat{};
    m_format.header.biSize = sizeof(MjpegStreamFormat);
    m_format.header.biWidth = width;
    m_format.header.biHeight = height;
    m_format.header.biPlanes = 1;
    m_format.header.biBitCount = 24;
    m_format.header.biCompression = mmioFOURCC('M', 'J', 'P', 'G');
    m_format.header.biSizeImage = suggested;
    m_format.jpegInfoOffset = 44;
    m_format.jpegSize = 24;
    m_format.jpegProcess = 0;
    m_format.jpegColorSpace = 2;
    m_format.jpegBitsPerSample = 8;
    m_format.jpegHSubsampling = 2;
    m_format.jpegVSubsampling = 1;
    result = stream->SetFormat(&m_format, sizeof m_format, 0);
    m_stream = std::move(stream);
    return result;
}

HRESULT CMjpegMovieFile::Create(LPCSTR name, DWORD, LONG width, LONG height, DWORD rate, DWORD quality) {
    m_stream.reset();
    m_quality = quality;
    const HRESULT result = Open(name, OF_CREATE | OF_WRITE);
    if (result != AVIERR_OK)
        return result;
    return MakeStream(width, height, rate, quality);
}

HRESULT CMjpegMovieFile::Recreate(DWORD, LONG width, LONG height, DWORD rate, DWORD quality) {
    return MakeStream(width, height, rate, quality);
}

HRESULT CMjpegMovieFile::WriteFrame(LONG position, LPVOID data, LONG size) {
    if (!m_stream)
        return AVIERR_BADHANDLE;
    return m_stream->Write(position, data, size, AVIIF_KEYFRAME);
}

HRESULT CMjpegMovieFile::CompressAndWrite(LONG position, const BYTE* pixels, DWORD) {
    if (!m_stream)
        return AVIERR_BADHANDLE;
    CMovieJpeg jpeg;
    const int result =
        jpeg.Compress(pixels, m_format.header.biWidth, m_format.header.biHeight,
                      jpg_quality_from_option(static_cast<long>(m_quality)), 1, 0, JpgRows::Packed);
    if (result != JPG_OK)
        return result == JPG_ERR_MEMORY ? AVIERR_MEMORY : AVIERR_COMPRESSOR;
    // The block is freed by the JPEG object when it goes.
    return WriteFrame(position, const_cast<BYTE*>(jpeg.Compressed()), jpeg.CompressedLength());
}

int CMjpegMovieFile::ReadInfoChunks(LPCSTR fileName, std::vector<std::string>& cstsList,
                                    std::vector<NOTES>& notesList) {
    return ::ReadInfoChunks(fileName, cstsList, notesList);
}
