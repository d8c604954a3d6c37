#include "fc/BREM_FC/FilterFile.h"

#include <cstdio>

#include "fc/WqFc/BremIc.h"

namespace {
void Line(std::string& out, const char* text) {
    out += text;
    out += "\r\n";
}

template <class... Args> void LineF(std::string& out, const char* format, Args... args) {
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    Line(out, text);
}
} // namespace

std::string FilterFileText(const BremIc& pipeline) {
    const double gains[3] = {pipeline.WBGainR() * 0.0078125, pipeline.WBGainG() * 0.0078125,
                             pipeline.WBGainB() * 0.0078125};
    std::string out;
    Line(out, "# kvx208");
    LineF(out, "# WB-Param : R = %f, G = %f, B = %f", gains[0], gains[1], gains[2]);
    Line(out, "# matrix order: [phase 0..3][YUV 0..2][Y 0..2][X 0..2]");
    Line(out, "# format");
    Line(out, "#   line start with:");
    Line(out, "#\t#\tcomment");
    Line(out, "#\t<space> or <nul> line\tblank line");
    Line(out, "#\tR,G,B\t3x3 block index");
    Line(out, "#\tother\t3 parameter values");

    // M[row][colour] = YC matrix / 1000 x white-balance gain / 128.
    double m[3][3];
    for (int row = 0; row < 3; ++row)
        for (int c = 0; c < 3; ++c)
            m[row][c] = pipeline.Matrix().coef[static_cast<std::size_t>(row * 3 + c)] / 1000.0 * gains[c];

    static const int kPhaseOfBlock[4] = {1, 0, 3, 2};
    static const char kLetters[] = "YUV";
    for (int block = 0; block < 4; ++block) {
        const int phase = kPhaseOfBlock[block];
        for (int letter = 0; letter < 3; ++letter) {
            LineF(out, "%c%d", kLetters[letter], block);
            for (int row = 0; row < 3; ++row) {
                double v[3];
                for (int k = 0; k < 3; ++k) {
                    double sum = 0.0;
                    for (int c = 0; c < 3; ++c) {
                        std::int16_t weight = 0;
                        pipeline.Bayer().GetFilter(c, phase, 3 * row + k, weight);
                        sum += weight * m[letter][c];
                    }
                    v[k] = 0.25 * sum;
                }
                LineF(out, "%f\t%f\t%f", v[0], v[1], v[2]);
            }
        }
    }
    return out;
}

bool WriteFilterFile(const char* path, const BremIc& pipeline) {
    if (!path || !*path)
        return false;
    const std::string text = FilterFileText(pipeline);
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}
