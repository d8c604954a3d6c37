#include "ZopDat/MAFile.h"

#include <bit>
#include <climits>

namespace {

UINT OpenFlagsOf(int mode) {
    switch (mode) {
    case MAFile::kModeCreate:
        return CFile::modeCreate | CFile::modeWrite | CFile::typeBinary;
    case MAFile::kModeWriteExisting:
        return CFile::modeWrite | CFile::typeBinary;
    default:
        return CFile::modeRead | CFile::typeBinary;
    }
}

} // namespace

int MAFile::Open(const char* name, int mode) {
    if (name == nullptr) {
        return -1;
    }
    CFileException error;
    return CFile::Open(name, OpenFlagsOf(mode), &error) ? 0 : -1;
}

int MAFile::Write(const void* bytes, std::size_t count) {
    if (count > UINT_MAX) {
        return -1;
    }
    try {
        CFile::Write(bytes, static_cast<UINT>(count));
    } catch (CFileException* e) {
        e->Delete();
        return -1;
    }
    return 0;
}

int MAFile::Read(void* bytes, std::size_t count) {
    if (count > INT_MAX) {
        return -1;
    }
    try {
        return static_cast<int>(CFile::Read(bytes, static_cast<UINT>(count)));
    } catch (CFileException* e) {
        e->Delete();
        return -1;
    }
}

bool MAFile::Exists(const char* name) {
    // The exact path: a name with '*' or '?' names that file, not a pattern.
    return name != nullptr && name[0] != '\0' && GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

bool MAFile::Exists(std::string name) {
    return Exists(name.c_str());
}

int MAFile::WriteInt32(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                                    static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
    return Write(bytes, sizeof bytes);
}

int MAFile::WriteInt16(std::int16_t value) {
    const auto u = static_cast<std::uint16_t>(value);
    const unsigned char bytes[2] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8)};
    return Write(bytes, sizeof bytes);
}

int MAFile::WriteDouble(double value) {
    const auto u = std::bit_cast<std::uint64_t>(value);
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<unsigned char>(u >> (8 * i));
    }
    return Write(bytes, sizeof bytes);
}

int MAFile::ReadInt32(std::int32_t& value) {
    unsigned char bytes[4];
    if (Read(bytes, sizeof bytes) != static_cast<int>(sizeof bytes)) {
        return -1;
    }
    value = static_cast<std::int32_t>(std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                      std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24);
    return 0;
}

int MAFile::ReadInt16(std::int16_t& value) {
    unsigned char bytes[2];
    if (Read(bytes, sizeof bytes) != static_cast<int>(sizeof bytes)) {
        return -1;
    }
    value = static_cast<std::int16_t>(std::uint16_t(bytes[0] | bytes[1] << 8));
    return 0;
}

int MAFile::ReadDouble(double& value) {
    unsigned char bytes[8];
    if (Read(bytes, sizeof bytes) != static_cast<int>(sizeof bytes)) {
        return -1;
    }
    std::uint64_t u = 0;
    for (int i = 0; i < 8; ++i) {
        u |= std::uint64_t{bytes[i]} << (8 * i);
    }
    value = std::bit_cast<double>(u);
    return 0;
}

std::uint64_t MAFile::Remaining() {
    try {
        const ULONGLONG length = GetLength();
        const ULONGLONG position = GetPosition();
        return length > position ? length - position : 0;
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
}
