#include "fc/WqFc/GammaCorrect.h"

#include <algorithm>
#include <cmath>

void GammaCorrect::Build(int length, int lo, int hi, double exponent, int knee) {
    m_length = std::clamp(length, 1, kSize);
    m_lo = lo;
    m_hi = hi;
    m_exponent = exponent;
    m_knee = std::clamp(knee, 0, m_length - 1);
    Rebuild();
}

void GammaCorrect::SetUpper(int tableEnd, int clamp, double slope) {
    m_tableEnd = std::clamp(tableEnd, 0, kSize - 1);
    m_clamp = clamp;
    m_slope = slope;
    Rebuild();
}

void GammaCorrect::Rebuild() {
    const double n = m_length;
    const double range = m_hi - m_lo;
    // The knee joins the power curve at i = knee with a straight line from 0.
    const double kneeSlope = m_knee > 0 ? (m_lo + std::pow(m_knee / n, m_exponent) * range) / m_knee : 0.0;
    for (int i = 0; i < kSize; ++i) {
        double value;
        if (i < m_knee)
            value = std::floor(kneeSlope * i + 0.5);
        else if (i < m_length)
            value = std::floor(m_lo + std::pow(i / n, m_exponent) * range + 0.5);
        else if (i <= m_tableEnd)
            value = std::min<double>(m_clamp, std::floor(m_hi + (i - m_length) * m_slope + 0.5));
        else
            value = m_clamp;
        m_table[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::clamp(value, 0.0, 1023.0));
    }
}

void GammaCorrect::Shift(std::int64_t shift) {
    // Any shift past the table's length gives the same table; keeping it small avoids overflow.
    shift = shift < -kSize ? -kSize : shift > kSize ? kSize : shift;
    std::array<std::int16_t, kSize> source = m_table;
    for (int i = 0; i < kSize; ++i)
        m_table[static_cast<std::size_t>(i)] = source[static_cast<std::size_t>(ClampIndex(i + shift))];
}

void GammaCorrect::Scale(std::int64_t num, std::int64_t den) {
    if (den == 0)
        return;
    std::array<std::int16_t, kSize> source = m_table;
    for (int i = 0; i < kSize; ++i) {
        std::int64_t index = static_cast<std::int64_t>(i) * num;
        // Floor division, so a negative scale lands on the first entry.
        std::int64_t q = index / den;
        if ((index % den != 0) && ((index < 0) != (den < 0)))
            --q;
        m_table[static_cast<std::size_t>(i)] = source[static_cast<std::size_t>(ClampIndex(q))];
    }
}
