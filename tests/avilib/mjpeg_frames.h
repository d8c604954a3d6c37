// Motion-JPEG frames for the tests: the recording system's form, one JPEG image whose scan holds both
// fields split by a restart marker, built from the two field images of the JPEG codec.
#pragma once

#include <vector>

#include "vomLib/avilib/MovieJpeg.h"

inline std::vector<uint8_t> MakeSplitFrame(const std::vector<uint8_t>& pixels, int width, int height) {
    CMovieJpeg jpeg;
    if (jpeg.Compress(pixels.data(), width, height, 75, 2, 0) != JPG_OK || !jpeg.Scan2().Found())
        return {};
    std::vector<uint8_t> frame = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x0E, 'J', 'F', 'I',
                                  'F',  0,    0,    0,    0,    0,    0,   0,   0};
    auto append = [&](const CMovieSegment& s) { frame.insert(frame.end(), s.data, s.data + s.length); };
    append(jpeg.Dqt());
    const size_t sof = frame.size();
    append(jpeg.Sof0());
    // The stored frame header gives the whole frame's height.
    frame[sof + 5] = static_cast<uint8_t>(height >> 8);
    frame[sof + 6] = static_cast<uint8_t>(height);
    append(jpeg.Sos());
    append(jpeg.Scan1());
    frame.push_back(0xFF);
    frame.push_back(0xD0);
    append(jpeg.Scan2());
    frame.push_back(0xFF);
    frame.push_back(0xD9);
    return frame;
}

// The positions of every FF <marker> in data.
inline std::vector<size_t> MarkerPositions(const uint8_t* data, size_t size, uint8_t marker) {
    std::vector<size_t> at;
    for (size_t i = 0; i + 1 < size; ++i)
        if (data[i] == 0xFF && data[i + 1] == marker)
            at.push_back(i);
    return at;
}
