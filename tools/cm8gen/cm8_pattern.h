// The synthetic test picture of generated recordings and the sample order of a raw frame.
//
// A raw frame stores the rows of its picture in pairs: for each pair of rows, 4 samples of the upper
// row, then 4 of the lower row, then the next 4 of each, across the width (a last group narrower than 4
// takes what is left of each row; an odd last row is stored alone).
//
// The picture is a Bayer mosaic of a colour scene whose top rows carry the frame number as a strip of
// 40 black or white blocks (32 bits of the number, most significant first, and an 8-bit check), so a
// reader's frame selection can be verified from the pixels alone. Pictures narrower than 40 samples carry
// no number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace cm8 {

inline constexpr unsigned kCodeBlocks = 40;
// Sample values of the scene; raw samples of 128 and more saturate the colour pipeline's tone curve,
// so the scene stays below that.
inline constexpr std::uint8_t kWhite = 104;
inline constexpr std::uint8_t kBlack = 8;

// Offset of picture sample (x, y) within the raw frame.
std::size_t RawIndex(unsigned x, unsigned y, unsigned width, unsigned height);

// Picture order (row by row) to raw frame order and back; both buffers hold width x height samples.
void Interleave(const std::uint8_t* picture, std::uint8_t* raw, unsigned width, unsigned height);
void Deinterleave(const std::uint8_t* raw, std::uint8_t* picture, unsigned width, unsigned height);

// Draws the picture of frame `index` of a recording (frame number `number`) in picture order. With
// greenFirst the mosaic rows start G R / B G, otherwise R G / G B.
void DrawTestPicture(std::uint8_t* picture, unsigned width, unsigned height, std::int32_t number,
                     std::uint32_t index, bool greenFirst);

// The raw frame (interleaved) of frame `index` with frame number `number`.
std::vector<std::uint8_t> MakeRawFrame(unsigned width, unsigned height, std::int32_t number,
                                       std::uint32_t index, bool greenFirst);

// The frame number that a raw frame carries, or nothing when it carries none (too narrow, blank,
// damaged or not one of these pictures).
std::optional<std::int32_t> DecodeFrameNumber(const std::uint8_t* raw, unsigned width, unsigned height);

} // namespace cm8
