// An AVI file read together with the recording system's information streams ('NOTE' and 'CSTS') and
// its video streams.
#pragma once

#include <memory>
#include <vector>

#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieInfoStream.h"

class CMovieReader : public CMovieFile {
public:
    // Sample kinds of WriteSample.
    static constexpr int kVideoSample = 1;
    static constexpr int kCstsSample = 4;
    static constexpr int kNoteSample = 5;

    CMovieReader();
    // Opens at once; a failure is thrown as CMovieException with the mapped message.
    CMovieReader(LPCSTR name, UINT mode);
    ~CMovieReader() override;

    // Opens and reads the 'NOTE' and 'CSTS' streams whole and lists the video streams (streams of an
    // earlier call are dropped first). Returns 1, or 0 when a read failed; a missing information stream
    // is thrown as CMovieException {result, "Failed. Get AVI file stream"}.
    virtual int OpenInfoStreams();
    // The image size of the decoded frame at position of the index-th video stream; AVIERR_NODATA when
    // the frame cannot be decoded. A bad index is thrown as CMovieException.
    virtual HRESULT GetFrameSize(LONG position, LONG* size, int index);
    // One key-frame sample into the index-th video stream (kind 1), the 'CSTS' (4) or the 'NOTE' (5)
    // stream. A bad index or a missing stream is thrown as CMovieException; an unknown kind gives
    // AVIERR_BADPARAM.
    virtual HRESULT WriteSample(int kind, LPVOID data, LONG size, LONG position, int index);
    // A 640 x 480 'YRJQ' video stream, written uncompressed through a compressed stream whose format is
    // a packed 24-bit frame header; it becomes the last video stream. Returns the last result.
    virtual HRESULT CreateDefaultStream(DWORD rate);

    CMovieInfoStream* NoteStream() const { return m_note.get(); }
    CMovieInfoStream* CstsStream() const { return m_csts.get(); }
    int VideoStreamCount() const { return static_cast<int>(m_video.size()); }
    CMovieStream* VideoStream(int index) const;

private:
    CMovieStream& CheckedVideoStream(int index) const;

    // The compressed stream of CreateDefaultStream reads its options through a pointer.
    AVICOMPRESSOPTIONS m_defaultOptions{};
    std::unique_ptr<CMovieInfoStream> m_csts;
    std::unique_ptr<CMovieInfoStream> m_note;
    std::vector<std::unique_ptr<CMovieStream>> m_video;
    [[maybe_unused]] std::int32_t m_reserved0 = 0;
    [[maybe_unused]] std::int32_t m_reserved1 = -1;
};
