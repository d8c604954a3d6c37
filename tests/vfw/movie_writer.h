// Writes a test movie the way the conversion does: an uncompressed video stream at 30 frames per second
// with a 'txts' chunk, a compressed stream made from it, packed 24-bit frames written as key frames.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/vfw/vfw.h"
#include "vfw/avi_test_util.h"

namespace avitest {

struct MovieDescription {
    std::string path;
    int width = 64;
    int height = 48;
    int frames = 5;
    FOURCC handler = mmioFOURCC('D', 'I', 'B', ' ');
    DWORD quality = 10000;
    std::string text;
};

// The packed rows of frame i in the order they are handed over.
using FrameRows = std::function<std::vector<uint8_t>(int)>;

// Lowers the writer's switch-over size while alive, so small test files get OpenDML RIFFs and indexes.
struct RiffLimit {
    explicit RiffLimit(ULONGLONG bytes) : previous(AVISetRiffSizeLimit(bytes)) {}
    ~RiffLimit() { AVISetRiffSizeLimit(previous); }
    RiffLimit(const RiffLimit&) = delete;
    RiffLimit& operator=(const RiffLimit&) = delete;
    ULONGLONG previous;
};

// The frames are MakeFrame's unless frame is given; topDown hands them over top row first (a negative
// height in the format).
inline HRESULT WriteMovie(const MovieDescription& desc, const FrameRows& frame = {}, bool topDown = false) {
    PAVIFILE file = nullptr;
    HRESULT hr = AVIFileOpenA(&file, desc.path.c_str(), OF_CREATE | OF_WRITE, nullptr);
    if (hr != AVIERR_OK)
        return hr;
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = 30;
    info.dwQuality = desc.quality;
    info.dwSuggestedBufferSize = static_cast<DWORD>(desc.width * desc.height * 3);
    info.rcFrame = {0, 0, desc.width, desc.height};
    PAVISTREAM source = nullptr;
    hr = AVIFileCreateStreamA(file, &source, &info);
    if (hr == AVIERR_OK)
        hr = AVIStreamWriteData(source, mmioFOURCC('t', 'x', 't', 's'), const_cast<char*>(desc.text.data()),
                                static_cast<LONG>(desc.text.size()));
    AVICOMPRESSOPTIONS options{};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = desc.handler;
    options.dwQuality = desc.quality;
    options.dwFlags = AVICOMPRESSF_VALID;
    PAVISTREAM compressed = nullptr;
    if (hr == AVIERR_OK)
        hr = AVIMakeCompressedStream(&compressed, source, &options, nullptr);
    const DWORD image = static_cast<DWORD>(desc.width * 3 * desc.height);
    const LONG height = topDown ? -desc.height : desc.height;
    BITMAPINFOHEADER header{40, desc.width, height, 1, 24, BI_RGB, image, 0, 0, 0, 0};
    if (hr == AVIERR_OK)
        hr = AVIStreamSetFormat(compressed, 0, &header, sizeof header);
    for (int i = 0; hr == AVIERR_OK && i < desc.frames; ++i) {
        auto pixels = frame ? frame(i) : MakeFrame(desc.width, desc.height, i);
        hr = AVIStreamWrite(compressed, i, 1, pixels.data(), static_cast<LONG>(pixels.size()), AVIIF_KEYFRAME,
                            nullptr, nullptr);
    }
    AVIStreamRelease(compressed);
    AVIStreamRelease(source);
    AVIFileRelease(file);
    return hr;
}

} // namespace avitest
