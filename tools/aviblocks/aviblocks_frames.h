// Video samples of recording-system AVI files: a test picture per frame and its two-field
// Motion-JPEG form. The even rows (0, 2, ... counted from the top) make the first field, the odd rows
// the second; each field is a baseline JPEG of half the height with the standard Huffman tables and
// 2:1 horizontal chroma subsampling.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace aviblocks {

enum class FieldForm {
    // One image of the full height whose scan holds the two fields separated by restart marker 0
    // (a DRI segment makes the whole image decodable too); byte 10 is the usual 0 of "JFIF".
    RestartSplit,
    // Two images back to back, each with the 18-byte lead whose byte 10 is the field number (1, 2),
    // one quantisation segment, the frame header of half height, the scan header, the scan and FF FF D9;
    // no Huffman tables.
    TwoImages,
};

// Top-down RGB rows (3 x width bytes each) of frame index: smooth ramps and a block that moves
// with the index, so every frame differs and compresses well.
std::vector<std::uint8_t> MakeTestPicture(int index, int width, int height);

// Baseline JPEG of top-down RGB rows. Throws std::runtime_error when the JPEG library refuses.
std::string EncodeJpeg(const std::uint8_t* rgb, int width, int height, std::size_t stride, int quality);

// The recorded frame of a picture (height even). Throws std::runtime_error on bad arguments.
std::string EncodeTwoFieldFrame(const std::vector<std::uint8_t>& rgb, int width, int height, int quality,
                                FieldForm form);

// The segments of a JPEG the library wrote: every table merged into one DQT segment, the frame and
// scan headers, the Huffman segments as they were, and the scan bytes up to the end marker.
struct JpegParts {
    std::string dqt;
    std::string sof;
    std::string dht;
    std::string sos;
    std::string scan;
};
JpegParts SplitJpeg(const std::string& jpeg);

} // namespace aviblocks
