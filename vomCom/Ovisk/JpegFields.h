// The JPEG marker parser of the filter server's reader: finds the segments and the two fields' scan
// data of a recorded frame and rebuilds them into two JFIF images, one per field, that the library's
// two-field decoder reads.
//
// A recorded frame comes in one of two forms, told apart by byte 10 (the field byte of its JFIF lead):
// - 0: one image of the full height whose scan holds the first field, restart marker 0, then the
//   second field;
// - 1: two images back to back, one per field, each of half the height.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/win32/types.h"

struct JpegSegment {
    const BYTE* data = nullptr;
    std::size_t length = 0;
    bool Empty() const { return data == nullptr; }
};

// The segments the rebuilt image of one field needs.
struct JpegFieldParts {
    std::vector<JpegSegment> tables; // quantisation and Huffman table segments, in file order
    JpegSegment frameHeader;         // SOF0
    JpegSegment scanHeader;          // SOS
    JpegSegment scan;                // the field's entropy-coded bytes
    bool halveHeight = false;        // the frame header describes both fields
};

class JpegFieldParser {
public:
    // Locates both fields in data (length bytes); false when a segment or a field is missing.
    bool Parse(const BYTE* data, std::size_t length);
    // Appends the two rebuilt images to out (after Parse succeeded).
    void Rebuild(std::vector<BYTE>& out) const;

    const JpegFieldParts& Field(int index) const { return m_fields[index]; }

private:
    JpegFieldParts m_fields[2];
};

// The 18-byte lead of a rebuilt image: start of image and a JFIF APP0 segment whose byte 10 holds the
// field number.
inline constexpr BYTE kJfifLeadTemplate[18] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x0E, 0x4A, 0x46, 0x49,
                                               0x46, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
