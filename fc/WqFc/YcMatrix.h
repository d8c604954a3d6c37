// Tone curves and the YC matrix: demosaiced R, G, B through each channel's curve (index clamped to
// 0..1023), then luminance Y and the colour differences B-Y (U) and R-Y (V) in 1/1000, each quotient
// truncated toward zero.
#pragma once

#include <array>
#include <cstdint>

#include "fc/WqFc/GammaCorrect.h"
#include "fc/WqFc/WqFcPath.h"

struct YcMatrix {
    // Rows Y, B-Y, R-Y.
    std::array<std::int32_t, 9> coef = {299, 587, 114, -299, -587, 886, 701, -587, -114};

    // Curve outputs of one row into r1, g1, b1.
    static void CurveRow(const std::int16_t* r, const std::int16_t* g, const std::int16_t* b, int n,
                         const GammaCorrect& curveR, const GammaCorrect& curveG, const GammaCorrect& curveB,
                         std::int16_t* r1, std::int16_t* g1, std::int16_t* b1);
    // Curves and matrix in one pass; tables holds the three curves as 3 x 1024 32-bit entries.
    void CurveMatrixRow(const std::int16_t* r, const std::int16_t* g, const std::int16_t* b, int n,
                        const std::int32_t* tables, std::int32_t* y, std::int16_t* u, std::int16_t* v,
                        WqFcPath path = WqFcActivePath()) const;
    // The largest |Y|, and |U| and |V|, the matrix can give from curve outputs 0..1023.
    // -1 when the luminance has no bound that fits.
    std::int32_t LumaBound() const;
    std::int32_t ChromaBound() const;
    // Y, U, V of one row of curve outputs.
    void MatrixRow(const std::int16_t* r1, const std::int16_t* g1, const std::int16_t* b1, int n,
                   std::int32_t* y, std::int16_t* u, std::int16_t* v, WqFcPath path = WqFcActivePath()) const;

private:
    bool FitsFloat() const;
    std::int64_t RowBound(int row) const;
};
