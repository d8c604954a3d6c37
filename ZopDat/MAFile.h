// The binary file through which tracking records are written and read. Failures of the framework file
// come back as -1, never as exceptions. Every number is stored little-endian whatever the machine.
#pragma once

#include "platform/afx/core/afxcore.h"

#include <cstddef>
#include <cstdint>
#include <string>

class MAFile : public CFile {
public:
    // Modes of Open: create or truncate for writing; open an existing file for writing; anything else
    // opens an existing file for reading (the loader passes kModeRead).
    static constexpr int kModeCreate = 1;
    static constexpr int kModeRead = 16;
    static constexpr int kModeWriteExisting = 256;

    MAFile() = default;
    ~MAFile() override = default;

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Woverloaded-virtual"
#endif
    // These replace the framework file's Open, Read and Write on purpose: the record file has its own forms.
    // 0 on success, -1 when the file cannot be opened.
    int Open(const char* name, int mode);
    // 0, or -1 when the file reported an error.
    int Write(const void* bytes, std::size_t count);
    // The number of bytes read (fewer at the end of the file), or -1 when the file reported an error.
    int Read(void* bytes, std::size_t count);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

    // Whether a file or folder of exactly that name exists (no wildcard expansion).
    virtual bool Exists(const char* name);
    virtual bool Exists(std::string name);

    // Fields of the record file: 0 / -1 for writes; reads give 0 only when every byte was there.
    int WriteInt32(std::int32_t value);
    int WriteInt16(std::int16_t value);
    int WriteDouble(double value);
    int ReadInt32(std::int32_t& value);
    int ReadInt16(std::int16_t& value);
    int ReadDouble(double& value);
    // Bytes still to come between the position and the end of the file (0 when that cannot be told).
    std::uint64_t Remaining();
};
