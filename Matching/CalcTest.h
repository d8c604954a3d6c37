// Colour frames to gray for matching.
#pragma once

class CalcTest {
public:
    virtual ~CalcTest() = default;

    // rgb: width x height pixels of blue, green, red bytes, rows without padding; gray receives
    // width x height bytes. Gray = 0.212671 R + 0.715160 G + 0.072169 B, rounded to nearest.
    void RgbToGray(const unsigned char* rgb, int width, int height, unsigned char* gray);
};
