#include "fc/BREM_FC/BREMF.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <new>

#include "platform/win32/errors.h"

namespace {

// Line values that the open, seek and read failures carry; callers and logs know them by these.
constexpr int kLineOpen = 25;
constexpr int kLineSeek = 104;
constexpr int kLineRead = 106;

constexpr DWORD kHeaderBytes = 512;
// A file without the magic is a plain dump of frames of the camera's native size.
constexpr WORD kDumpWidth = 512;
constexpr WORD kDumpHeight = 480;
constexpr DWORD kDumpFrameBytes = DWORD{kDumpWidth} * kDumpHeight;

static_assert(offsetof(BremfHeader, DataOffset) == 4);
static_assert(offsetof(BremfHeader, TriggerTime) == 32);
static_assert(offsetof(BremfHeader, FrameRate) == 52);
static_assert(offsetof(BremfHeader, FrameWidth) == 60);
static_assert(offsetof(BremfHeader, DispWidth) == 66);
static_assert(offsetof(BremfHeader, CameraType) == 80);
static_assert(offsetof(BremfHeader, MemorySize) == 94);
static_assert(offsetof(BremfHeader, RecGain) == 96);
static_assert(offsetof(BremfHeader, SceneNo) == 100);
static_assert(offsetof(BremfHeader, RecWhiteBalance) == 224);

DWORD BigEndian32(const BYTE* p) {
    return (DWORD{p[0]} << 24) | (DWORD{p[1]} << 16) | (DWORD{p[2]} << 8) | DWORD{p[3]};
}

WORD BigEndian16(const BYTE* p) {
    return static_cast<WORD>((p[0] << 8) | p[1]);
}

// Copies the raw header and turns exactly its multi-byte numeric fields into host order; single bytes,
// the texts and the camera type stay as stored.
BremfHeader DecodeHeader(const BYTE* raw) {
    BremfHeader h;
    std::memcpy(&h, raw, sizeof h);
    h.DataOffset = BigEndian32(raw + 4);
    h.Reserved08 = BigEndian32(raw + 8);
    h.FileVer = BigEndian32(raw + 12);
    h.ImageLength = BigEndian32(raw + 20);
    h.NumFrames = BigEndian32(raw + 24);
    h.RecordedBegin = static_cast<LONG>(BigEndian32(raw + 28));
    h.FrameRate = BigEndian32(raw + 52);
    h.ShutterTime = BigEndian32(raw + 56);
    h.CameraVer = BigEndian32(raw + 84);
    h.CameraSN = BigEndian32(raw + 88);
    h.FrameWidth = BigEndian16(raw + 60);
    h.FrameHeight = BigEndian16(raw + 62);
    h.DispWidth = BigEndian16(raw + 66);
    h.DispHeight = BigEndian16(raw + 68);
    h.Reserved72 = BigEndian16(raw + 72);
    h.Reserved74 = BigEndian16(raw + 74);
    h.MemorySize = static_cast<SHORT>(BigEndian16(raw + 94));
    h.SceneNo = BigEndian16(raw + 100);
    return h;
}

BremfHeader DumpHeader(std::int64_t fileSize) {
    BremfHeader h{};
    h.DispWidth = kDumpWidth;
    h.DispHeight = kDumpHeight;
    h.FrameWidth = kDumpWidth;
    h.FrameHeight = kDumpHeight;
    h.ImageLength = static_cast<DWORD>(fileSize);
    h.NumFrames = static_cast<DWORD>(std::min<std::int64_t>(fileSize / kDumpFrameBytes, UINT32_MAX));
    h.RecChroma = 100;
    return h;
}

std::string SizeText(unsigned width, unsigned height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

[[noreturn]] void Refuse(int line, int code, const std::string& message) {
    throw BREMFException(__FILE__, line, code, ERROR_INVALID_DATA, message);
}

// Every size that later code multiplies or allocates from is checked here, before any use.
void CheckSizes(const BremfHeader& h) {
    if (h.FrameWidth == 0 || h.FrameHeight == 0) {
        Refuse(__LINE__, BREMF::ErrSizeZero,
               "BREMF invalid frame size " + SizeText(h.FrameWidth, h.FrameHeight));
    }
    if (h.DispWidth == 0 || h.DispHeight == 0) {
        Refuse(__LINE__, BREMF::ErrSizeZero,
               "BREMF invalid picture size " + SizeText(h.DispWidth, h.DispHeight));
    }
    if (h.DispWidth > h.FrameWidth || h.DispHeight > h.FrameHeight) {
        Refuse(__LINE__, BREMF::ErrPictureSize,
               "BREMF picture " + SizeText(h.DispWidth, h.DispHeight) + " larger than frame " +
                   SizeText(h.FrameWidth, h.FrameHeight));
    }
    const std::uint64_t framePixels = std::uint64_t{h.FrameWidth} * h.FrameHeight;
    if (framePixels > BREMF::MaxPixels) {
        Refuse(__LINE__, BREMF::ErrTooLarge,
               "BREMF frame too large: " + SizeText(h.FrameWidth, h.FrameHeight) + " (at most " +
                   std::to_string(BREMF::MaxPixels) + " pixels)");
    }
    // The converted picture travels with its size as a signed 32-bit value.
    const std::uint64_t bitmapSize = std::uint64_t{h.DispWidth} * h.DispHeight * 3 + 40;
    if (bitmapSize > static_cast<std::uint64_t>(INT32_MAX)) {
        Refuse(__LINE__, BREMF::ErrTooLarge,
               "BREMF picture too large: " + SizeText(h.DispWidth, h.DispHeight));
    }
}

} // namespace

BREMF::BREMF(const char* path, int readHeader) {
    try {
        open(path);
    } catch (const XOpen&) {
        throw BREMFException(__FILE__, kLineOpen, ErrOpen, GetLastError(),
                             std::string("can't open ") + (path ? path : ""));
    }
    if (readHeader) {
        ReadHeader();
    }
}

BREMF::~BREMF() {
    delete[] m_frame;
}

DWORD BREMF::ReadHeader() {
    m_valid = false;
    BYTE raw[kHeaderBytes] = {};
    DWORD got = 0;
    try {
        seek(0);
    } catch (const XSeek&) {
        throw BREMFException(__FILE__, kLineSeek, ErrSeek, GetLastError(), "BREMF seek error ");
    }
    try {
        got = read(raw, kHeaderBytes);
    } catch (const XRead&) {
        throw BREMFException(__FILE__, kLineRead, ErrRead, GetLastError(), "BREMF read error ");
    }
    const std::int64_t fileSize = size();
    if (fileSize < 0) {
        throw BREMFException(__FILE__, kLineRead, ErrRead, GetLastError(), "BREMF read error ");
    }

    BremfHeader header;
    if (got >= 4 && std::memcmp(raw, "CIMG", 4) == 0) {
        if (got < kHeaderBytes) {
            Refuse(__LINE__, ErrHeaderCut,
                   "BREMF header incomplete: " + std::to_string(got) + " of 512 bytes");
        }
        header = DecodeHeader(raw);
    } else {
        header = DumpHeader(fileSize);
    }
    CheckSizes(header);

    // Frame numbers are 32-bit values for every caller, so the last one must be one too.
    const std::int64_t first = header.RecordedBegin;
    const std::int64_t last = first + static_cast<std::int64_t>(header.NumFrames) - 1;
    if (last < first || last > INT32_MAX) {
        throw Range<long>::illegal{static_cast<long>(first), header.NumFrames};
    }

    const DWORD frameSize = DWORD{header.FrameWidth} * header.FrameHeight;
    const std::int64_t dataBytes = fileSize - static_cast<std::int64_t>(header.DataOffset);
    const std::int64_t whole = dataBytes > 0 ? dataBytes / frameSize : 0;
    const DWORD present = static_cast<DWORD>(std::min<std::int64_t>(whole, header.NumFrames));
    if (present == 0) {
        Refuse(__LINE__, ErrNoFrameData, "BREMF first frame missing or incomplete");
    }

    BYTE* frame = new (std::nothrow) BYTE[frameSize](); // never uninitialised bytes, even before a read
    if (frame == nullptr) {
        throw BREMFException(__FILE__, __LINE__, ErrNoMemory, ERROR_NOT_ENOUGH_MEMORY, "BREMF out of memory");
    }
    delete[] m_frame;
    m_frame = frame;
    m_header = header;
    m_frameSize = frameSize;
    m_dataOffset = header.DataOffset;
    m_first = static_cast<long>(first);
    m_last = static_cast<long>(last);
    m_current = m_first;
    m_framesPresent = present;
    m_valid = true;
    return got;
}

BYTE* BREMF::ReadFrame(long n) {
    if (!m_valid) {
        return m_frame;
    }
    if (std::min(m_last, n) < m_first) {
        n = m_first;
    } else if (n > m_last) {
        n = m_last;
    }
    m_current = n;
    const std::int64_t position = static_cast<std::int64_t>(n - m_first) * m_frameSize + m_dataOffset;
    seek(position);
    if (read(m_frame, m_frameSize) != m_frameSize) {
        // A frame that the file does not hold whole must not pass for the previous buffer's contents.
        SetLastError(ERROR_HANDLE_EOF);
        throw XRead{};
    }
    return m_frame;
}

long BREMF::GetShutterSpeed() const {
    // The shutter value is handled as a signed 32-bit number; the sums are formed in 64 bits and
    // wrapped so that no value of the field can overflow.
    const std::int32_t s = static_cast<std::int32_t>(m_header.ShutterTime);
    const std::int32_t c = static_cast<std::int32_t>(std::int64_t{s} - s / 5);
    const std::int32_t divisor = static_cast<std::int32_t>(std::int64_t{s} + s / 8);
    if (divisor == 0) {
        return 0;
    }
    const std::int32_t r = 1000000 / divisor;

    static constexpr struct {
        std::int32_t threshold;
        long value;
    } kSteps[] = {{4500, 0},  {4000, 4000}, {2000, 2000}, {1000, 1000}, {500, 500},
                  {200, 200}, {100, 100},   {50, 50},     {20, 20},     {10, 10}};
    long value = 0;
    for (const auto& step : kSteps) {
        if (step.threshold > c) {
            value = step.value;
        }
    }
    return std::int64_t{r} > std::int64_t{m_header.FrameRate} ? value : 0;
}

long BREMF::GetRecordedEnd() const {
    return static_cast<long>(std::int64_t{m_header.RecordedBegin} + std::int64_t{m_header.NumFrames} - 1);
}

std::int64_t BREMF::GetFileLength() const {
    return std::int64_t{m_header.DataOffset} + std::int64_t{m_header.ImageLength};
}

std::string BREMF::GetTriggerTime() const {
    const char* text = m_header.TriggerTime;
    const char* end = std::find(text, text + sizeof m_header.TriggerTime, '\0');
    return std::string(text, end);
}

DWORD BREMF::GetCameraType() const {
    const BYTE* b = m_header.CameraType;
    return DWORD{b[0]} | (DWORD{b[1]} << 8) | (DWORD{b[2]} << 16) | (DWORD{b[3]} << 24);
}

std::string DescribeBremfError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const vomException& e) {
        return e.Message();
    } catch (const vomRfile::XRead&) {
        return "BREMF read error: the frame is missing or cut short";
    } catch (const vomRfile::XSeek&) {
        return "BREMF seek error";
    } catch (const vomRfile::XOpen&) {
        return "BREMF open error";
    } catch (const Range<long>::illegal& e) {
        if (e.count == 0) {
            return "the recording holds no frames";
        }
        return "the recording's frame numbering or count is out of range: first frame " +
               std::to_string(e.first) + ", " + std::to_string(e.count) + " frames";
    } catch (const std::bad_alloc&) {
        return "not enough memory";
    } catch (...) {
        return {};
    }
}
