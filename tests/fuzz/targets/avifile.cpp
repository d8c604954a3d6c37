// AVI files through the AVIFile layer: open, file and stream information, formats, samples, data
// chunks and the frame getter, in its default form and decoding to 24 bits.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/vfw/vfw.h"
#include "tests/fuzz/targets/frame_guard.h"
#include "tests/fuzz/targets/fuzz_support.h"
#include "vomLib/avilib/MjpgCodec.h"

namespace {

// Buffers the target hands out for sizes the library reports; the library checks sizes against the
// file (at most the fuzzer's 1 MiB), so a bigger one is a fault worth seeing, not a buffer to make.
constexpr LONG kMaxBuffer = 16 << 20;

// start + offset in 64 bits, kept inside the positions a LONG can name: start and length come from
// the file and their sum may pass the range.
LONG At(LONG start, std::int64_t offset) {
    return static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{start} + offset, INT32_MIN, INT32_MAX));
}

void ReadSamples(PAVISTREAM stream, const AVISTREAMINFOA& info) {
    const LONG start = AVIStreamStart(stream);
    const LONG length = AVIStreamLength(stream);
    const LONG positions[] = {start,
                              At(start, 1),
                              At(start, std::int64_t{length} - 1),
                              At(start, length),
                              -1,
                              static_cast<LONG>(info.dwLength / 2)};
    for (LONG position : positions) {
        LONG bytes = 0, samples = 0;
        if (FAILED(AVIStreamRead(stream, position, 1, nullptr, 0, &bytes, &samples)) || bytes < 0 ||
            bytes > kMaxBuffer)
            continue;
        std::vector<BYTE> buffer(static_cast<std::size_t>(bytes) + 1);
        AVIStreamRead(stream, position, 1, buffer.data(), bytes, &bytes, &samples);
        if (bytes > 1) // a buffer too small is refused
            AVIStreamRead(stream, position, 1, buffer.data(), bytes / 2, &bytes, &samples);
    }
}

void ReadDataChunks(PAVISTREAM stream) {
    const DWORD ids[] = {mmioFOURCC('s', 't', 'r', 'd'), mmioFOURCC('C', 'S', 'T', 'S'),
                         mmioFOURCC('N', 'O', 'T', 'E'), mmioFOURCC('t', 'x', 't', 's'),
                         mmioFOURCC('s', 't', 'r', 'n')};
    for (DWORD id : ids) {
        LONG size = 0;
        if (FAILED(AVIStreamReadData(stream, id, nullptr, &size)) || size < 0 || size > kMaxBuffer)
            continue;
        std::vector<BYTE> data(static_cast<std::size_t>(size) + 1);
        AVIStreamReadData(stream, id, data.data(), &size);
    }
}

void GetFrames(PAVISTREAM stream, LPBITMAPINFOHEADER wanted) {
    PGETFRAME getter = AVIStreamGetFrameOpen(stream, wanted);
    if (!getter)
        return;
    const LONG start = AVIStreamStart(stream);
    const LONG length = AVIStreamLength(stream);
    for (LONG position : {start, At(start, std::min(length, 3) - 1), At(start, length)})
        AVIStreamGetFrame(getter, position);
    AVIStreamGetFrameClose(getter);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InstallMjpgCodec(); // as the programs that read Motion-JPEG files do
    const char* path = fuzz::WriteInput(data, size, ".avi");
    PAVIFILE file = nullptr;
    if (FAILED(AVIFileOpenA(&file, path, OF_READ | OF_SHARE_DENY_WRITE, nullptr)))
        return 0;
    AVIFILEINFOA fileInfo{};
    AVIFileInfoA(file, &fileInfo, sizeof fileInfo);
    LONG dataSize = 0;
    if (SUCCEEDED(AVIFileReadData(file, mmioFOURCC('I', 'N', 'F', 'O'), nullptr, &dataSize)) &&
        dataSize > 0 && dataSize <= kMaxBuffer) {
        std::vector<BYTE> chunk(static_cast<std::size_t>(dataSize));
        AVIFileReadData(file, mmioFOURCC('I', 'N', 'F', 'O'), chunk.data(), &dataSize);
    }
    for (LONG index = 0; index < 8; ++index) {
        PAVISTREAM stream = nullptr;
        if (FAILED(AVIFileGetStream(file, &stream, 0, index)))
            break;
        AVISTREAMINFOA info{};
        AVIStreamInfoA(stream, &info, sizeof info);
        LONG formatSize = 0;
        if (SUCCEEDED(AVIStreamReadFormat(stream, 0, nullptr, &formatSize)) && formatSize > 0 &&
            formatSize <= kMaxBuffer) {
            std::vector<BYTE> format(static_cast<std::size_t>(formatSize));
            AVIStreamReadFormat(stream, 0, format.data(), &formatSize);
            LONG part = 8; // a smaller buffer receives the first bytes
            AVIStreamReadFormat(stream, 0, format.data(), &part);
        }
        ReadSamples(stream, info);
        ReadDataChunks(stream);
        if (info.fccType == streamtypeVIDEO && !fuzz::DeclaresHugeFrame(stream)) {
            GetFrames(stream, nullptr);
            BITMAPINFOHEADER rgb{};
            rgb.biSize = sizeof rgb;
            rgb.biPlanes = 1;
            rgb.biBitCount = 24;
            rgb.biCompression = BI_RGB;
            GetFrames(stream, &rgb);
        }
        AVIStreamRelease(stream);
    }
    AVIFileRelease(file);
    return 0;
}
