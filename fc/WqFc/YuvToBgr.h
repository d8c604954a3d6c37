// Brightness, contrast and chroma with coring, then YUV to blue, green, red bytes clamped to 0..255.
#pragma once

#include <cstdint>

#include "fc/WqFc/DspParams.h"
#include "fc/WqFc/WqFcKernels.h"
#include "fc/WqFc/WqFcPath.h"

namespace YuvToBgr {

using Params = wqfc_kernels::OutputParams;

// The figures fixed for one frame: contrast C = trunc(contrast * YGain Y * 128 / (YGain D * 100)),
// brightness P = trunc(brightness / (YGain Y / YGain D) + Setup Y), chroma K = chroma * 128 / 100,
// colour-difference gains CyGain * 128 / 100 and the coring clips.
Params MakeParams(int contrast, int brightness, int chroma, const DspParams& dsp);

// One row: luma Y8 = ((Y + P) * C) >> 9 saturated to 16 bits, chroma Vc = (K * ((V * cr) >> 7)) >> 7
// and Uc likewise, cored, then blue = Y8 + Uc / 2, red = Y8 + Vc / 2, green from both.
void Row(const std::int32_t* y, const std::int16_t* u, const std::int16_t* v, int n, const Params& params,
         std::uint8_t* bgr, WqFcPath path = WqFcActivePath());

} // namespace YuvToBgr
