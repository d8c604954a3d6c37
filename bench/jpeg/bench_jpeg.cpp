// The codec against the same library called directly with its standard memory source and destination:
// a 640 x 480 frame at quality 75, compressed and decoded as one image and as two fields.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "platform/win32/memory.h"
#include "vomLib/Jpeg/jpglib32.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kQuality = 75;

// Gradients with some texture: compresses like a camera frame rather than like noise or a flat field.
const std::vector<BYTE>& Frame() {
    static const std::vector<BYTE> frame = [] {
        std::vector<BYTE> pixels(kWidth * 3 * kHeight);
        std::mt19937 random(1);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                BYTE* p = pixels.data() + (y * kWidth + x) * 3;
                const int texture = static_cast<int>(random() % 24);
                p[0] = static_cast<BYTE>((x * 200 / kWidth + texture) & 0xFF);
                p[1] = static_cast<BYTE>((y * 180 / kHeight + ((x / 40 + y / 40) % 2) * 50 + texture / 2) &
                                         0xFF);
                p[2] = static_cast<BYTE>((220 - x * 150 / kWidth + texture) & 0xFF);
            }
        }
        return pixels;
    }();
    return frame;
}

// Rows of the bottom-up frame, top row first, as the library takes them.
std::vector<JSAMPROW> TopFirstRows(BYTE* pixels, int first, int step, int rows) {
    std::vector<JSAMPROW> out(rows);
    for (int r = 0; r < rows; ++r)
        out[r] = pixels + static_cast<std::size_t>(first + step * (rows - 1 - r)) * kWidth * 3;
    return out;
}

// The library's memory block: freed by the owner with std::free.
struct LibraryBlock {
    unsigned char* data;
    unsigned long size;
};

LibraryBlock LibraryCompress(const std::vector<JSAMPROW>& rows, int height) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &mem, &size);
    cinfo.image_width = kWidth;
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kQuality, FALSE);
    jpeg_start_compress(&cinfo, TRUE);
    jpeg_write_scanlines(&cinfo, const_cast<JSAMPARRAY>(rows.data()), static_cast<JDIMENSION>(height));
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return {mem, size};
}

void LibraryDecode(const BYTE* data, std::size_t length, JSAMPROW* rows) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(length));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, rows + cinfo.output_scanline,
                            cinfo.output_height - cinfo.output_scanline);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

std::vector<BYTE> CodecFrame(bool fields) {
    BYTE* block = nullptr;
    long length = 0;
    auto& frame = const_cast<std::vector<BYTE>&>(Frame());
    if (fields)
        jpg_compress_fields(frame.data(), kWidth, kHeight, JpgRows::Packed, &block, &length, kQuality, 0, 0);
    else
        jpg_compress_rgb(frame.data(), kWidth, kHeight, JpgRows::Packed, &block, &length, kQuality, 0);
    std::vector<BYTE> out(block, block + length);
    GlobalFree(block);
    return out;
}

std::size_t SecondStart(const std::vector<BYTE>& frame) {
    for (std::size_t i = 2; i + 3 < frame.size(); ++i)
        if (frame[i] == 0xFF && frame[i + 1] == 0xD9 && frame[i + 2] == 0xFF && frame[i + 3] == 0xD8)
            return i + 2;
    return 0;
}

void BM_CompressCodec(benchmark::State& state) {
    for (auto _ : state) {
        BYTE* block = nullptr;
        long length = 0;
        jpg_compress_rgb(Frame().data(), kWidth, kHeight, JpgRows::Packed, &block, &length, kQuality, 0);
        benchmark::DoNotOptimize(block);
        GlobalFree(block);
    }
}

void BM_CompressLibrary(benchmark::State& state) {
    auto& frame = const_cast<std::vector<BYTE>&>(Frame());
    const std::vector<JSAMPROW> rows = TopFirstRows(frame.data(), 0, 1, kHeight);
    for (auto _ : state) {
        const LibraryBlock block = LibraryCompress(rows, kHeight);
        benchmark::DoNotOptimize(block.data);
        std::free(block.data);
    }
}

void BM_CompressFieldsCodec(benchmark::State& state) {
    for (auto _ : state) {
        BYTE* block = nullptr;
        long length = 0;
        jpg_compress_fields(Frame().data(), kWidth, kHeight, JpgRows::Packed, &block, &length, kQuality, 0,
                            0);
        benchmark::DoNotOptimize(block);
        GlobalFree(block);
    }
}

void BM_CompressFieldsLibrary(benchmark::State& state) {
    auto& frame = const_cast<std::vector<BYTE>&>(Frame());
    const std::vector<JSAMPROW> even = TopFirstRows(frame.data(), 0, 2, kHeight / 2);
    const std::vector<JSAMPROW> odd = TopFirstRows(frame.data(), 1, 2, kHeight / 2);
    for (auto _ : state) {
        // Joined into one block, as the codec hands out one.
        const LibraryBlock first = LibraryCompress(even, kHeight / 2);
        const LibraryBlock second = LibraryCompress(odd, kHeight / 2);
        auto* joined = static_cast<unsigned char*>(std::malloc(first.size + second.size));
        std::memcpy(joined, first.data, first.size);
        std::memcpy(joined + first.size, second.data, second.size);
        benchmark::DoNotOptimize(joined);
        std::free(joined);
        std::free(first.data);
        std::free(second.data);
    }
}

void BM_DecodeCodec(benchmark::State& state) {
    const std::vector<BYTE> jpeg = CodecFrame(false);
    std::vector<BYTE> out(kWidth * 3 * kHeight);
    for (auto _ : state)
        jpg_decompress_dib(jpeg.data(), out.data(), static_cast<long>(jpeg.size()), 0, out.size(),
                           JpgRows::Packed);
}

void BM_DecodeLibrary(benchmark::State& state) {
    const std::vector<BYTE> jpeg = CodecFrame(false);
    std::vector<BYTE> out(kWidth * 3 * kHeight);
    std::vector<JSAMPROW> rows = TopFirstRows(out.data(), 0, 1, kHeight);
    for (auto _ : state)
        LibraryDecode(jpeg.data(), jpeg.size(), rows.data());
}

void BM_DecodeFieldsCodec(benchmark::State& state) {
    const std::vector<BYTE> frame = CodecFrame(true);
    std::vector<BYTE> out(kWidth * 3 * kHeight);
    for (auto _ : state)
        jpg_decompress_dib(frame.data(), out.data(), static_cast<long>(frame.size()), 0, out.size(),
                           JpgRows::Packed);
}

void BM_DecodeFieldsLibrary(benchmark::State& state) {
    const std::vector<BYTE> frame = CodecFrame(true);
    const std::size_t second = SecondStart(frame);
    std::vector<BYTE> out(kWidth * 3 * kHeight);
    std::vector<JSAMPROW> even = TopFirstRows(out.data(), 0, 2, kHeight / 2);
    std::vector<JSAMPROW> odd = TopFirstRows(out.data(), 1, 2, kHeight / 2);
    for (auto _ : state) {
        LibraryDecode(frame.data(), second, even.data());
        LibraryDecode(frame.data() + second, frame.size() - second, odd.data());
    }
}

// The codec's own SIMD inverse DCTs, forced on (they are chosen by processor type otherwise).
void BM_DecodeCodecSimdIdct(benchmark::State& state) {
    const std::vector<BYTE> jpeg = CodecFrame(false);
    std::vector<BYTE> out(kWidth * 3 * kHeight);
    jpglib32::set_simd_idct(state.range(0) != 0 ? jpglib32::SimdIdct::On : jpglib32::SimdIdct::Off);
    for (auto _ : state)
        jpg_decompress_dib(jpeg.data(), out.data(), static_cast<long>(jpeg.size()),
                           static_cast<int>(state.range(1)), out.size(), JpgRows::Packed);
    jpglib32::set_simd_idct(jpglib32::SimdIdct::Auto);
}

} // namespace

BENCHMARK(BM_CompressCodec)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompressLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompressFieldsCodec)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompressFieldsLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeCodec)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeFieldsCodec)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeFieldsLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeCodecSimdIdct)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
