// Frame sources: two-field Motion-JPEG frames of 640 x 480 from any video stream.
#include <algorithm>
#include <cstring>

#include "platform/win32/memory.h"
#include "vomLib/avilib/FrameSource.h"
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieStream.h"

CMovieFrameSource::CMovieFrameSource(CMovieStream& stream)
    : m_buffer(new BYTE[kBufferSize]()), m_getter(stream, nullptr) {
    m_stream = stream.GetHandle();
    AVIStreamAddRef(m_stream);
}

CMovieFrameSource::~CMovieFrameSource() {
    AVIStreamRelease(m_stream);
}

LPBITMAPINFOHEADER CMovieFrameSource::DecodedFrame(LONG position) {
    return static_cast<LPBITMAPINFOHEADER>(m_getter.GetFrame(position));
}

BYTE* CMovieFrameSource::CenterFrameInBuffer(const BITMAPINFOHEADER* frame) {
    BYTE* buffer = m_buffer.get();
    std::memset(buffer, 0, kBufferSize);
    if (!frame || frame->biWidth <= 0 || frame->biHeight == 0 || frame->biBitCount != 24)
        return buffer;
    const int width = frame->biWidth;
    const int height = frame->biHeight < 0 ? -frame->biHeight : frame->biHeight;
    // Offsets truncate toward zero; a negative one crops the source centrally.
    const int x0 = (kWidth - width) / 2, y0 = (kHeight - height) / 2;
    const int sx = x0 < 0 ? -x0 : 0, sy = y0 < 0 ? -y0 : 0;
    const int dx = x0 < 0 ? 0 : x0, dy = y0 < 0 ? 0 : y0;
    const int columns = std::min(width - sx, kWidth - dx), rows = std::min(height - sy, kHeight - dy);
    const std::size_t stride = ICInputRowStride(frame);
    const BYTE* pixels = reinterpret_cast<const BYTE*>(frame) + frame->biSize;
    // The frame getter hands a stored sample out as it was read, and a sample of the recording system
    // may hold fewer bytes than its header's rows: only whole rows within the image size (always the
    // bytes the getter holds, 0 for none) are copied.
    const std::uint64_t bytes = frame->biSizeImage;
    const std::uint64_t wholeRows = stride ? bytes / stride : 0;
    for (int y = 0; y < rows; ++y) {
        const int sourceRow = sy + y;
        const int memoryRow = frame->biHeight < 0 ? height - 1 - sourceRow : sourceRow;
        if (static_cast<std::uint64_t>(memoryRow) >= wholeRows)
            continue;
        std::memcpy(buffer + static_cast<std::size_t>(dy + y) * kWidth * 3 + static_cast<std::size_t>(dx) * 3,
                    pixels + stride * static_cast<std::size_t>(memoryRow) + static_cast<std::size_t>(sx) * 3,
                    static_cast<std::size_t>(columns) * 3);
    }
    return buffer;
}

bool CMovieFrameSource::CompressBufferAsFields(const BYTE* pixels, BYTE** out, DWORD* outSize) {
    BYTE* block = nullptr;
    long length = 0;
    const int result =
        jpg_compress_fields(pixels, kWidth, kHeight, JpgRows::Packed, &block, &length, 75, 0, 0);
    const bool fits = result == JPG_OK && length > 0 && static_cast<DWORD>(length) <= kBufferSize;
    if (fits)
        std::memcpy(m_buffer.get(), block, static_cast<std::size_t>(length));
    if (block)
        GlobalFree(block);
    *out = m_buffer.get();
    *outSize = fits ? static_cast<DWORD>(length) : 0;
    return fits;
}

CJfifFrameSource::CJfifFrameSource(CMovieStream& stream) : CMovieFrameSource(stream) {}

LPBITMAPINFOHEADER CJfifFrameSource::GetFrame(LONG position, BYTE** out, DWORD* outSize) {
    LPBITMAPINFOHEADER frame = DecodedFrame(position);
    if (!frame)
        return nullptr;
    const BYTE* data = reinterpret_cast<const BYTE*>(frame) + sizeof(BITMAPINFOHEADER);
    m_jpeg.FindSegments(data, frame->biSizeImage, TRUE);
    std::memset(m_buffer.get(), 0, kBufferSize);
    *out = m_buffer.get();
    *outSize = m_jpeg.BuildTwoFieldFrame(m_buffer.get(), kBufferSize);
    return frame;
}

CMjpegFrameSource::CMjpegFrameSource(CMovieStream& stream) : CMovieFrameSource(stream) {}

LPBITMAPINFOHEADER CMjpegFrameSource::GetFrame(LONG position, BYTE** out, DWORD* outSize) {
    LPBITMAPINFOHEADER frame = DecodedFrame(position);
    if (!frame)
        return nullptr;
    if (frame->biWidth == kWidth && (frame->biHeight == kHeight || frame->biHeight == -kHeight)) {
        LONG bytes = 0;
        HRESULT result = AVIStreamRead(m_stream, position, 1, nullptr, 0, &bytes, nullptr);
        if (result == AVIERR_OK && static_cast<DWORD>(bytes) > kBufferSize)
            result = AVIERR_BUFFERTOOSMALL;
        if (result == AVIERR_OK)
            result = AVIStreamRead(m_stream, position, 1, m_buffer.get(), static_cast<LONG>(kBufferSize),
                                   &bytes, nullptr);
        if (result != AVIERR_OK)
            throw CMovieException(result, "Failed. GetJFIFFrame ");
        *out = m_buffer.get();
        *outSize = static_cast<DWORD>(bytes);
        return frame;
    }
    CompressBufferAsFields(CenterFrameInBuffer(frame), out, outSize);
    return frame;
}

CDibMjpegFrameSource::CDibMjpegFrameSource(CMovieStream& stream) : CMovieFrameSource(stream) {}

LPBITMAPINFOHEADER CDibMjpegFrameSource::GetFrame(LONG position, BYTE** out, DWORD* outSize) {
    LPBITMAPINFOHEADER frame = DecodedFrame(position);
    if (!frame)
        return nullptr;
    const bool fullSize = frame->biWidth == kWidth && frame->biHeight == kHeight && frame->biBitCount == 24 &&
                          frame->biSizeImage >= kBufferSize;
    const BYTE* pixels =
        fullSize ? reinterpret_cast<const BYTE*>(frame) + frame->biSize : CenterFrameInBuffer(frame);
    CompressBufferAsFields(pixels, out, outSize);
    return frame;
}
