// Writes a test movie the way the conversion does: an uncompressed video stream at 30 frames per second
// with a 'txts' chunk, a compressed stream made from it, packed 24-bit frames written as key frames.
#pragma once

#include <string>

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

inline HRESULT WriteMovie(const MovieDescription& desc) {
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
    BITMAPINFOHEADER header{40, desc.width, desc.height, 1, 24, BI_RGB, image, 0, 0, 0, 0};
    if (hr == AVIERR_OK)
        hr = AVIStreamSetFormat(compressed, 0, &header, sizeof header);
    for (int i = 0; hr == AVIERR_OK && i < desc.frames; ++i) {
        auto pixels = MakeFrame(desc.width, desc.height, i);
        hr = AVIStreamWrite(compressed, i, 1, pixels.data(), static_cast<LONG>(pixels.size()), AVIIF_KEYFRAME,
                            nullptr, nullptr);
    }
    AVIStreamRelease(compressed);
    AVIStreamRelease(source);
    AVIFileRelease(file);
    return hr;
}

} // namespace avitest
