#include "KivIc/Tracking/JobTable.h"

#include <algorithm>

int JobTable::AddInputFrame(std::int32_t frame) {
    const auto at = std::lower_bound(inputFrames.begin(), inputFrames.end(), frame);
    if (at != inputFrames.end() && *at == frame)
        return -1;
    const auto inserted = inputFrames.insert(at, frame);
    return static_cast<int>(inserted - inputFrames.begin());
}

bool JobTable::IsInputFrame(std::int32_t frame) const {
    return std::binary_search(inputFrames.begin(), inputFrames.end(), frame);
}
