// The filter server's AVI file access: opens a file read-only, lists its streams with the video
// streams (the scenes) apart, sets up a frame getter for one video stream and reads frames, frame
// ranges and stream data chunks.
//
// Every operation returns TRUE or FALSE and leaves the reason in LastError(): an AVIERR code, or one of
// the reader's own codes below.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/vfw/avifile.h"

class WinAviFile {
public:
    static constexpr HRESULT kErrBadStream = -1;   // no such video stream
    static constexpr HRESULT kErrNoFile = -2;      // no file open, or the frame getter failed
    static constexpr HRESULT kErrEmptyStream = -3; // a stream without samples

    WinAviFile();
    virtual ~WinAviFile();
    WinAviFile(const WinAviFile&) = delete;
    WinAviFile& operator=(const WinAviFile&) = delete;

    // Releases the frame getter, every stream and the file.
    virtual void Reset();
    virtual BOOL Open(const char* path);
    // Reads the file information and lists the streams.
    virtual BOOL ScanStreams();
    // Makes video stream index the one frames are read from.
    virtual BOOL SetupStream(int index);

    // start and end (one past the last frame) of video stream index.
    BOOL GetRange(int index, LONG* start, LONG* end);
    // The frame of video stream index as a packed bitmap (header, colour table, pixels) owned by the
    // frame getter and valid until the next read; imageSize receives the size of the pixel data.
    LPBITMAPINFOHEADER ReadFrame(int index, LONG frame, DWORD* imageSize);
    // A stream data chunk of video stream index: a null buffer asks the length; *length is the
    // buffer's size in and the chunk's size out.
    BOOL ReadExtraData(int index, DWORD ckid, void* buffer, LONG* length);

    int VideoCount() const { return static_cast<int>(m_video.size()); }
    bool IsOpen() const { return m_file != nullptr; }
    HRESULT LastError() const { return m_error; }
    DWORD Scale() const { return m_scale; }
    DWORD Rate() const { return m_rate; }
    DWORD Width() const { return m_width; }
    DWORD Height() const { return m_height; }
    // The frame size of the set-up stream's format.
    LONG FrameWidth() const { return m_frameWidth; }
    LONG FrameHeight() const { return m_frameHeight; }
    const AVISTREAMINFOA& VideoInfo(int index) const { return m_videoInfo[static_cast<std::size_t>(index)]; }

protected:
    bool ValidVideo(int index);
    // The start and end (one past the last sample) of a stream; false when the stream cannot say or its
    // end lies beyond the frame numbers.
    bool StreamRange(PAVISTREAM stream, LONG* start, LONG* end);

    std::vector<AVISTREAMINFOA> m_videoInfo;
    std::vector<PAVISTREAM> m_video; // borrowed from m_all
    std::vector<PAVISTREAM> m_all;
    std::vector<BYTE> m_format; // the set-up stream's format
    PGETFRAME m_getter = nullptr;
    int m_getterStream = -1;
    PAVIFILE m_file = nullptr;
    DWORD m_scale = 0;
    DWORD m_rate = 0;
    DWORD m_width = 0;
    DWORD m_height = 0;
    LONG m_frameWidth = 0;
    LONG m_frameHeight = 0;
    HRESULT m_error = AVIERR_OK;
};
