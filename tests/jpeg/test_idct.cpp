// The SIMD inverse DCTs against the library's own C methods, and the processor classification that
// chooses them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "JpegTestUtil.h"
#include "platform/win32/system.h"
#include "vomLib/Jpeg/JpgInternal.h"

extern "C" {
#include <jpegint.h>
// The library's C methods (exported by the shared library).
void jpeg_idct_islow(j_decompress_ptr, jpeg_component_info*, JCOEFPTR, JSAMPARRAY, JDIMENSION);
void jpeg_idct_ifast(j_decompress_ptr, jpeg_component_info*, JCOEFPTR, JSAMPARRAY, JDIMENSION);
void jpeg_idct_4x4(j_decompress_ptr, jpeg_component_info*, JCOEFPTR, JSAMPARRAY, JDIMENSION);
void jpeg_idct_2x2(j_decompress_ptr, jpeg_component_info*, JCOEFPTR, JSAMPARRAY, JDIMENSION);
}

using namespace jpegtest;
using IdctMethod = void (*)(j_decompress_ptr, jpeg_component_info*, JCOEFPTR, JSAMPARRAY, JDIMENSION);

namespace {

// A started decompressor: gives the range-limit table and a component the methods can work with.
class StartedDecoder {
public:
    StartedDecoder(const std::vector<BYTE>& jpeg, J_DCT_METHOD method, unsigned denom) {
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.dct_method = method;
        cinfo.scale_num = 1;
        cinfo.scale_denom = denom;
        jpeg_start_decompress(&cinfo);
    }
    ~StartedDecoder() {
        jpeg_abort_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
    }
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
};

// Coefficients of one of three kinds: what real pictures give (dequantised values within the range
// of 8-bit samples, many zeros), anything in the 16-bit range, or large but not extreme values.
void FillBlock(std::mt19937& random, int kind, const std::int16_t* table, JCOEF block[DCTSIZE2]) {
    for (int i = 0; i < DCTSIZE2; ++i) {
        switch (kind) {
        case 0: {
            const int range = i == 0 ? 1024 : 1024 / (1 + i / 4);
            const int value = random() % 3 == 0 ? static_cast<int>(random() % (2 * range + 1)) - range : 0;
            block[i] = static_cast<JCOEF>(value / std::max<int>(1, table[i]));
            break;
        }
        case 1:
            block[i] = static_cast<JCOEF>(random());
            break;
        default:
            block[i] = static_cast<JCOEF>(static_cast<int>(random() % 8001) - 4000);
            break;
        }
    }
}

void FillMultipliers(std::mt19937& random, int kind, std::int16_t table[DCTSIZE2]) {
    for (int i = 0; i < DCTSIZE2; ++i)
        table[i] =
            kind == 1 ? static_cast<std::int16_t>(random()) : static_cast<std::int16_t>(1 + random() % 60);
}

// Runs `blocks` random blocks through the SIMD and the library method; returns the number that differ.
int CompareOnRandomBlocks(IdctMethod simd, IdctMethod library, J_DCT_METHOD method, unsigned denom, int size,
                          int blocks, int kind, bool randomTable) {
    const std::vector<BYTE> jpeg = Compress(MakeGradient(16, 16, JpgRows::Packed), 75);
    StartedDecoder decoder(jpeg, method, denom);
    jpeg_component_info component = decoder.cinfo.comp_info[0];
    jpglib32::SimdIdctTable table{};
    std::memcpy(table.floats, component.dct_table, sizeof table.floats);
    table.library = library;
    component.dct_table = &table;

    std::mt19937 random(1234u + static_cast<unsigned>(kind) * 77u + static_cast<unsigned>(size));
    alignas(16) JCOEF block[DCTSIZE2];
    BYTE simdOut[8][12];
    BYTE libraryOut[8][12];
    JSAMPROW simdRows[8];
    JSAMPROW libraryRows[8];
    for (int r = 0; r < 8; ++r) {
        simdRows[r] = simdOut[r];
        libraryRows[r] = libraryOut[r];
    }
    int differing = 0;
    for (int b = 0; b < blocks; ++b) {
        if (randomTable)
            FillMultipliers(random, kind, table.multipliers);
        FillBlock(random, kind, table.multipliers, block);
        std::memset(simdOut, 0x11, sizeof simdOut);
        std::memset(libraryOut, 0x11, sizeof libraryOut);
        simd(&decoder.cinfo, &component, block, simdRows, 2);
        library(&decoder.cinfo, &component, block, libraryRows, 2);
        if (std::memcmp(simdOut, libraryOut, sizeof simdOut) != 0) {
            if (differing == 0) {
                for (int r = 0; r < size; ++r)
                    for (int c = 0; c < size; ++c)
                        ADD_FAILURE() << "row " << r << " col " << c << ": " << int(simdOut[r][2 + c])
                                      << " != " << int(libraryOut[r][2 + c]);
            }
            ++differing;
        }
    }
    return differing;
}

struct MethodCase {
    const char* name;
    IdctMethod simd;
    IdctMethod library;
    J_DCT_METHOD method;
    unsigned denom;
    int size;
};

void PrintTo(const MethodCase& c, std::ostream* os) {
    *os << c.name;
}

class JpegIdctMethods : public ::testing::TestWithParam<MethodCase> {};

int g_libraryCalls = 0;
void CountingIslow(j_decompress_ptr cinfo, jpeg_component_info* compptr, JCOEFPTR block, JSAMPARRAY out,
                   JDIMENSION col) {
    ++g_libraryCalls;
    jpeg_idct_islow(cinfo, compptr, block, out, col);
}

} // namespace

TEST_P(JpegIdctMethods, EqualTheLibraryOnRandomBlocks) {
    const MethodCase& c = GetParam();
    for (int kind = 0; kind < 3; ++kind) {
        EXPECT_EQ(CompareOnRandomBlocks(c.simd, c.library, c.method, c.denom, c.size, 20000, kind, false), 0)
            << c.name << " kind " << kind << " with the picture's table";
        EXPECT_EQ(CompareOnRandomBlocks(c.simd, c.library, c.method, c.denom, c.size, 20000, kind, true), 0)
            << c.name << " kind " << kind << " with random tables";
    }
}

TEST_P(JpegIdctMethods, EqualTheLibraryOnWholePictures) {
    const MethodCase& c = GetParam();
    for (const Dib& dib : {MakeNoise(72, 56, JpgRows::Packed, 21), MakeGradient(81, 47, JpgRows::Packed)}) {
        for (int quality : {20, 75, 98}) {
            const std::vector<BYTE> jpeg = Compress(dib, quality);
            std::vector<BYTE> plain;
            std::vector<BYTE> simd;
            for (int pass = 0; pass < 2; ++pass) {
                StartedDecoder decoder(jpeg, c.method, c.denom);
                if (pass == 1) {
                    jpglib32::jpg_install_simd_idct(&decoder.cinfo);
                    ASSERT_EQ(decoder.cinfo.idct->inverse_DCT[0], c.simd) << c.name;
                }
                std::vector<BYTE>& out = pass == 0 ? plain : simd;
                const std::size_t stride = decoder.cinfo.output_width * 3;
                out.resize(stride * decoder.cinfo.output_height);
                while (decoder.cinfo.output_scanline < decoder.cinfo.output_height) {
                    JSAMPROW row = out.data() + stride * decoder.cinfo.output_scanline;
                    jpeg_read_scanlines(&decoder.cinfo, &row, 1);
                }
                jpeg_finish_decompress(&decoder.cinfo);
            }
            EXPECT_EQ(simd, plain) << c.name << " quality " << quality;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, JpegIdctMethods,
    ::testing::Values(MethodCase{"islow", jpglib32::jpeg_idct_islow_mmx, jpeg_idct_islow, JDCT_ISLOW, 1, 8},
                      MethodCase{"ifast", jpglib32::jpeg_idct_ifast_mmx, jpeg_idct_ifast, JDCT_IFAST, 1, 8},
                      MethodCase{"reduced4", jpglib32::jpeg_idct_4x4_mmx, jpeg_idct_4x4, JDCT_ISLOW, 2, 4},
                      MethodCase{"reduced2", jpglib32::jpeg_idct_2x2_mmx, jpeg_idct_2x2, JDCT_ISLOW, 4, 2}),
    [](const ::testing::TestParamInfo<MethodCase>& info) { return std::string(info.param.name); });
TEST(JpegIdctFallback, OnlyBlocksBeyondSixteenBitsGoToTheLibrary) {
    g_libraryCalls = 0;
    EXPECT_EQ(
        CompareOnRandomBlocks(jpglib32::jpeg_idct_islow_mmx, CountingIslow, JDCT_ISLOW, 1, 8, 5000, 0, false),
        0);
    EXPECT_EQ(g_libraryCalls, 5000) << "only the reference calls: realistic blocks stay on the SIMD path";
    g_libraryCalls = 0;
    EXPECT_EQ(
        CompareOnRandomBlocks(jpglib32::jpeg_idct_islow_mmx, CountingIslow, JDCT_ISLOW, 1, 8, 1000, 1, true),
        0);
    EXPECT_GT(g_libraryCalls, 1000) << "blocks out of range were handed on";
}

TEST(JpegIdctSwitch, CodecGivesTheSamePixelsWithAndWithoutSimd) {
    const Dib dib = MakeNoise(96, 80, JpgRows::Padded4, 2);
    for (int dct : {0, 1}) {
        const std::vector<BYTE> frame = CompressFields(dib, 60, 0, dct);
        std::vector<BYTE> off(dib.pixels.size());
        std::vector<BYTE> on(dib.pixels.size());
        jpglib32::set_simd_idct(jpglib32::SimdIdct::Off);
        EXPECT_FALSE(jpglib32::simd_idct_chosen());
        ASSERT_EQ(jpg_decompress_dib(frame.data(), off.data(), static_cast<long>(frame.size()), dct,
                                     off.size(), JpgRows::Padded4),
                  JPG_OK);
        jpglib32::set_simd_idct(jpglib32::SimdIdct::On);
        EXPECT_TRUE(jpglib32::simd_idct_chosen());
        ASSERT_EQ(jpg_decompress_dib(frame.data(), on.data(), static_cast<long>(frame.size()), dct, on.size(),
                                     JpgRows::Padded4),
                  JPG_OK);
        jpglib32::set_simd_idct(jpglib32::SimdIdct::Auto);
        EXPECT_EQ(on, off) << "method " << dct;
    }
}

TEST(JpegCpu, ClassificationTable) {
    using jpglib32::classify_cpu;
    auto eax = [](int family, int type, int model) {
        return static_cast<DWORD>((type << 12) | (family << 8) | (model << 4) | 3);
    };
    EXPECT_EQ(classify_cpu("GenuineIntel", 1, eax(4, 0, 8)), 11);
    EXPECT_EQ(classify_cpu("GenuineIntel", 1, eax(4, 2, 3)), 11);
    EXPECT_EQ(classify_cpu("GenuineIntel", 1, eax(5, 0, 1)), 1);
    EXPECT_EQ(classify_cpu("GenuineIntel", 1, eax(5, 0, 2)), 2);
    EXPECT_EQ(classify_cpu("GenuineIntel", 1, eax(5, 0, 4)), 5);
    EXPECT_EQ(classify_cpu("GenuineIntel", 1, eax(5, 1, 2)), 3);
    EXPECT_EQ(classify_cpu("GenuineIntel", 1, eax(5, 1, 3)), 4);
    EXPECT_EQ(classify_cpu("GenuineIntel", 1, eax(5, 1, 4)), 6);
    EXPECT_EQ(classify_cpu("GenuineIntel", 2, eax(6, 0, 1)), 7);
    EXPECT_EQ(classify_cpu("GenuineIntel", 2, eax(6, 0, 3)), 8);
    EXPECT_EQ(classify_cpu("GenuineIntel", 2, eax(6, 0, 5)), 9);
    EXPECT_EQ(classify_cpu("GenuineIntel", 2, eax(6, 1, 9)), 10);
    EXPECT_EQ(classify_cpu("GenuineIntel", 2, eax(6, 0, 7)), -1);
    EXPECT_EQ(classify_cpu("GenuineIntel", 2, eax(5, 2, 4)), -1);
    EXPECT_EQ(classify_cpu("GenuineIntel", 0x20, eax(15, 0, 4)), -1); // extended family in use
    EXPECT_EQ(classify_cpu("GenuineIntel", 0, eax(5, 0, 4)), -1);
    EXPECT_EQ(classify_cpu("AuthenticAMD", 1, eax(5, 0, 4)), -1);
    EXPECT_EQ(classify_cpu("GenuineIntelX", 1, eax(5, 0, 4)), -1);
}

TEST(JpegCpu, SimdIdctOnlyOnTwoProcessorTypes) {
    for (int code = -1; code <= 11; ++code)
        EXPECT_EQ(jpglib32::use_mmx_idct_for(code), code == 5 || code == 8) << code;
}

TEST(JpegCpu, ThisProcessorIsClassifiedFromItsOwnCpuid) {
    int regs[4];
    CpuId(regs, 0);
    char vendor[13];
    CpuVendor(vendor);
    int leaf1[4] = {0, 0, 0, 0};
    if (regs[0] >= 1)
        CpuId(leaf1, 1);
    EXPECT_EQ(jpglib32::get_cpu_type(),
              jpglib32::classify_cpu(vendor, regs[0], static_cast<DWORD>(leaf1[0])));
    EXPECT_EQ(jpglib32::use_mmx_idct() != FALSE, jpglib32::use_mmx_idct_for(jpglib32::get_cpu_type()));
}
