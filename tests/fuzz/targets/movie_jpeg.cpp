// Motion-JPEG frame rebuilding: the segments of a JPEG frame and the two-field frame built of them,
// and every frame source over the video stream of an AVI file.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "tests/fuzz/targets/frame_guard.h"
#include "tests/fuzz/targets/fuzz_support.h"
#include "vomLib/avilib/FrameSource.h"
#include "vomLib/avilib/MjpgCodec.h"
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieStream.h"

namespace {

void Segments(const std::uint8_t* data, std::size_t size) {
    if (size > 0xFFFFFFFFu)
        return;
    for (BOOL twoFieldScan : {FALSE, TRUE}) {
        CMovieJpeg jpeg;
        jpeg.FindSegments(data, static_cast<DWORD>(size), twoFieldScan);
        std::vector<BYTE> frame(2 * size + 64);
        const DWORD built = jpeg.BuildTwoFieldFrame(frame.data(), static_cast<DWORD>(frame.size()));
        if (built > 0) {
            // What was built decodes, or fails cleanly.
            JpgImageInfo info;
            if (jpg_read_header(frame.data(), built, &info) == JPG_OK) {
                const std::size_t bytes = jpg_dib_size(info, JpgRows::Padded4);
                if (bytes > 0 && bytes <= (8u << 20)) {
                    std::vector<BYTE> out(bytes);
                    jpg_decompress_dib(frame.data(), out.data(), built, JPG_DCT_ACCURATE, out.size(),
                                       JpgRows::Padded4);
                }
            }
        }
    }
}

template <class Source> void Frames(CMovieStream& stream) {
    std::unique_ptr<Source> source;
    try {
        source = std::make_unique<Source>(stream);
    } catch (const CMovieException&) {
        return;
    }
    // The first frames and the end, each once: every frame of a centring source costs a 640 x 480
    // compression.
    const std::int64_t length = stream.Info().dwLength;
    std::vector<LONG> positions;
    for (std::int64_t p : {std::int64_t{0}, std::int64_t{1}, length - 1, length})
        positions.push_back(static_cast<LONG>(std::clamp<std::int64_t>(p, INT32_MIN, INT32_MAX)));
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (LONG position : positions) {
        BYTE* out = nullptr;
        DWORD outSize = 0;
        try {
            source->GetFrame(position, &out, &outSize);
        } catch (const CMovieException&) {
        }
        if (outSize > CMovieFrameSource::kBufferSize)
            std::abort(); // the sizes handed out lie inside the buffer
    }
}

void Sources(const std::uint8_t* data, std::size_t size) {
    InstallMjpgCodec(); // as the programs that read Motion-JPEG files do
    const char* path = fuzz::WriteInput(data, size, ".avi");
    try {
        CMovieFile file(path, OF_READ | OF_SHARE_DENY_WRITE);
        CMovieStream stream(file, static_cast<DWORD>(streamtypeVIDEO));
        if (fuzz::DeclaresHugeFrame(stream.GetHandle()))
            return;
        Frames<CJfifFrameSource>(stream);
        Frames<CMjpegFrameSource>(stream);
        Frames<CDibMjpegFrameSource>(stream);
    } catch (const CMovieException&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // AVI files go to the frame sources, anything else is taken as one stored frame.
    if (size >= 4 && data[0] == 'R' && data[1] == 'I' && data[2] == 'F' && data[3] == 'F')
        Sources(data, size);
    else
        Segments(data, size);
    return 0;
}
