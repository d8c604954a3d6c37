#include "KivIc/Documents/FrameRateText.h"

namespace {

const char kFrameRateKey[] = "Frame_Rate:";

} // namespace

int ParseFrameRateText(const CString& text) {
    const int key = text.Find(kFrameRateKey);
    if (key < 0)
        return 0;
    const CString rest = text.Mid(key + static_cast<int>(sizeof kFrameRateKey) - 1);
    if (rest.Find('\n') <= 0)
        return 0;
    int pos = 0;
    while (pos < rest.GetLength() && (rest[pos] == ' ' || rest[pos] == '\t'))
        ++pos;
    // Counted in 64 bits and stopped once past the limit, so no run of digits can wrap into range.
    long long rate = 0;
    bool digits = false;
    for (; pos < rest.GetLength() && rest[pos] >= '0' && rest[pos] <= '9'; ++pos) {
        digits = true;
        if (rate <= kMaxFrameRateText)
            rate = rate * 10 + (rest[pos] - '0');
    }
    if (!digits || rate < 1 || rate > kMaxFrameRateText)
        return 0;
    return static_cast<int>(rate);
}
