// The TIFF reader: the writer's files, libtiff's variants of them, hand-made layouts and hostile data.
#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "image_test_util.h"
#include "vomLib/Image/TiffFile.h"
#include "vomLib/Utility/vomException.h"

using namespace imagetest;

namespace {

class TiffReader : public ::testing::Test {
protected:
    static constexpr int kWidth = 13, kHeight = 7;

    void SetUp() override {
        rgb = Pattern(kWidth, kHeight, 256);
        TiffFile tiff;
        ASSERT_TRUE(tiff.SetImage(kWidth, kHeight, 3, 24, rgb.data()));
        ASSERT_TRUE(tiff.SaveFile(source.c_str()));
    }

    // Loads path with red and blue exchanged and returns what its display bitmap shows.
    static Bytes Shown(const std::string& path) {
        TiffFile tiff;
        EXPECT_TRUE(tiff.LoadFile(path.c_str(), TRUE));
        HBITMAP bitmap = tiff.CreateBitmap(nullptr);
        EXPECT_NE(bitmap, nullptr);
        Bytes shown = BitmapRgb(bitmap);
        DeleteObject(bitmap);
        return shown;
    }

    // The message of the vomException that loading path throws ("" when none).
    static std::string Refusal(const std::string& path) {
        TiffFile tiff;
        try {
            tiff.LoadFile(path.c_str(), TRUE);
        } catch (const vomException& e) {
            return e.Message();
        }
        return "";
    }

    std::string Tiffcp(const std::string& options, const std::string& name) {
        const std::string out = dir / name;
        int status = 0;
        const std::string log = Shell("tiffcp " + options + " '" + source + "' '" + out + "'", &status, true);
        EXPECT_EQ(status, 0) << log;
        return out;
    }

    TempDir dir;
    std::string source = dir / "source.tif";
    Bytes rgb;
};

TEST_F(TiffReader, ReadsTheWritersFile) {
    TiffFile tiff;
    ASSERT_TRUE(tiff.LoadFile(source.c_str(), FALSE));
    EXPECT_STREQ(tiff.GetByteOrder(), "II");
    EXPECT_EQ(tiff.ImageWidth(), DWORD(kWidth));
    EXPECT_EQ(tiff.ImageLength(), DWORD(kHeight));
    EXPECT_EQ(tiff.BitsPerPixel(), 24u); // one BitsPerSample value counts for each of the 3 samples
    EXPECT_EQ(tiff.GetTagValue(TIFFTAG_SOURCEBITS), 24u);
    ASSERT_EQ(tiff.GetImageSize(), rgb.size());
    EXPECT_EQ(0, std::memcmp(tiff.GetPixels(), rgb.data(), rgb.size()));
    // The same entries in the same order.
    TiffFile written;
    written.SetImage(kWidth, kHeight, 3, 24, rgb.data());
    written.SetTag(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, static_cast<DWORD>(rgb.size()));
    ASSERT_EQ(tiff.Entries().size(), written.Entries().size());
    for (std::size_t i = 0; i < written.Entries().size(); ++i)
        EXPECT_EQ(tiff.Entries()[i]->GetTag(), written.Entries()[i]->GetTag()) << i;
    EXPECT_EQ(Shown(source), rgb);
    EXPECT_FALSE(tiff.LoadFile((dir / "missing.tif").c_str(), TRUE));
}

TEST_F(TiffReader, ReadsOrRefusesLibtiffVariants) {
    if (!HaveTool("tiffcp"))
        GTEST_SKIP() << "libtiff tools are not installed";
    // Byte orders, several strips, separate planes: read to the same picture.
    for (const char* options : {"-B", "-L", "-r 2", "-B -r 3", "-p separate", "-B -p separate -r 4"}) {
        SCOPED_TRACE(options);
        const std::string path = Tiffcp(options, "variant.tif");
        EXPECT_EQ(Shown(path), rgb);
    }
    TiffFile big;
    ASSERT_TRUE(big.LoadFile(Tiffcp("-B", "big.tif").c_str(), FALSE));
    EXPECT_STREQ(big.GetByteOrder(), "MM");
    EXPECT_EQ(0, std::memcmp(big.GetPixels(), rgb.data(), rgb.size()));

    // Compression and BigTIFF are refused with a reason.
    EXPECT_EQ(Refusal(Tiffcp("-c lzw", "lzw.tif")), "Compressed TIFF images are not supported.");
    EXPECT_EQ(Refusal(Tiffcp("-c packbits", "packbits.tif")), "Compressed TIFF images are not supported.");
    EXPECT_EQ(Refusal(Tiffcp("-8", "bigtiff.tif")), "Invalid TIFF Version.");

    // A file of two images gives the first.
    const std::string second = dir / "second.tif";
    {
        TiffFile other;
        const Bytes grey(5 * 3, 77);
        other.SetImage(5, 3, 1, 8, grey.data());
        other.SaveFile(second.c_str());
    }
    int status = 0;
    const std::string pages = dir / "pages.tif";
    Shell("tiffcp '" + source + "' '" + second + "' '" + pages + "'", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(Shown(pages), rgb);
}

TEST_F(TiffReader, ReadsImageMagickDepthsAndRefusesPalettes) {
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is not installed";
    const std::string ppm = dir / "in.ppm";
    WritePpm(ppm, kWidth, kHeight, rgb);
    int status = 0;
    // 16-bit samples in both byte orders show by their high byte, which is the 8-bit value.
    for (const char* endian : {"MSB", "LSB"}) {
        const std::string path = dir / (std::string("deep") + endian + ".tif");
        Shell("convert '" + ppm + "' -depth 16 -endian " + endian + " -compress none '" + path + "'",
              &status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(Shown(path), rgb) << endian;
    }
    // Grey.
    const std::string grey = dir / "grey.tif";
    Shell("convert '" + ppm + "' -colorspace Gray -depth 8 -compress none '" + grey + "'", &status);
    const Bytes greyRgb = MagickRgb(grey);
    EXPECT_EQ(Shown(grey), greyRgb);
    // Palette images are refused.
    const std::string palette = dir / "palette.tif";
    Shell("convert '" + ppm + "' -colors 16 -type Palette -compress none '" + palette + "'", &status);
    EXPECT_EQ(Refusal(palette), "Palette TIFF images are not supported.");
}

TEST(TiffIfdEntry, ValuesOfEveryTypeReadAlikeInBothByteOrders) {
    struct Case {
        WORD type;
        Bytes little, big;
        DWORD value; // GetValue(0)
    } cases[] = {
        {TIFF_BYTE, {7, 9}, {7, 9}, 7},
        {TIFF_UNDEFINED, {1, 2, 3, 4}, {1, 2, 3, 4}, 1}, // bytes keep their order in line
        {TIFF_SHORT, {0x34, 0x12, 0x78, 0x56}, {0x12, 0x34, 0x56, 0x78}, 0x1234},
        {TIFF_LONG, {0x78, 0x56, 0x34, 0x12}, {0x12, 0x34, 0x56, 0x78}, 0x12345678},
        {TIFF_RATIONAL, {10, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 10, 0, 0, 0, 4}, 2},
        {TIFF_FLOAT, {0, 0, 0xC0, 0x3F}, {0x3F, 0xC0, 0, 0}, 1},                           // 1.5f
        {TIFF_DOUBLE, {0, 0, 0, 0, 0, 0, 0x24, 0x40}, {0x40, 0x24, 0, 0, 0, 0, 0, 0}, 10}, // 10.0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        auto little = TiffIfdEntry::Create(1, c.type), big = TiffIfdEntry::Create(1, c.type);
        const DWORD count = static_cast<DWORD>(c.little.size() / TiffIfdEntry::TypeSize(c.type));
        little->Read(c.little.data(), count, false);
        big->Read(c.big.data(), count, true);
        EXPECT_EQ(little->GetValue(0), c.value);
        EXPECT_EQ(big->GetValue(0), c.value);
        Bytes written(c.little.size());
        big->WriteValue(written.data());
        EXPECT_EQ(written, c.little); // written back little-endian
    }
    EXPECT_THROW(TiffIfdEntry::Create(1, 13), vomException);
}

// A YCbCr 4:2:2 file: pairs of pixels as Y0, Y1, Cb, Cr.
Bytes YCbCrFile(TempDir& dir, DWORD width, DWORD height, const Bytes& units, WORD subH = 2, WORD subV = 1) {
    TiffFile tiff;
    tiff.RemoveAllTags();
    tiff.SetTag(TIFFTAG_IMAGEWIDTH, TIFF_LONG, width);
    tiff.SetTag(TIFFTAG_IMAGELENGTH, TIFF_LONG, height);
    const BYTE eights[6] = {8, 0, 8, 0, 8, 0};
    tiff.SetTagArray(TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, 3, 0, eights, 6);
    tiff.SetTag(TIFFTAG_PHOTOMETRIC, TIFF_SHORT, 6);
    tiff.SetTag(TIFFTAG_STRIPOFFSETS, TIFF_LONG, 640);
    tiff.SetTag(TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, 3);
    tiff.SetTagArray(TIFFTAG_YCBCRSUBSAMPLING, TIFF_SHORT, 2, subH | (DWORD(subV) << 16), nullptr, 0);
    tiff.SetTag(TIFFTAG_YCBCRPOSITIONING, TIFF_SHORT, 1);
    tiff.SetTag(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, static_cast<DWORD>(units.size()));
    tiff.SetPixels(units.data(), static_cast<DWORD>(units.size()), 0);
    const std::string path = dir / "ycbcr.tif";
    EXPECT_TRUE(tiff.SaveFile(path.c_str()));
    return ReadAll(path);
}

TEST_F(TiffReader, YCbCrPairsBecomeRgb) {
    // Width 5: three pairs a row, the last one half used.
    Bytes units;
    for (int row = 0; row < 2; ++row)
        for (int pair = 0; pair < 3; ++pair) {
            const BYTE y0 = static_cast<BYTE>(100 + 20 * pair + row), y1 = static_cast<BYTE>(200 + pair);
            units.insert(units.end(), {y0, y1, 150, 90});
        }
    const Bytes file = YCbCrFile(dir, 5, 2, units);
    TiffFile tiff;
    ASSERT_TRUE(tiff.ParseMemory(file.data(), static_cast<DWORD>(file.size()), TRUE, TRUE));
    HBITMAP bitmap = tiff.CreateBitmap(nullptr);
    ASSERT_NE(bitmap, nullptr);
    const Bytes shown = BitmapRgb(bitmap);
    DeleteObject(bitmap);
    ASSERT_EQ(shown.size(), 5u * 2 * 3);
    // cb = 22, cr = -38, g = (186 * 22 + 508 * -38) / 1000 = -15: R = Y - 38, G = Y + 15, B = Y + 22.
    auto expect = [&](int x, int y, int luma) {
        const BYTE* p = &shown[3 * (y * 5 + x)];
        EXPECT_EQ(p[0], std::clamp(luma - 38, 0, 255)) << x << "," << y;
        EXPECT_EQ(p[1], std::clamp(luma + 15, 0, 255)) << x << "," << y;
        EXPECT_EQ(p[2], std::clamp(luma + 22, 0, 255)) << x << "," << y;
    };
    expect(0, 0, 100);
    expect(1, 0, 200);
    expect(2, 0, 120);
    expect(4, 0, 140);
    expect(4, 1, 141);
    expect(3, 1, 201);

    // Other subsampling, and pixels that stop short of the last row, are refused.
    const Bytes quarter = YCbCrFile(dir, 5, 2, units, 2, 2);
    EXPECT_THROW(tiff.ParseMemory(quarter.data(), static_cast<DWORD>(quarter.size()), TRUE, TRUE),
                 vomException);
    Bytes shortUnits(units.begin(), units.end() - 4);
    const Bytes cut = YCbCrFile(dir, 5, 2, shortUnits);
    EXPECT_THROW(tiff.ParseMemory(cut.data(), static_cast<DWORD>(cut.size()), TRUE, TRUE), vomException);
}

// Parses data; true when it was accepted, false when refused (FALSE or vomException). Any other
// exception fails the test.
bool Accepts(const Bytes& data) {
    TiffFile tiff;
    try {
        if (!tiff.ParseMemory(data.data(), static_cast<DWORD>(data.size()), TRUE, TRUE))
            return false;
        HBITMAP bitmap = tiff.CreateBitmap(nullptr);
        DeleteObject(bitmap);
        return true;
    } catch (const vomException&) {
        return false;
    }
}

TEST_F(TiffReader, HostileDataFailsCleanly) {
    const Bytes good = ReadAll(source);
    ASSERT_TRUE(Accepts(good));
    auto with = [&](auto change) {
        Bytes b = good;
        change(b);
        return b;
    };
    auto put32 = [](Bytes& b, std::size_t at, DWORD v) { std::memcpy(&b[at], &v, 4); };
    const std::size_t widthValue = 12 + 12 * 1 + 8; // second entry: ImageWidth
    EXPECT_FALSE(Accepts({}));
    EXPECT_FALSE(Accepts(Bytes(good.begin(), good.begin() + 7)));
    EXPECT_FALSE(Accepts(with([](Bytes& b) { b[0] = 'X'; })));
    EXPECT_FALSE(Accepts(with([](Bytes& b) { b[2] = 43; })));
    EXPECT_FALSE(Accepts(with([&](Bytes& b) { put32(b, 4, 0xFFFFFFF0u); })));
    EXPECT_FALSE(Accepts(with([](Bytes& b) { b[10] = b[11] = 0xFF; }))); // 65535 entries
    EXPECT_FALSE(Accepts(with([](Bytes& b) { b[10] = b[11] = 0; })));    // none at all
    EXPECT_FALSE(Accepts(with([&](Bytes& b) { put32(b, widthValue, 0xFFFFFFFFu); })));
    EXPECT_FALSE(Accepts(with([&](Bytes& b) { put32(b, widthValue, 0); })));
    EXPECT_FALSE(Accepts(Bytes(good.begin(), good.end() - 1)));     // cut in the pixels
    EXPECT_FALSE(Accepts(Bytes(good.begin(), good.begin() + 100))); // cut in the directory
    // The DateTime text (entry 11) claims a huge count or lies beyond the file.
    EXPECT_FALSE(Accepts(with([&](Bytes& b) { put32(b, 12 + 12 * 11 + 4, 0x40000000u); })));
    EXPECT_FALSE(Accepts(with([&](Bytes& b) { put32(b, 12 + 12 * 11 + 8, 0xFFFFFFF0u); })));
    // An unknown field type.
    EXPECT_FALSE(Accepts(with([](Bytes& b) { b[12 + 2] = 99; })));
    // The strip offset (entry 6) points past the end.
    EXPECT_FALSE(Accepts(with([&](Bytes& b) { put32(b, 12 + 12 * 6 + 8, static_cast<DWORD>(b.size())); })));
    // Without StripByteCounts (entry 15, the last) there is nothing to read: an absent tag stays absent.
    EXPECT_FALSE(Accepts(with([](Bytes& b) { b[10] = 15; })));

    // Random damage to the header block and cuts anywhere: no crash, no other exception.
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes b = good;
        const int flips = 1 + next() % 8;
        for (int i = 0; i < flips; ++i)
            b[next() % 300] = static_cast<BYTE>(next() >> 24);
        if (next() % 4 == 0)
            b.resize(next() % b.size());
        accepted += Accepts(b);
    }
    EXPECT_GT(accepted, 0); // damage to unused bytes is harmless
    for (std::size_t cut = 0; cut < good.size(); cut += 37)
        Accepts(Bytes(good.begin(), good.begin() + cut));
    // Garbage throughout.
    for (int round = 0; round < 200; ++round) {
        Bytes b(next() % 2000);
        for (BYTE& v : b)
            v = static_cast<BYTE>(next() >> 24);
        if (b.size() >= 4) {
            b[0] = b[1] = (round & 1) ? 'M' : 'I';
            b[2] = (round & 1) ? 0 : 42;
            b[3] = (round & 1) ? 42 : 0;
        }
        Accepts(b);
    }
}

TEST_F(TiffReader, FilesCutOrEmptyFailWithoutLeaks) {
    const Bytes good = ReadAll(source);
    const DWORD objects = GetGdiObjectCount();
    const std::string path = dir / "cut.tif";
    WriteAll(path, {});
    TiffFile tiff;
    EXPECT_FALSE(tiff.LoadFile(path.c_str(), TRUE));
    WriteAll(path, Bytes(good.begin(), good.begin() + 200));
    EXPECT_THROW(tiff.LoadFile(path.c_str(), TRUE), vomException);
    EXPECT_EQ(tiff.CreateBitmap(nullptr), nullptr);
    WriteAll(path, good);
    EXPECT_TRUE(tiff.LoadFile(path.c_str(), TRUE)); // the same object is usable again
    EXPECT_EQ(GetGdiObjectCount(), objects);
}

} // namespace
