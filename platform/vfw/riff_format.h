// The on-disk pieces of an AVI file shared by the reader and the writer (internal to the library).
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/vfw/avifile.h"

namespace kivic::vfw {

constexpr FOURCC kRiff = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC kList = mmioFOURCC('L', 'I', 'S', 'T');
constexpr FOURCC kAvi = mmioFOURCC('A', 'V', 'I', ' ');
constexpr FOURCC kAvix = mmioFOURCC('A', 'V', 'I', 'X');
constexpr FOURCC kHdrl = mmioFOURCC('h', 'd', 'r', 'l');
constexpr FOURCC kAvih = mmioFOURCC('a', 'v', 'i', 'h');
constexpr FOURCC kStrl = mmioFOURCC('s', 't', 'r', 'l');
constexpr FOURCC kStrh = mmioFOURCC('s', 't', 'r', 'h');
constexpr FOURCC kStrf = mmioFOURCC('s', 't', 'r', 'f');
constexpr FOURCC kStrn = mmioFOURCC('s', 't', 'r', 'n');
constexpr FOURCC kIndx = mmioFOURCC('i', 'n', 'd', 'x');
constexpr FOURCC kOdml = mmioFOURCC('o', 'd', 'm', 'l');
constexpr FOURCC kDmlh = mmioFOURCC('d', 'm', 'l', 'h');
constexpr FOURCC kMovi = mmioFOURCC('m', 'o', 'v', 'i');
constexpr FOURCC kRec = mmioFOURCC('r', 'e', 'c', ' ');
constexpr FOURCC kIdx1 = mmioFOURCC('i', 'd', 'x', '1');
constexpr FOURCC kJunk = mmioFOURCC('J', 'U', 'N', 'K');

constexpr std::uint32_t kMainHeaderSize = 56;
constexpr std::uint32_t kStreamHeaderSize = 56;
constexpr std::uint32_t kSuperIndexHeader = 24; // behind the chunk header
constexpr std::uint32_t kStdIndexHeader = 24;
constexpr std::uint8_t kIndexOfIndexes = 0;
constexpr std::uint8_t kIndexOfChunks = 1;

inline std::uint16_t Le16(const BYTE* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Le32(const BYTE* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t Le64(const BYTE* p) {
    return static_cast<std::uint64_t>(Le32(p)) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}

// Little-endian appending for building headers in memory.
struct ByteWriter {
    std::vector<BYTE> bytes;
    void U8(std::uint32_t v) { bytes.push_back(static_cast<BYTE>(v)); }
    void U16(std::uint32_t v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void U64(std::uint64_t v) {
        U32(static_cast<std::uint32_t>(v));
        U32(static_cast<std::uint32_t>(v >> 32));
    }
    void Raw(const void* data, std::size_t size) {
        const BYTE* p = static_cast<const BYTE*>(data);
        bytes.insert(bytes.end(), p, p + size);
    }
    void Zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
    std::size_t Size() const { return bytes.size(); }
    void Patch32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<BYTE>(v >> (8 * i));
    }
    // A chunk: id, size, data and the pad byte of odd sizes.
    void Chunk(FOURCC id, const void* data, std::size_t size) {
        U32(id);
        U32(static_cast<std::uint32_t>(size));
        Raw(data, size);
        if (size & 1)
            U8(0);
    }
    // Opens a LIST; returns the position of its size field for CloseList.
    std::size_t OpenList(FOURCC type) {
        U32(kList);
        const std::size_t at = Size();
        U32(0);
        U32(type);
        return at;
    }
    void CloseList(std::size_t at) { Patch32(at, static_cast<std::uint32_t>(Size() - at - 4)); }
};

// The chunk id of stream n's samples: two decimal digits and a two-letter kind.
inline FOURCC StreamChunkId(int stream, const char kind[2]) {
    return mmioFOURCC('0' + (stream / 10) % 10, '0' + stream % 10, kind[0], kind[1]);
}
// The stream number of a sample chunk id, or -1 when the id is not one.
inline int StreamOfChunkId(FOURCC id) {
    const int a = static_cast<int>(id & 0xFF) - '0';
    const int b = static_cast<int>((id >> 8) & 0xFF) - '0';
    if (a < 0 || a > 9 || b < 0 || b > 9)
        return -1;
    return a * 10 + b;
}

} // namespace kivic::vfw
