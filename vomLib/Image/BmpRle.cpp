#include "vomLib/Image/BmpRle.h"

namespace {

// The i-th of the two 4-bit indexes of a byte, high one first.
BYTE Nibble(BYTE pair, int i) {
    return static_cast<BYTE>(i % 2 == 0 ? pair >> 4 : pair & 0x0F);
}

// Writes pixel x of a row of 8 or 4-bit indexes; pixels past the right edge are dropped.
void Put(BYTE* row, LONG width, int bits, std::int64_t x, BYTE index) {
    if (x < 0 || x >= width)
        return;
    if (bits == 8) {
        row[x] = index;
        return;
    }
    BYTE& pair = row[x / 2];
    pair = (x % 2 == 0) ? static_cast<BYTE>((pair & 0x0F) | (index << 4))
                        : static_cast<BYTE>((pair & 0xF0) | (index & 0x0F));
}

} // namespace

bool DecodeBmpRle(const BYTE* data, std::size_t size, int bits, LONG width, LONG height, BYTE* out) {
    if ((bits != 8 && bits != 4) || width <= 0 || height <= 0)
        return false;
    const std::uint64_t stride = DibRowBytes(width, bits);
    std::int64_t x = 0;
    std::int64_t y = 0; // rows from the bottom, as they are stored
    std::size_t at = 0;
    while (at + 2 <= size) {
        if (y >= height)
            return true; // every row written: what follows cannot show
        BYTE* row = out + stride * static_cast<std::uint64_t>(y);
        const BYTE count = data[at];
        const BYTE value = data[at + 1];
        at += 2;
        if (count > 0) { // a run of one index, or at 4 bits two alternating ones
            for (int i = 0; i < count; ++i, ++x)
                Put(row, width, bits, x, bits == 8 ? value : Nibble(value, i));
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return true;
        case 2: // delta: right and up
            if (at + 2 > size)
                return false;
            x += data[at];
            y += data[at + 1];
            at += 2;
            break;
        default: { // that many indexes as they are, padded to a 16-bit boundary
            const std::size_t bytes = bits == 8 ? value : (value + 1u) / 2u;
            if (at + bytes > size)
                return false;
            for (int i = 0; i < value; ++i, ++x) {
                const BYTE b = data[at + (bits == 8 ? i : i / 2)];
                Put(row, width, bits, x, bits == 8 ? b : Nibble(b, i));
            }
            at += bytes + (bytes % 2);
            break;
        }
        }
    }
    return y >= height;
}
