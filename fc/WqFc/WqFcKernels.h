// Vector kernels of the colour pipeline. Each processes as many pixels of a row as whole vectors
// allow and returns how many it did; the stage's plain loop finishes the row, so the two paths can
// never disagree at the edges. The same source is built once per instruction set (namespaces base
// and avx2); the stages pick one through WqFcActivePath().
#pragma once

#include <cstdint>

namespace wqfc_kernels {

// Weights of one row parity laid out per lane: [colour][tap][16 lanes], lanes alternating between
// the two phases of the row (lane 0 is an even column).
struct DemosaicLanes {
    const std::int16_t* weights;
    std::uint16_t usedTaps[3]; // bit t set when tap t has a non-zero weight in either phase
};

// Figures that the output stage needs, fixed for one frame.
struct OutputParams {
    std::int32_t contrast;   // C
    std::int32_t brightness; // P
    std::int32_t chroma;     // K
    std::int32_t gainR;      // cr
    std::int32_t gainB;      // cb
    std::int32_t clipR;
    std::int32_t clipB;
    std::int32_t lumaBound;   // largest |Y| the row can hold, or -1 when unknown
    std::int32_t chromaBound; // largest |U| and |V| the row can hold, or -1 when unknown
};

#define WQFC_KERNEL_DECLARATIONS                                                                             \
    /* Two picture rows interleaved in groups of four samples, times 8, eight columns at a time. */          \
    int UnpackRowPair(const std::uint8_t* raw, int w, std::int16_t* upper, std::int16_t* lower);             \
    /* One row of the demosaic; centre is the row's first sample in the padded raw plane. */                 \
    int DemosaicRow(const std::int16_t* centre, int w, const DemosaicLanes& lanes, std::int16_t* outR,       \
                    std::int16_t* outG, std::int16_t* outB);                                                 \
    /* 3x3 mean from column 1 on, values in 0..4080; returns the first column not done. */                   \
    int LowPassRow(const std::int16_t* above, const std::int16_t* row, const std::int16_t* below, int w,     \
                   std::int16_t* out);                                                                       \
    /* Tone curves (tables of 1024 entries each for R, G, B, index clamped to 0..1023) and the YC matrix. */ \
    int CurveMatrixRow(const std::int16_t* r, const std::int16_t* g, const std::int16_t* b, int n,           \
                       const std::int32_t* tables, const std::int32_t matrix[9], std::int32_t* y,            \
                       std::int16_t* u, std::int16_t* v);                                                    \
    /* Centre-only enhance with the level-0 taps (50, 50): twice trunc(x / 2); other taps return 0. */       \
    int EnhanceCentreRow(std::int32_t* row, int n, std::int32_t vertical, std::int32_t horizontal);          \
    /* Largest magnitude among n values. */                                                                  \
    std::int64_t MaxMagnitude(const std::int32_t* p, int n);                                                 \
    /* Enhance of one row: the vertical part (sum / 100) and the right-hand horizontal taps (no division);   \
       every value the taps read must lie within +-47935. */                                                 \
    int EnhancePartsRow(const std::int32_t* row, int w, const std::int32_t vertical[5],                      \
                        const std::int32_t horizontal[5], std::int32_t* verticalPart,                        \
                        std::int32_t* aheadPart);                                                            \
    /* The YC matrix on curve outputs (0..1023); matrix in 1/1000, sum of magnitudes at most 16000. */       \
    int YcMatrixRow(const std::int16_t* r1, const std::int16_t* g1, const std::int16_t* b1, int n,           \
                    const std::int32_t matrix[9], std::int32_t* y, std::int16_t* u, std::int16_t* v);        \
    /* Luma, chroma with coring and the blue, green, red bytes; 0 when the row's figures could leave 32      \
       bits (the caller then runs the plain loop). */                                                        \
    int OutputRow(const std::int32_t* y, const std::int16_t* u, const std::int16_t* v, int n,                \
                  const OutputParams& params, std::uint8_t* bgr);

namespace base {
WQFC_KERNEL_DECLARATIONS
}
namespace avx2 {
WQFC_KERNEL_DECLARATIONS
}

#undef WQFC_KERNEL_DECLARATIONS

} // namespace wqfc_kernels
