#include "vomLib/avilib/MovieReader.h"

#include "vomLib/avilib/MovieBitmapInfo.h"
#include "vomLib/avilib/MovieCompressedStream.h"
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieGetFrame.h"
#include "vomLib/avilib/MovieStreamInfo.h"

namespace {

constexpr DWORD kNoteType = MAKEFOURCC('N', 'O', 'T', 'E');
constexpr DWORD kCstsType = MAKEFOURCC('C', 'S', 'T', 'S');
constexpr LONG kDefaultWidth = 640;
constexpr LONG kDefaultHeight = 480;
constexpr DWORD kDefaultQuality = 75;

} // namespace

CMovieReader::CMovieReader() = default;

CMovieReader::CMovieReader(LPCSTR name, UINT mode) : CMovieFile(name, mode) {}

// The streams hold their own references to the file, so they may go before or after it.
CMovieReader::~CMovieReader() = default;

CMovieStream* CMovieReader::VideoStream(int index) const {
    return (index >= 0 && index < VideoStreamCount()) ? m_video[index].get() : nullptr;
}

CMovieStream& CMovieReader::CheckedVideoStream(int index) const {
    CMovieStream* stream = VideoStream(index);
    if (stream == nullptr) {
        throw CMovieException(AVIERR_BADPARAM, "no video stream of that index");
    }
    return *stream;
}

int CMovieReader::OpenInfoStreams() {
    m_note.reset();
    m_csts.reset();
    m_video.clear();
    AVIFILEINFO info{};
    if (GetInfo(&info) != AVIERR_OK) {
        return 0;
    }
    m_note = std::make_unique<CMovieInfoStream>(*this, kNoteType);
    const HRESULT note = m_note->ReadAll();
    m_csts = std::make_unique<CMovieInfoStream>(*this, kCstsType);
    const HRESULT csts = m_csts->ReadAll();
    std::vector<CMovieStream*> found;
    const HRESULT video = EnumStreams(&info, &found, streamtypeVIDEO);
    for (CMovieStream* stream : found) {
        m_video.emplace_back(stream);
    }
    return (note == AVIERR_OK && csts == AVIERR_OK && video == AVIERR_OK) ? 1 : 0;
}

HRESULT CMovieReader::GetFrameSize(LONG position, LONG* size, int index) {
    CMovieGetFrame getter(CheckedVideoStream(index), nullptr);
    const auto* frame = static_cast<const BITMAPINFOHEADER*>(getter.GetFrame(position));
    if (frame == nullptr) {
        return AVIERR_NODATA;
    }
    *size = static_cast<LONG>(frame->biSizeImage);
    return AVIERR_OK;
}

HRESULT CMovieReader::WriteSample(int kind, LPVOID data, LONG size, LONG position, int index) {
    CMovieStream* stream = nullptr;
    switch (kind) {
    case kVideoSample:
        stream = &CheckedVideoStream(index);
        break;
    case kCstsSample:
        stream = m_csts.get();
        break;
    case kNoteSample:
        stream = m_note.get();
        break;
    default:
        return AVIERR_BADPARAM;
    }
    if (stream == nullptr) {
        throw CMovieException(AVIERR_NODATA, "Failed. Get AVI file stream");
    }
    return stream->Write(position, data, size, AVIIF_KEYFRAME);
}

HRESULT CMovieReader::CreateDefaultStream(DWORD rate) {
    CMovieStream source(*this);
    const CMovieStreamInfo info = CMovieStreamInfo::Yrjq(
        kDefaultWidth, kDefaultHeight,
        static_cast<DWORD>(PackedFrameImageSize(kDefaultWidth, kDefaultHeight)), 1, rate, kDefaultQuality);
    HRESULT result = source.Create(&info);
    if (result != AVIERR_OK) {
        return result;
    }
    m_defaultOptions = AVICOMPRESSOPTIONS{};
    m_defaultOptions.fccType = streamtypeVIDEO;
    auto compressed = std::make_unique<CMovieCompressedStream>(*this, source, &m_defaultOptions);
    CMovieBitmapInfo header = CMovieBitmapInfo::Packed24(kDefaultWidth, kDefaultHeight);
    result = compressed->SetFormat(&header, sizeof header, 0);
    m_video.push_back(std::move(compressed));
    // The uncompressed stream's handle goes with source; the compressed stream keeps what it needs.
    return result;
}
