// One tracked point of one frame as the document hands it to the point-position bar.
#pragma once

#include <cstdint>

struct PositionRow {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    // -1 no position, 0 found, 1 lost.
    std::int16_t state = -1;
    // 1 when the position was set by hand.
    std::int16_t flag = 0;
};
