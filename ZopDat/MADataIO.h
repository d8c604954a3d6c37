// The interface of every tracking record that has a binary form in a record file.
#pragma once

#include <cstdint>

class MAFile;

class MADataIO {
public:
    virtual ~MADataIO() = default;
    // Reads the record's fields: 0, or -1 when the file failed or ended before the record did.
    virtual std::int32_t Read(MAFile& file) = 0;
    // Writes the record's fields: 0, or -1 on a failed write.
    virtual std::int32_t Write(MAFile& file) = 0;
    // The size of the record's binary form in bytes.
    virtual std::uint32_t GetSize() = 0;

protected:
    MADataIO() = default;
    MADataIO(const MADataIO&) = default;
    MADataIO& operator=(const MADataIO&) = default;
};
