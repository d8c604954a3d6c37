// Test data of the AVI filter server: AVI files made by ffmpeg and by the platform's writer, ffmpeg's
// decode of them, and packed bitmaps turned into top-down B, G, R rows for comparison.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/vfw/avifile.h"
#include "platform/win32/bitmap.h"

namespace ovisktest {

inline std::string Run(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        if (status)
            *status = -1;
        return out;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status)
        *status = rc;
    return out;
}

inline bool HaveFfmpeg() {
    int status = 0;
    Run("ffmpeg -version >/dev/null 2>&1", &status);
    return status == 0;
}

inline std::vector<BYTE> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A synthetic clip of `frames` frames made by ffmpeg with the given output options (codec, pixel format).
inline bool MakeFfmpegAvi(const std::string& path, int width, int height, int frames, int rate,
                          const std::string& options) {
    int status = 0;
    const std::string out = Run("ffmpeg -v error -y -f lavfi -i testsrc=size=" + std::to_string(width) + "x" +
                                    std::to_string(height) + ":rate=" + std::to_string(rate) + " -frames:v " +
                                    std::to_string(frames) + " " + options + " '" + path + "' 2>&1",
                                &status);
    EXPECT_EQ(status, 0) << out;
    return status == 0;
}

// ffmpeg's decode of every frame as top-down bgr24 rows, frames one after another. Chroma is
// interpolated at full resolution with exact rounding, as the JPEG library does it.
inline std::vector<BYTE> FfmpegDecode(const std::string& path, const std::string& raw) {
    int status = 0;
    const std::string out =
        Run("ffmpeg -v error -y -i '" + path +
                "' -sws_flags accurate_rnd+full_chroma_int+bitexact -f rawvideo -pix_fmt bgr24 '" + raw +
                "' 2>&1",
            &status);
    EXPECT_EQ(status, 0) << out;
    return ReadAll(raw);
}

// A packed bitmap (header, colour table, pixels) as top-down B, G, R rows of 3 x width bytes.
inline std::vector<BYTE> PackedToTopDown(const BYTE* packed, std::size_t size) {
    BITMAPINFOHEADER h;
    if (size < sizeof h)
        return {};
    std::memcpy(&h, packed, sizeof h);
    const int width = h.biWidth;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    DWORD colours = h.biClrUsed;
    if (colours == 0 && h.biBitCount <= 8)
        colours = 1u << h.biBitCount;
    const BYTE* table = packed + h.biSize;
    const BYTE* bits = table + 4 * colours;
    const std::size_t stride = ((static_cast<std::size_t>(width) * h.biBitCount + 31) / 32) * 4;
    if (bits + stride * height > packed + size)
        return {};
    std::vector<BYTE> out(static_cast<std::size_t>(width) * 3 * height);
    for (int y = 0; y < height; ++y) {
        const BYTE* row = bits + stride * static_cast<std::size_t>(h.biHeight < 0 ? y : height - 1 - y);
        BYTE* dst = out.data() + static_cast<std::size_t>(width) * 3 * y;
        for (int x = 0; x < width; ++x) {
            if (h.biBitCount == 24) {
                std::memcpy(dst + 3 * x, row + 3 * x, 3);
            } else if (h.biBitCount == 8) {
                std::memcpy(dst + 3 * x, table + 4 * row[x], 3);
            } else if (h.biBitCount == 32) {
                std::memcpy(dst + 3 * x, row + 4 * x, 3);
            }
        }
    }
    return out;
}

// Mean and largest absolute difference of two equally long byte runs.
struct Difference {
    double mean = 0;
    int largest = 0;
};
inline Difference Compare(const BYTE* a, const BYTE* b, std::size_t n) {
    Difference d;
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int diff = std::abs(int(a[i]) - int(b[i]));
        sum += diff;
        d.largest = std::max(d.largest, diff);
    }
    d.mean = n ? sum / double(n) : 0;
    return d;
}

// Top-down B, G, R test picture: ramps and a block that moves with the index.
inline std::vector<BYTE> Picture(int width, int height, int index) {
    std::vector<BYTE> rgb(static_cast<std::size_t>(width) * 3 * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            const bool block = x >= 4 + 3 * index && x < 20 + 3 * index && y >= 8 && y < 24;
            p[0] = static_cast<BYTE>(block ? 240 : x * 255 / std::max(1, width - 1));
            p[1] = static_cast<BYTE>(block ? 30 : y * 255 / std::max(1, height - 1));
            p[2] = static_cast<BYTE>(block ? 60 : 128);
        }
    return rgb;
}

// Writes an AVI with the platform's writer: a 'vids' stream at 30 frames per second with a 'txts' data
// chunk, compressed with handler ('DIB ', 'MJPG', 'msvc'), frames of Picture().
inline bool WriteProjectAvi(const std::string& path, FOURCC handler, int width, int height, int frames,
                            const std::string& text) {
    PAVIFILE file = nullptr;
    if (FAILED(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr)))
        return false;
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = 30;
    info.dwSuggestedBufferSize = static_cast<DWORD>(width * height * 3);
    info.rcFrame = {0, 0, width, height};
    PAVISTREAM stream = nullptr;
    bool ok = SUCCEEDED(AVIFileCreateStreamA(file, &stream, &info));
    ok = ok && SUCCEEDED(AVIStreamWriteData(stream, mmioFOURCC('t', 'x', 't', 's'),
                                            const_cast<char*>(text.data()), static_cast<LONG>(text.size())));
    AVICOMPRESSOPTIONS options{};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = handler;
    options.dwQuality = 9000;
    options.dwFlags = AVICOMPRESSF_VALID;
    PAVISTREAM compressed = nullptr;
    ok = ok && SUCCEEDED(AVIMakeCompressedStream(&compressed, stream, &options, nullptr));
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    h.biSizeImage = static_cast<DWORD>(stride * height);
    ok = ok && SUCCEEDED(AVIStreamSetFormat(compressed, 0, &h, sizeof h));
    for (int i = 0; ok && i < frames; ++i) {
        const std::vector<BYTE> top = Picture(width, height, i);
        std::vector<BYTE> dib(stride * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(dib.data() + stride * (height - 1 - y),
                        top.data() + static_cast<std::size_t>(width) * 3 * y,
                        static_cast<std::size_t>(width) * 3);
        ok = SUCCEEDED(AVIStreamWrite(compressed, i, 1, dib.data(), static_cast<LONG>(dib.size()),
                                      AVIIF_KEYFRAME, nullptr, nullptr));
    }
    AVIStreamRelease(compressed);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
    return ok;
}

// A temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        char dir[] = "/tmp/kivic_ovisk_XXXXXX";
        if (mkdtemp(dir))
            m_path = dir;
    }
    ~TempDir() {
        if (!m_path.empty())
            std::system(("rm -rf '" + m_path + "'").c_str());
    }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace ovisktest
