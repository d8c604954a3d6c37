#include "JpegTestUtil.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "platform/win32/memory.h"

namespace jpegtest {
namespace {

Dib EmptyDib(int width, int height, JpgRows rows) {
    Dib dib{width, height, rows, jpg_row_stride(width, 3, rows), {}};
    dib.pixels.assign(dib.stride * height, 0xEE);
    return dib;
}

std::vector<BYTE> TakeBlock(int result, BYTE* block, long length) {
    EXPECT_EQ(result, JPG_OK);
    std::vector<BYTE> bytes(block, block + (result == JPG_OK ? length : 0));
    if (block != nullptr)
        GlobalFree(block);
    return bytes;
}

} // namespace

Dib MakeGradient(int width, int height, JpgRows rows) {
    Dib dib = EmptyDib(width, height, rows);
    // The band is one row of 16 x 16 blocks high where the picture allows, so that halving the colour
    // resolution does not smear it.
    const int band = height >= 32 ? 16 : height >= 16 ? 8 : 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE* p = dib.Pixel(x, y);
            const bool red = y >= height - band;
            p[0] = red ? 0 : static_cast<BYTE>(40 + 180 * x / std::max(1, width - 1));
            p[1] = red ? 0 : static_cast<BYTE>(60 + 120 * y / std::max(1, height - 1));
            p[2] = red ? 255 : static_cast<BYTE>(220 - 180 * x / std::max(1, width - 1));
        }
    }
    return dib;
}

Dib MakeNoise(int width, int height, JpgRows rows, unsigned seed) {
    Dib dib = EmptyDib(width, height, rows);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            dib.pixels[y * dib.stride + x] = static_cast<BYTE>(random());
    return dib;
}

std::vector<BYTE> PackedPixels(const Dib& dib) {
    std::vector<BYTE> packed;
    for (int y = 0; y < dib.height; ++y)
        packed.insert(packed.end(), dib.Pixel(0, y), dib.Pixel(dib.width, y));
    return packed;
}

std::vector<BYTE> Compress(const Dib& dib, int quality, int dct, bool fullChroma) {
    BYTE* block = nullptr;
    long length = 0;
    const auto compress = fullChroma ? jpg_compress_rgb_full : jpg_compress_rgb;
    const int result =
        compress(dib.pixels.data(), dib.width, dib.height, dib.rows, &block, &length, quality, dct);
    return TakeBlock(result, block, length);
}

std::vector<BYTE> CompressFields(const Dib& dib, int quality, int order, int dct) {
    BYTE* block = nullptr;
    long length = 0;
    const int result = jpg_compress_fields(dib.pixels.data(), dib.width, dib.height, dib.rows, &block,
                                           &length, quality, dct, order);
    return TakeBlock(result, block, length);
}

std::vector<BYTE> Decode(const std::vector<BYTE>& jpeg, JpgRows rows, int dct) {
    JpgImageInfo info;
    EXPECT_EQ(jpg_read_header(jpeg.data(), static_cast<long>(jpeg.size()), &info), JPG_OK);
    std::vector<BYTE> out(jpg_dib_size(info, rows), 0xCC);
    EXPECT_EQ(
        jpg_decompress_dib(jpeg.data(), out.data(), static_cast<long>(jpeg.size()), dct, out.size(), rows),
        JPG_OK);
    return out;
}

std::size_t SecondStart(const std::vector<BYTE>& frame) {
    for (std::size_t i = 2; i + 3 < frame.size(); ++i)
        if (frame[i] == 0xFF && frame[i + 1] == 0xD9 && frame[i + 2] == 0xFF && frame[i + 3] == 0xD8)
            return i + 2;
    return 0;
}

double Psnr(const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
    if (a.size() != b.size() || a.empty())
        return 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += (double(a[i]) - double(b[i])) * (double(a[i]) - double(b[i]));
    return sum == 0.0 ? 100.0 : 10.0 * std::log10(255.0 * 255.0 * double(a.size()) / sum);
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string name = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/jpegtest-XXXXXX";
    if (mkdtemp(name.data()) == nullptr)
        throw std::runtime_error("cannot make a temp folder");
    path_ = name;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

void WritePpm(const std::string& path, const Dib& dib) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << dib.width << " " << dib.height << "\n255\n";
    for (int y = dib.height - 1; y >= 0; --y) {
        for (int x = 0; x < dib.width; ++x) {
            const BYTE* p = dib.Pixel(x, y);
            const char rgb[3] = {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0])};
            out.write(rgb, 3);
        }
    }
    ASSERT_TRUE(out.good()) << path;
}

std::string RunTool(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int code = pclose(pipe);
    if (status != nullptr)
        *status = code;
    return output;
}

} // namespace jpegtest
