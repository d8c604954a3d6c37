// Reader of the camera's raw recordings (".cm8"): a 512-byte big-endian header, then the frames, each
// FrameWidth x FrameHeight 8-bit Bayer samples.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/win32/types.h"
#include "vomLib/Utility/vomRfile.h"

// The recording header in host byte order. Field names follow the recording format.
struct BremfHeader {
    char Magic[4];    // "CIMG"
    DWORD DataOffset; // file offset of the first frame
    DWORD Reserved08;
    DWORD FileVer;
    BYTE Reserved16[4];
    DWORD ImageLength; // bytes of frame data
    DWORD NumFrames;
    LONG RecordedBegin;   // number of the first frame; negative before the trigger
    char TriggerTime[16]; // "YYMMDDhhmmss" then the fraction, NUL-terminated
    BYTE SegmentNo;
    BYTE CameraID;
    BYTE Zoom;
    BYTE Reserved51;
    DWORD FrameRate;
    DWORD ShutterTime;
    WORD FrameWidth;
    WORD FrameHeight;
    BYTE Reserved64[2];
    WORD DispWidth;
    WORD DispHeight;
    BYTE Reserved70[2];
    WORD Reserved72;
    WORD Reserved74;
    BYTE Reserved76[4];
    BYTE CameraType[4]; // file byte order, handed out as a little-endian 32-bit value
    DWORD CameraVer;
    DWORD CameraSN;
    BYTE VideoType;
    BYTE Reserved93;
    SHORT MemorySize;
    signed char RecGain;
    BYTE Reserved97[3];
    WORD SceneNo;
    BYTE Reserved102[122];
    BYTE RecWhiteBalance;
    BYTE RecGamma;
    BYTE RecEnhance;
    BYTE RecChroma;
    BYTE Reserved228[284];
};
static_assert(sizeof(BremfHeader) == 512, "the recording header is 512 bytes");

// Thrown for open and header failures: code 1 open, 2 seek, 3 read, 4 and up the header checks below.
class BREMFException : public vomException {
public:
    using vomException::vomException;
};

// Thrown when the header's frame range is empty or leaves the 32-bit frame numbers.
template <class T> struct Range {
    struct illegal {
        T first = 0;             // the header's first frame number
        std::uint32_t count = 0; // and frame count; 0 when the range is empty
    };
};

class BREMF : public vomRfile {
public:
    // Codes of BREMFException.
    enum Error {
        ErrOpen = 1,
        ErrSeek = 2,
        ErrRead = 3,
        ErrHeaderCut = 4,   // the magic is there but the 512-byte header is not whole
        ErrSizeZero = 5,    // a frame or picture width or height of 0
        ErrPictureSize = 6, // the picture is larger than the frame
        ErrTooLarge = 7,    // more pixels than MaxPixels, or a bitmap that a 32-bit size cannot hold
        ErrNoFrameData = 8, // the file ends before its first frame is whole
        ErrNoMemory = 9,    // the frame buffer cannot be allocated
    };
    // The largest frame or picture accepted, in pixels (4096 x 4096). The camera's frames are well below
    // a megapixel; the cap leaves room for larger sensors while bounding the frame buffer at 16 MiB and
    // the colour pipeline's 16-bit work planes (about 30 bytes per pixel) at about half a gigabyte, so a
    // damaged header cannot make the server allocate gigabytes.
    static constexpr DWORD MaxPixels = 4096u * 4096u;

    BREMF(const char* path, int readHeader);
    ~BREMF() override;
    BREMF(const BREMF&) = delete;
    BREMF& operator=(const BREMF&) = delete;

    // Reads the header and sets up the frame addressing; returns the bytes read.
    DWORD ReadHeader();
    // Clamps n into [first, last], makes it current and reads that frame into the reader's buffer.
    // A frame that the file does not hold whole throws vomRfile::XRead (last error ERROR_HANDLE_EOF); a
    // failed seek throws vomRfile::XSeek. Either way the reader stays valid and n stays current.
    BYTE* ReadFrame(long n);
    long GetShutterSpeed() const;

    const BremfHeader& Header() const { return m_header; }
    BYTE* FrameBuffer() const { return m_frame; }
    long GetFirstFrame() const { return m_first; }
    long GetLastFrame() const { return m_last; }
    long GetCurrentFrame() const { return m_current; }
    DWORD GetFrameSize() const { return m_frameSize; }
    bool IsValid() const { return m_valid; }
    // Frames that the file holds whole, counted from the first at open time (at most NumFrames); a
    // recording cut short has fewer than its header says.
    DWORD GetFramesPresent() const { return m_framesPresent; }

    // Header values as the automation server hands them out.
    DWORD GetDataOffset() const { return m_header.DataOffset; }
    DWORD GetFileVer() const { return m_header.FileVer; }
    DWORD GetImageLength() const { return m_header.ImageLength; }
    DWORD GetNumFrames() const { return m_header.NumFrames; }
    long GetRecordedBegin() const { return m_header.RecordedBegin; }
    long GetRecordedEnd() const;
    std::int64_t GetFileLength() const;
    std::string GetTriggerTime() const; // the text within its 16 bytes
    int GetSegmentNo() const { return m_header.SegmentNo; }
    int GetCameraID() const { return m_header.CameraID; }
    int GetZoom() const { return m_header.Zoom; }
    DWORD GetFrameRate() const { return m_header.FrameRate; }
    DWORD GetShutterTime() const { return m_header.ShutterTime; }
    int GetFrameWidth() const { return m_header.FrameWidth; }
    int GetFrameHeight() const { return m_header.FrameHeight; }
    int GetDispWidth() const { return m_header.DispWidth; }
    int GetDispHeight() const { return m_header.DispHeight; }
    DWORD GetCameraType() const;
    DWORD GetCameraVer() const { return m_header.CameraVer; }
    DWORD GetCameraSN() const { return m_header.CameraSN; }
    int GetVideoType() const { return m_header.VideoType; }
    int GetMemorySize() const { return m_header.MemorySize; }
    int GetRecGain() const { return m_header.RecGain; }
    int GetSceneNo() const { return m_header.SceneNo; }
    int GetRecWhiteBalance() const { return m_header.RecWhiteBalance; }
    int GetRecGamma() const { return m_header.RecGamma; }
    int GetRecEnhance() const { return m_header.RecEnhance; }
    int GetRecChroma() const { return m_header.RecChroma; }

private:
    BremfHeader m_header{};
    BYTE* m_frame = nullptr;
    long m_current = 0;
    long m_first = 0;
    long m_last = 0;
    DWORD m_frameSize = 0;
    DWORD m_dataOffset = 0;
    bool m_valid = false;
    DWORD m_framesPresent = 0;
};

// The text of a reader's failure: a BREMFException's (any vomException's) message, a frame that is
// missing or cut short, a failed seek or open, a recording without frames, no memory. Empty for any
// other exception.
std::string DescribeBremfError(std::exception_ptr error);
