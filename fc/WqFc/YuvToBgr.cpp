#include "fc/WqFc/YuvToBgr.h"

#include <algorithm>
#include <cmath>

#include "fc/WqFc/WqFcPath.h"

namespace YuvToBgr {

namespace {

std::int32_t ToInt32(double value) {
    return static_cast<std::int32_t>(std::clamp(std::trunc(value), -2147483648.0, 2147483647.0));
}

std::int32_t ToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::int64_t Core(std::int64_t value, std::int64_t clip) {
    if ((value < 0 ? -value : value) < clip)
        return 0;
    if (value > 0)
        return value - clip;
    if (value < 0)
        return value + clip;
    return 0;
}

std::uint8_t ToByte(std::int64_t value) {
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(value, 0, 255));
}

} // namespace

Params MakeParams(int contrast, int brightness, int chroma, const DspParams& dsp) {
    Params p{};
    // Both figures truncate toward zero (ToInt32), so a negative contrast or brightness mirrors the
    // positive one.
    p.contrast = ToInt32(contrast * static_cast<double>(dsp.YGainY) * 128.0 / (dsp.YGainD * 100.0));
    p.brightness = ToInt32(brightness / (static_cast<double>(dsp.YGainY) / dsp.YGainD) + dsp.SetupY);
    p.chroma = ToInt32(std::int64_t{chroma} * 128 / 100);
    p.gainR = ToInt32(std::int64_t{dsp.CyGainR} * 128 / 100);
    p.gainB = ToInt32(std::int64_t{dsp.CyGainB} * 128 / 100);
    p.clipR = dsp.CyClipR;
    p.clipB = dsp.CyClipG;
    p.lumaBound = -1;
    p.chromaBound = -1;
    return p;
}

void Row(const std::int32_t* y, const std::int16_t* u, const std::int16_t* v, int n, const Params& params,
         std::uint8_t* bgr, WqFcPath path) {
    int i = 0;
    if (path == WqFcPath::Avx2)
        i = wqfc_kernels::avx2::OutputRow(y, u, v, n, params, bgr);
    else if (path == WqFcPath::Sse2)
        i = wqfc_kernels::base::OutputRow(y, u, v, n, params, bgr);
    for (; i < n; ++i) {
        std::int64_t y8 = ((std::int64_t{y[i]} + params.brightness) * params.contrast) >> 9;
        y8 = std::clamp<std::int64_t>(y8, -32768, 32767);
        std::int64_t vc = (std::int64_t{params.chroma} * ((std::int64_t{v[i]} * params.gainR) >> 7)) >> 7;
        std::int64_t uc = (std::int64_t{params.chroma} * ((std::int64_t{u[i]} * params.gainB) >> 7)) >> 7;
        vc = Core(vc, params.clipR) >> 1;
        uc = Core(uc, params.clipB) >> 1;
        bgr[3 * i] = ToByte(y8 + uc);
        bgr[3 * i + 1] = ToByte(y8 + ((vc * -520 + uc * -190) >> 10));
        bgr[3 * i + 2] = ToByte(y8 + vc);
    }
}

} // namespace YuvToBgr
