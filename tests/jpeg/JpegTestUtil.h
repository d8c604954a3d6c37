// Helpers of the codec tests: test pictures, compression into owned byte runs, a temporary folder and
// a way to run the image tools on what the codec writes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "vomLib/Jpeg/jpglib32.h"

namespace jpegtest {

// A 24-bit bottom-up DIB: B, G, R bytes, rows of `stride` bytes.
struct Dib {
    int width = 0;
    int height = 0;
    JpgRows rows = JpgRows::Packed;
    std::size_t stride = 0;
    std::vector<BYTE> pixels;

    BYTE* Pixel(int x, int memoryRow) { return pixels.data() + memoryRow * stride + 3 * x; }
    const BYTE* Pixel(int x, int memoryRow) const { return pixels.data() + memoryRow * stride + 3 * x; }
};

// Smooth gradients, red and blue running in opposite directions, with a pure red band along the top
// (the last memory rows). Alignment bytes hold 0xEE so that reading them shows.
Dib MakeGradient(int width, int height, JpgRows rows);
// Random pixels: hard to compress, so every coefficient gets used.
Dib MakeNoise(int width, int height, JpgRows rows, unsigned seed);
// The pixel bytes without alignment bytes, bottom row first.
std::vector<BYTE> PackedPixels(const Dib& dib);

// Compress with the codec and copy the block out (the block is freed); a failure fails the test.
std::vector<BYTE> Compress(const Dib& dib, int quality, int dct = JPG_DCT_ACCURATE, bool fullChroma = false);
std::vector<BYTE> CompressFields(const Dib& dib, int quality, int order, int dct = JPG_DCT_ACCURATE);
// Decodes a stream or frame into a buffer sized from its header.
std::vector<BYTE> Decode(const std::vector<BYTE>& jpeg, JpgRows rows, int dct = JPG_DCT_ACCURATE);
// Offset of the second field's start-of-image marker, 0 when there is none.
std::size_t SecondStart(const std::vector<BYTE>& frame);

// Peak signal-to-noise ratio of two equal-size byte runs, in dB.
double Psnr(const std::vector<BYTE>& a, const std::vector<BYTE>& b);

// A fresh folder under the temp folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes);
// Writes the DIB as a binary PPM (top row first, R, G, B).
void WritePpm(const std::string& path, const Dib& dib);
// Runs a shell command; returns what it wrote to standard output and standard error.
std::string RunTool(const std::string& command, int* status = nullptr);

} // namespace jpegtest
