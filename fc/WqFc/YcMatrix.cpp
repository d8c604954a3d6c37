#include "fc/WqFc/YcMatrix.h"

#include <algorithm>
#include <cstdlib>

#include "fc/WqFc/WqFcKernels.h"
#include "fc/WqFc/WqFcPath.h"

namespace {
inline int CurveIndex(std::int16_t value) {
    return value < 0 ? 0 : value > 1023 ? 1023 : value;
}

std::int16_t Saturate16(std::int64_t value) {
    return static_cast<std::int16_t>(value < -32768 ? -32768 : value > 32767 ? 32767 : value);
}
} // namespace

void YcMatrix::CurveRow(const std::int16_t* r, const std::int16_t* g, const std::int16_t* b, int n,
                        const GammaCorrect& curveR, const GammaCorrect& curveG, const GammaCorrect& curveB,
                        std::int16_t* r1, std::int16_t* g1, std::int16_t* b1) {
    const std::int16_t* tr = curveR.Table();
    const std::int16_t* tg = curveG.Table();
    const std::int16_t* tb = curveB.Table();
    for (int i = 0; i < n; ++i) {
        r1[i] = tr[CurveIndex(r[i])];
        g1[i] = tg[CurveIndex(g[i])];
        b1[i] = tb[CurveIndex(b[i])];
    }
}

bool YcMatrix::FitsFloat() const {
    long magnitude = 0;
    for (std::int32_t c : coef)
        magnitude += std::labs(c);
    return magnitude <= 16000;
}

std::int64_t YcMatrix::RowBound(int row) const {
    const std::int64_t sum =
        std::llabs(coef[3 * row]) + std::llabs(coef[3 * row + 1]) + std::llabs(coef[3 * row + 2]);
    return sum * 1023 / 1000 + 1;
}

std::int32_t YcMatrix::LumaBound() const {
    const std::int64_t bound = RowBound(0);
    return bound < (std::int64_t{1} << 30) ? static_cast<std::int32_t>(bound) : -1;
}

std::int32_t YcMatrix::ChromaBound() const {
    // U and V are kept in 16 bits.
    return static_cast<std::int32_t>(std::min<std::int64_t>(std::max(RowBound(1), RowBound(2)), 32767));
}

void YcMatrix::CurveMatrixRow(const std::int16_t* r, const std::int16_t* g, const std::int16_t* b, int n,
                              const std::int32_t* tables, std::int32_t* y, std::int16_t* u, std::int16_t* v,
                              WqFcPath path) const {
    int i = 0;
    if (FitsFloat()) {
        if (path == WqFcPath::Avx2)
            i = wqfc_kernels::avx2::CurveMatrixRow(r, g, b, n, tables, coef.data(), y, u, v);
        else if (path == WqFcPath::Sse2)
            i = wqfc_kernels::base::CurveMatrixRow(r, g, b, n, tables, coef.data(), y, u, v);
    }
    for (; i < n; ++i) {
        const std::int16_t r1 = static_cast<std::int16_t>(tables[CurveIndex(r[i])]);
        const std::int16_t g1 = static_cast<std::int16_t>(tables[1024 + CurveIndex(g[i])]);
        const std::int16_t b1 = static_cast<std::int16_t>(tables[2048 + CurveIndex(b[i])]);
        MatrixRow(&r1, &g1, &b1, 1, y + i, u + i, v + i, WqFcPath::Plain);
    }
}

void YcMatrix::MatrixRow(const std::int16_t* r1, const std::int16_t* g1, const std::int16_t* b1, int n,
                         std::int32_t* y, std::int16_t* u, std::int16_t* v, WqFcPath path) const {
    int i = 0;
    if (FitsFloat()) {
        if (path == WqFcPath::Avx2)
            i = wqfc_kernels::avx2::YcMatrixRow(r1, g1, b1, n, coef.data(), y, u, v);
        else if (path == WqFcPath::Sse2)
            i = wqfc_kernels::base::YcMatrixRow(r1, g1, b1, n, coef.data(), y, u, v);
    }
    for (; i < n; ++i) {
        const std::int64_t r = r1[i], g = g1[i], b = b1[i];
        y[i] = static_cast<std::int32_t>((coef[0] * r + coef[1] * g + coef[2] * b) / 1000);
        u[i] = Saturate16((coef[3] * r + coef[4] * g + coef[5] * b) / 1000);
        v[i] = Saturate16((coef[6] * r + coef[7] * g + coef[8] * b) / 1000);
    }
}
