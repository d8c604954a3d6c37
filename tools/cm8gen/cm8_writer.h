// Writer of synthetic raw camera recordings (".cm8") for people and tests: every header field can be
// set, the frames carry the test picture of cm8_pattern.h, and the file can be a headerless dump, cut
// short, or sparse (frames or the gap before the data left as holes, so files past 4 GiB cost no disk).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cm8 {

inline constexpr std::uint32_t kHeaderBytes = 512;

struct Recording {
    // Header fields (written big-endian where the format has numbers wider than a byte).
    std::array<char, 4> magic = {'C', 'I', 'M', 'G'};
    std::uint32_t dataOffset = kHeaderBytes;
    std::uint32_t reserved08 = 0;
    std::uint32_t fileVer = 1;
    std::optional<std::uint32_t> imageLength;    // default: the frame bytes that the file holds
    std::optional<std::uint32_t> numFrames;      // default: frames
    std::int32_t begin = 0;                      // RecordedBegin
    std::string triggerTime = "261208194500123"; // YYMMDDhhmmss and the fraction; 16 characters leave no NUL
    std::uint8_t segment = 0;
    std::uint8_t cameraId = 1;
    std::uint8_t zoom = 1;
    std::uint32_t rate = 1000;
    std::uint32_t shutter = 2000;
    std::uint16_t width = 512;                                     // FrameWidth
    std::uint16_t height = 480;                                    // FrameHeight
    std::optional<std::uint16_t> dispWidth;                        // default: width
    std::optional<std::uint16_t> dispHeight;                       // default: height
    std::array<std::uint8_t, 4> cameraType = {'C', 'M', '8', 'G'}; // stored as given
    std::uint32_t cameraVer = 200; // below 120 the mosaic rows start with green
    std::uint32_t cameraSN = 1;
    std::uint8_t videoType = 0;
    std::int16_t memorySize = 2048;
    std::int8_t recGain = 0;
    std::uint16_t scene = 1;
    std::uint8_t recWhiteBalance = 0;
    std::uint8_t recGamma = 0;
    std::uint8_t recEnhance = 1;
    std::uint8_t recChroma = 5;

    // What the file holds.
    std::uint32_t frames = 10; // frames laid out after the data offset
    bool headerless = false;   // frames only, from offset 0
    // Frame indexes (0-based) that get their data; the others stay holes. Empty: all frames.
    std::vector<std::uint32_t> onlyFrames;
    std::optional<std::uint64_t> truncate; // cut the file to this many bytes

    std::uint32_t FrameBytes() const { return std::uint32_t{width} * height; }
    bool GreenFirst() const { return cameraVer < 120; }
};

// The 512-byte header of a recording.
std::array<std::uint8_t, kHeaderBytes> BuildHeader(const Recording& rec);

// Length of the file before any truncation.
std::uint64_t FullLength(const Recording& rec);

// Writes the recording; on failure returns false with a message in error.
bool WriteRecording(const std::string& path, const Recording& rec, std::string& error);

} // namespace cm8
