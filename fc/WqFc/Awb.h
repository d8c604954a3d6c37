// Automatic white balance statistics: counts how the colour differences of near-grey samples lean
// and moves the red and blue gains against the lean. The pipeline carries it, but nothing switches
// it on; it stays callable on its own.
#pragma once

#include <cstdint>

class Awb {
public:
    std::int32_t gainR = 128, gainG = 128, gainB = 128; // 1/128
    int x1 = 0, x2 = 0, y1 = 0, y2 = 0;                 // sample window, inclusive
    int lumaLo = 64, lumaHi = 230;
    int centreS = 0, centreT = 0;
    int sLo = -32, sHi = 52; // s = (R-Y) + (B-Y)
    int tLo = -80, tHi = 46; // t = (R-Y) - (B-Y)

    void SetWindow(int left, int right, int top, int bottom);
    // Clears the run counters and tendencies before a frame.
    void Begin();
    // One sample in 8-bit scale.
    void Sample(int r, int g, int b);
    // Samples a frame's white-balanced planes (values of 8 per 8-bit step): rows of the window that are
    // multiples of 4, even columns from x1 / 2 to x2 / 2.
    void Measure(const std::int16_t* red, const std::int16_t* green, const std::int16_t* blue, int width,
                 int height);
    // Turns the tendencies into new red and blue gains for a picture of the given size.
    void Finish(int width, int height);

    int TendencyS() const { return m_tendencyS; }
    int TendencyT() const { return m_tendencyT; }
    // The step for a tendency ratio g: thresholds (16000, 8000, ... 0) with the t or the s steps.
    static double StepT(double ratio);
    static double StepS(double ratio);

private:
    struct Axis {
        int above = 0;
        int below = 0;
    };
    static void Count(Axis& axis, int value, int centre, int& tendency);

    Axis m_s, m_t;
    int m_tendencyS = 0;
    int m_tendencyT = 0;
};
