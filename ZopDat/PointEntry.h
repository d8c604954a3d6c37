// One tracked point in one frame. Coordinates are integers in units of the owning table's scale.
#pragma once

#include "ZopDat/MADataIO.h"

#include <cstdint>

class PointEntry : public MADataIO {
public:
    static constexpr std::int16_t kNoPosition = -1;
    static constexpr std::int16_t kFound = 0;
    static constexpr std::int16_t kLost = 1;
    // Bytes of the binary form: x, y, z, state, flag.
    static constexpr std::uint32_t kSize = 16;

    PointEntry() = default;
    PointEntry(const PointEntry& other) = default;
    PointEntry& operator=(const PointEntry& other) = default;
    ~PointEntry() override = default;

    std::int32_t Read(MAFile& file) override;
    std::int32_t Write(MAFile& file) override;
    std::uint32_t GetSize() override { return kSize; }

    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
    std::int16_t state = kNoPosition;
    std::int16_t flag = 0;
};
