// The packed frame bitmap of the raw camera server (a 40-byte information header, then bottom-up rows
// of 3 x width blue, green, red bytes with nothing between them) in the display's row form, where each
// row is padded to a multiple of 4 bytes. The two forms coincide when 3 x width is a multiple of 4.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/win32/types.h"

// Bytes of a packed frame of the header's size: 40 + 3 x width x height; 0 when the block's first size
// bytes hold no whole uncompressed 24-bit packed frame (or none at all).
std::size_t PackedFrameBytes(const void* block, std::size_t size);

// The frame as a frame block with padded rows (see FrameBlock.h), behind `lead` zero bytes (room for a
// file header); FALSE, the output untouched, when PackedFrameBytes is 0.
BOOL PackedFrameToFrameBlock(const void* block, std::size_t size, std::vector<BYTE>* frameBlock,
                             std::size_t lead = 0);
