// DIB modules: row pointers into a bottom-up DIB held in memory, in the order the library takes or gives
// rows (top row first). The pixels are used in place; B, G, R order is handed to the library as such.
#include "vomLib/Jpeg/JpgInternal.h"

namespace jpglib32 {

void jinit_read_bmp(const BYTE* pixels, std::size_t stride, int first, int step, int height, JSAMPROW* rows) {
    for (int r = 0; r < height; ++r) {
        const std::size_t memoryRow =
            static_cast<std::size_t>(first) +
            static_cast<std::size_t>(step) * static_cast<std::size_t>(height - 1 - r);
        // The library only reads input rows; its row type is not const.
        rows[r] = const_cast<JSAMPROW>(pixels + memoryRow * stride);
    }
}

void jinit_write_bmp(BYTE* buffer, std::size_t stride, int fields, int parity, int height, JSAMPROW* rows) {
    for (int r = 0; r < height; ++r) {
        const std::size_t memoryRow =
            static_cast<std::size_t>(fields) * static_cast<std::size_t>(height - 1 - r) +
            static_cast<std::size_t>(parity);
        rows[r] = buffer + memoryRow * stride;
    }
}

} // namespace jpglib32
