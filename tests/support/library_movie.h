// Writes a test movie with the AVI library's classes the way the conversion's one-thread path does:
// an uncompressed video stream at 30 frames per second with the quality in its header and the text as
// its 'txts' chunk (none when empty), a compressed stream made from it with the handler and quality, a
// packed 24-bit frame header, and the frames written as key frames (MakeFrame's unless frame gives
// them, packed rows bottom-up). A fatal test failure ends it early.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "vfw/movie_writer.h"
#include "vomLib/avilib/MovieBitmapInfo.h"
#include "vomLib/avilib/MovieCompressedStream.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieStreamInfo.h"

namespace avitest {

inline void WriteLibraryMovie(const MovieDescription& desc, const FrameRows& frame = {}) {
    CMovieFile file(desc.path.c_str(), OF_CREATE | OF_WRITE);
    CMovieStream stream(file);
    CMovieStreamInfo info(0, 0, desc.width, desc.height, static_cast<DWORD>(desc.width * desc.height * 3), 0,
                          1, 30);
    info.dwQuality = desc.quality;
    ASSERT_EQ(stream.Create(&info), AVIERR_OK);
    if (!desc.text.empty()) {
        ASSERT_EQ(stream.WriteData(mmioFOURCC('t', 'x', 't', 's'), const_cast<char*>(desc.text.data()),
                                   static_cast<LONG>(desc.text.size())),
                  AVIERR_OK);
    }
    AVICOMPRESSOPTIONS options{};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = desc.handler;
    options.dwQuality = desc.quality;
    options.dwFlags = AVICOMPRESSF_VALID;
    CMovieCompressedStream compressed(file, stream, &options);
    CMovieBitmapInfo header = CMovieBitmapInfo::Packed24(desc.width, desc.height);
    ASSERT_EQ(compressed.SetFormat(&header, sizeof header, 0), AVIERR_OK);
    for (int i = 0; i < desc.frames; ++i) {
        std::vector<uint8_t> rows = frame ? frame(i) : MakeFrame(desc.width, desc.height, i);
        ASSERT_EQ(compressed.Write(i, rows.data(), static_cast<LONG>(rows.size()), AVIIF_KEYFRAME),
                  AVIERR_OK);
    }
}

} // namespace avitest
