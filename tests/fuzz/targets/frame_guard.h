// The frame getter decodes every declared pixel, however short the sample, and refuses only frames of
// more than 4096 x 4096 pixels. A few bytes of file can declare such a frame, and decoding one takes
// seconds under the sanitizers: the targets leave the frame getter out for streams whose decoded frame
// passes 4 MiB, so each input stays well under the fuzzer's one-second limit.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/vfw/vfw.h"

namespace fuzz {

// Whether the stream's format declares a decoded 24-bit frame of more than 4 MiB (1280 x 1024 fits; the
// cameras' frames are 640 x 480, under 1 MiB).
inline bool DeclaresHugeFrame(PAVISTREAM stream) {
    LONG size = 0;
    if (FAILED(AVIStreamReadFormat(stream, 0, nullptr, &size)) || size < LONG{sizeof(BITMAPINFOHEADER)})
        return false;
    std::vector<BYTE> format(static_cast<std::size_t>(size));
    if (FAILED(AVIStreamReadFormat(stream, 0, format.data(), &size)))
        return false;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(format.data());
    const std::uint64_t width = static_cast<std::uint64_t>(std::llabs(header->biWidth));
    const std::uint64_t height = static_cast<std::uint64_t>(std::llabs(header->biHeight));
    return (width * 3 + 3) / 4 * 4 * height > (4u << 20);
}

} // namespace fuzz
