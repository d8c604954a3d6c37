// Time texts "[-]hours:minutes:seconds.frame/rate", their sums and differences.
#include <string>

#include "ZopDat/MATime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string all(reinterpret_cast<const char*>(data), size);
    const auto cut = all.find('\n');
    const std::string a = all.substr(0, cut);
    const std::string b = cut == std::string::npos ? std::string() : all.substr(cut + 1);
    MATime time;
    int sign = 0, hours = 0, minutes = 0, seconds = 0, frames = 0, rate = 0;
    long numerator = 0, denominator = 0;
    time.Parse(a, sign, hours, minutes, seconds, numerator, denominator);
    time.TextToMs(a);
    if (time.TextToFrameCount(a, frames, rate) && rate > 0) {
        time.FramesToText(frames, rate);
        time.FramesToSeconds(frames, rate);
        time.MsToText(time.TextToMs(a), rate);
    }
    time.TextToFrames(a.c_str(), 500);
    time.Sum(a, b, 1000);
    std::string out;
    time.Difference(a, b, out);
    return 0;
}
