// The unit of the recording system's private blocks ('NOTE' and 'CSTS'): a 16-bit tag, a 16-bit type,
// a 32-bit element count and the elements, all little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace TaggedItem {

constexpr std::size_t kHeaderSize = 8;
constexpr std::uint16_t kTypeChars = 2;
constexpr std::uint16_t kTypeInt32 = 9;

struct Header {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
};

inline std::uint16_t ReadU16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t ReadU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t ReadI32(const unsigned char* p) {
    return static_cast<std::int32_t>(ReadU32(p));
}

// The caller guarantees kHeaderSize readable bytes.
inline Header ReadHeader(const unsigned char* p) {
    return Header{ReadU16(p), ReadU16(p + 2), ReadU32(p + 4)};
}

// Bytes per element by item type; 0 for a type the blocks never use.
inline unsigned ElementSize(std::uint16_t type) {
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
        return 1;
    case 3:
    case 8:
        return 2;
    case 4:
    case 9:
    case 11:
        return 4;
    case 5:
    case 10:
    case 12:
        return 8;
    default:
        return 0;
    }
}

inline void AppendU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

inline void AppendU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

// An integer item holding one value.
inline void AppendInt(std::string& out, std::uint16_t tag, std::int32_t value) {
    AppendU16(out, tag);
    AppendU16(out, kTypeInt32);
    AppendU32(out, 1);
    AppendU32(out, static_cast<std::uint32_t>(value));
}

// A character item: the text and its terminating zero.
inline void AppendChars(std::string& out, std::uint16_t tag, const std::string& text) {
    AppendU16(out, tag);
    AppendU16(out, kTypeChars);
    AppendU32(out, static_cast<std::uint32_t>(text.size() + 1));
    out.append(text);
    out.push_back('\0');
}

} // namespace TaggedItem
