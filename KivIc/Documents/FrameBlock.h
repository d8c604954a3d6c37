// A frame block as the AVI filter server hands it out: a bitmap information header, the colour table
// of a frame of 8 bits or fewer (or the three colour masks of a BI_BITFIELDS frame), then the pixel
// rows, each padded to a multiple of 4 bytes.
#pragma once

#include <cstddef>

#include "platform/gdi/gdi.h"

struct FrameBlockLayout {
    std::size_t bitsOffset = 0; // where the first pixel row starts
    std::size_t bitsBytes = 0;  // the bytes of all rows
};

// The layout of the block's first size bytes; FALSE when the header is not one the display takes
// (uncompressed 1, 4, 8, 16, 24 or 32 bits, BI_BITFIELDS at 16 or 32) or the block is too short for
// its table and rows.
BOOL GetFrameBlockLayout(const void* block, std::size_t size, FrameBlockLayout* layout);

// A device bitmap of the frame, its colour table applied; null when the block is malformed.
HBITMAP CreateFrameBitmap(const void* block, std::size_t size);
