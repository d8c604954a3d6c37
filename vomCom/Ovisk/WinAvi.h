// The filter server's AVI reader. Files of the recording system carry two private streams, 'NOTE' and
// 'CSTS'; when both can be read, the reader decodes the video frames itself: each recorded frame holds
// two JPEG-coded fields, which it rebuilds into two JFIF images and hands to the library's two-field
// decoder. Every other file is read through the installed decompressor.
#pragma once

#include <cstddef>
#include <vector>

#include "vomCom/Ovisk/JpegFields.h"
#include "vomCom/Ovisk/WinAviFile.h"

class WinAvi : public WinAviFile, private JpegFieldParser {
public:
    WinAvi();
    ~WinAvi() override;

    void Reset() override;
    BOOL ScanStreams() override;

    // Whether the frames are decoded by the reader (both private streams could be read).
    bool SelfDecode() const { return m_selfDecode; }
    // The bytes DecodeFrame writes: 24-bit bottom-up rows of the frame size, padded to 4 bytes.
    std::size_t DecodedSize() const;
    // Decodes frame of video stream index into dest (capacity bytes) as 24-bit rows.
    BOOL DecodeFrame(int index, LONG frame, BYTE* dest, std::size_t capacity);

    const std::vector<BYTE>& NoteSample() const { return m_noteSample; }
    const std::vector<BYTE>& CstsSample() const { return m_cstsSample; }

private:
    // Opens the private stream of type fcc and reads its last sample into sample.
    bool ReadInfoStream(DWORD fcc, bool requireLength, PAVISTREAM& stream, AVISTREAMINFOA& info,
                        std::vector<BYTE>& sample);

    PAVISTREAM m_csts = nullptr;
    PAVISTREAM m_note = nullptr;
    AVISTREAMINFOA m_cstsInfo{};
    AVISTREAMINFOA m_noteInfo{};
    std::vector<BYTE> m_cstsSample;
    std::vector<BYTE> m_noteSample;
    std::vector<BYTE> m_work; // the rebuilt two-field frame
    bool m_selfDecode = false;
};
