// One channel's tone curve: a power curve with a linear knee at the dark end, then the shifts and the
// scale that carry setup, gain, white balance and offset. Indexes 0..Size()-1, values 0..1023.
#pragma once

#include <array>
#include <cstdint>

class GammaCorrect {
public:
    static constexpr int kSize = 1024;

    // Sets the curve's shape and builds the base table.
    void Build(int length, int lo, int hi, double exponent, int knee);
    // Sets the segment from the curve length to tableEnd: it starts at hi, rises by slope per step and
    // is clamped at clamp. Rebuilds the base table.
    void SetUpper(int tableEnd, int clamp, double slope);
    // Builds the base table from the current shape.
    void Rebuild();

    // t[i] <- t[i + shift]; indexes outside the table take its first or last entry.
    void Shift(std::int64_t shift);
    // t[i] <- t[floor(i * num / den)]; indexes outside the table take its first or last entry.
    void Scale(std::int64_t num, std::int64_t den);

    const std::int16_t* Table() const { return m_table.data(); }
    std::int16_t operator[](int index) const { return m_table[static_cast<std::size_t>(index)]; }
    double Exponent() const { return m_exponent; }
    int Knee() const { return m_knee; }

private:
    static int ClampIndex(std::int64_t index) {
        return index < 0 ? 0 : index >= kSize ? kSize - 1 : static_cast<int>(index);
    }

    int m_length = 860;
    int m_lo = 0;
    int m_hi = 1023;
    double m_exponent = 1.0;
    int m_knee = 0;
    int m_tableEnd = kSize - 1;
    int m_clamp = 1023;
    double m_slope = 1.0;
    std::array<std::int16_t, kSize> m_table{};
};
