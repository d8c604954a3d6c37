// The TIFF writer: the exact header block, what libtiff's tools and ImageMagick read from it, and
// failures that must not pass for success.
#include <cstring>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "image_test_util.h"
#include "vomLib/Image/TiffFile.h"
#include "vomLib/Utility/vomException.h"

using namespace imagetest;

namespace {

WORD Word(const Bytes& b, std::size_t at) {
    return static_cast<WORD>(b[at] | (b[at + 1] << 8));
}
DWORD Long(const Bytes& b, std::size_t at) {
    return Word(b, at) | (DWORD(Word(b, at + 2)) << 16);
}

class TiffWriter : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(TiffWriter, HeaderBlockHasTheFixedLayout) {
    const Bytes rgb = Pattern(320, 240, 256);
    TiffFile tiff;
    ASSERT_TRUE(tiff.SetImage(320, 240, 3, 24, rgb.data()));
    const std::string path = dir / "rgb.tif";
    ASSERT_TRUE(tiff.SaveFile(path.c_str()));
    const Bytes file = ReadAll(path);
    ASSERT_EQ(file.size(), 640u + 230400u);
    EXPECT_EQ(file[0], 'I');
    EXPECT_EQ(file[1], 'I');
    EXPECT_EQ(Word(file, 2), 42);
    EXPECT_EQ(Long(file, 4), 10u);
    EXPECT_EQ(Word(file, 8), 0);
    const WORD n = Word(file, 10);
    ASSERT_EQ(n, 16);

    struct Entry {
        WORD tag, type;
        DWORD count, value;
    };
    // Values of up to 4 bytes stand in the entry; the texts follow the directory from 26 + 12n.
    const DWORD values = 26 + 12 * 16;
    const Entry want[] = {
        {254, 4, 1, 0},   {256, 4, 1, 320}, {257, 4, 1, 240},  {258, 3, 1, 8},
        {259, 3, 1, 1},   {262, 3, 1, 2},   {273, 4, 1, 640},  {277, 3, 1, 3},
        {278, 4, 1, 240}, {284, 3, 1, 1},   {296, 3, 1, 1},    {306, 2, 20, values},
        {305, 2, 0, 0},   {33432, 2, 0, 0}, {30976, 3, 1, 24}, {279, 4, 1, 230400},
    };
    DWORD next = values;
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        const std::size_t at = 12 + 12 * i;
        EXPECT_EQ(Word(file, at), want[i].tag);
        EXPECT_EQ(Word(file, at + 2), want[i].type);
        if (want[i].type == 2) {
            const DWORD count = Long(file, at + 4);
            EXPECT_EQ(Long(file, at + 8), next); // packed one after another, no alignment
            EXPECT_EQ(file[next + count - 1], 0);
            EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(&file[next])) + 1, count);
            next += count;
            if (want[i].count) {
                EXPECT_EQ(count, want[i].count);
            }
        } else {
            EXPECT_EQ(Long(file, at + 4), want[i].count);
            EXPECT_EQ(Long(file, at + 8), want[i].value);
        }
    }
    for (std::size_t i = 12 + 12 * 16; i < values; ++i)
        EXPECT_EQ(file[i], 0) << i; // next-directory offset and padding
    const std::string date(reinterpret_cast<const char*>(&file[values]));
    EXPECT_TRUE(std::regex_match(date, std::regex(R"(\d{4}:\d\d:\d\d:\d\d:\d\d:\d\d)"))) << date;
    for (std::size_t i = next; i < 640; ++i)
        ASSERT_EQ(file[i], 0) << i;
    EXPECT_EQ(0, std::memcmp(file.data() + 640, rgb.data(), rgb.size()));
}

TEST_F(TiffWriter, LibtiffToolsAndImageMagickReadTheFile) {
    if (!HaveTool("tiffdump") || !HaveTool("tiffinfo") || !HaveTool("convert"))
        GTEST_SKIP() << "libtiff tools or ImageMagick are not installed";
    const int width = 37, height = 11; // rows of 111 bytes: no alignment anywhere
    const Bytes rgb = Pattern(width, height, 256);
    TiffFile tiff;
    ASSERT_TRUE(tiff.SetImage(width, height, 3, 24, rgb.data()));
    const std::string path = dir / "tools.tif";
    ASSERT_TRUE(tiff.SaveFile(path.c_str()));

    // tiffdump lists the entries in file order.
    int status = 0;
    const std::string dump = Shell("tiffdump '" + path + "'", &status, true);
    ASSERT_EQ(status, 0) << dump;
    const char* order[] = {"SubFileType (254)",
                           "ImageWidth (256) LONG (4) 1<37>",
                           "ImageLength (257) LONG (4) 1<11>",
                           "BitsPerSample (258) SHORT (3) 1<8>",
                           "Compression (259) SHORT (3) 1<1>",
                           "Photometric (262) SHORT (3) 1<2>",
                           "StripOffsets (273) LONG (4) 1<640>",
                           "SamplesPerPixel (277) SHORT (3) 1<3>",
                           "RowsPerStrip (278) LONG (4) 1<11>",
                           "PlanarConfig (284) SHORT (3) 1<1>",
                           "ResolutionUnit (296) SHORT (3) 1<1>",
                           "DateTime (306) ASCII (2) 20<",
                           "Software (305) ASCII (2)",
                           "Copyright (33432) ASCII (2)",
                           "30976 (0x7900) SHORT (3) 1<24>",
                           "StripByteCounts (279) LONG (4) 1<1221>"};
    std::size_t at = 0;
    for (const char* item : order) {
        const std::size_t found = dump.find(item, at);
        EXPECT_NE(found, std::string::npos) << item << "\n" << dump;
        if (found != std::string::npos)
            at = found;
    }

    const std::string info = Shell("tiffinfo '" + path + "'", &status, true);
    EXPECT_EQ(status, 0) << info;
    EXPECT_NE(info.find("Image Width: 37 Image Length: 11"), std::string::npos) << info;
    EXPECT_NE(info.find("Bits/Sample: 8"), std::string::npos) << info;
    EXPECT_NE(info.find("Samples/Pixel: 3"), std::string::npos) << info;
    EXPECT_NE(info.find("RGB color"), std::string::npos) << info;

    EXPECT_EQ(MagickRgb(path), rgb);
}

TEST_F(TiffWriter, TenBitGreyIsStoredInSixteenBitSamples) {
    const WORD samples[6] = {0, 1, 0x3FF, 0x200, 0x155, 0x0AA};
    TiffFile tiff;
    ASSERT_TRUE(tiff.SetImage(3, 2, 1, 10, reinterpret_cast<const BYTE*>(samples)));
    EXPECT_EQ(tiff.GetTagValue(TIFFTAG_BITSPERSAMPLE), 16u);
    EXPECT_EQ(tiff.GetTagValue(TIFFTAG_PHOTOMETRIC), 1u);
    EXPECT_EQ(tiff.GetTagValue(TIFFTAG_SOURCEBITS), 10u);
    ASSERT_EQ(tiff.GetImageSize(), 12u);
    const WORD* stored = reinterpret_cast<const WORD*>(tiff.GetPixels());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(stored[i], static_cast<WORD>(samples[i] << 6)) << i;
    const std::string path = dir / "grey10.tif";
    ASSERT_TRUE(tiff.SaveFile(path.c_str()));
    if (HaveTool("convert")) {
        const std::string out = Shell("convert '" + path + "' -depth 16 -endian MSB gray:-");
        ASSERT_EQ(out.size(), 12u);
        // Asked for big-endian 16-bit grey.
        EXPECT_EQ((BYTE(out[4]) << 8) | BYTE(out[5]), 0xFFC0);
        EXPECT_EQ((BYTE(out[6]) << 8) | BYTE(out[7]), 0x8000);
    }
}

TEST_F(TiffWriter, FailuresAreReported) {
    const Bytes rgb = Pattern(4, 4, 256);
    TiffFile tiff;
    ASSERT_TRUE(tiff.SetImage(4, 4, 3, 24, rgb.data()));
    // No folder to create the file in.
    EXPECT_FALSE(tiff.SaveFile((dir / "no/such/folder.tif").c_str()));
    // Texts that overflow the 640-byte header block fail, and leave no file.
    tiff.SetTagText(TIFFTAG_SOFTWARE, std::string(600, 'x').c_str());
    const std::string path = dir / "long.tif";
    EXPECT_FALSE(tiff.SaveFile(path.c_str()));
    EXPECT_FALSE(Exists(path));
    tiff.SetTagText(TIFFTAG_SOFTWARE, "short");
    EXPECT_TRUE(tiff.SaveFile(path.c_str()));
    // A strip longer than the pixel block is never written from beyond it.
    tiff.SetTag(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, 49);
    EXPECT_FALSE(tiff.SaveFile(path.c_str()));
    // Bad geometries.
    EXPECT_FALSE(tiff.SetImage(4, 4, 0, 24, rgb.data()));
    EXPECT_FALSE(tiff.SetImage(70000, 70000, 3, 24, nullptr));
    EXPECT_THROW(tiff.SetTag(1, 13, 0), vomException);
    try {
        tiff.SetTag(1, 0, 0);
    } catch (const vomException& e) {
        EXPECT_EQ(e.Message(), "unknown IFD type.");
    }
}

TEST_F(TiffWriter, TagsAndTheirDump) {
    TiffFile tiff;
    // A new object holds StripOffsets, ImageWidth and ImageLength, all 0.
    ASSERT_EQ(tiff.Entries().size(), 3u);
    EXPECT_EQ(tiff.Entries()[0]->GetTag(), TIFFTAG_STRIPOFFSETS);
    EXPECT_EQ(tiff.ImageWidth(), 0u);
    EXPECT_FALSE(tiff.GetTagValue(TIFFTAG_BITSPERSAMPLE).has_value()); // absent, not 65535
    EXPECT_EQ(tiff.StripBytes(), 0u);
    // Setting a tag again moves it to the end.
    tiff.SetTag(TIFFTAG_STRIPOFFSETS, TIFF_LONG, 8);
    EXPECT_EQ(tiff.Entries().back()->GetTag(), TIFFTAG_STRIPOFFSETS);
    EXPECT_EQ(tiff.Entries().size(), 3u);
    // Arrays from the value's bytes or from the data block, bounded by it.
    const BYTE data[12] = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
    ASSERT_TRUE(tiff.SetTagArray(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, 3, 0, data, sizeof(data)));
    EXPECT_EQ(tiff.StripBytes(), 6u);
    EXPECT_FALSE(tiff.SetTagArray(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, 3, 4, data, sizeof(data)));
    ASSERT_TRUE(tiff.SetTagArray(TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, 2, 0x00100008, nullptr, 0));
    EXPECT_EQ(tiff.GetTagValue(TIFFTAG_BITSPERSAMPLE, 1), 16u);
    tiff.SetTag(282, TIFF_RATIONAL, 72);
    EXPECT_TRUE(tiff.RemoveTag(TIFFTAG_IMAGEWIDTH));
    EXPECT_FALSE(tiff.RemoveTag(TIFFTAG_IMAGEWIDTH));
    EXPECT_EQ(tiff.FindTag(TIFFTAG_IMAGEWIDTH), nullptr);

    std::ostringstream out;
    tiff.FindTag(TIFFTAG_BITSPERSAMPLE)->Dump(out);
    EXPECT_EQ(out.str(), "  Code : 102\n  Type : 3\n  Size : 4\n    Data[0] : 8\n    Data[1] : 16\n");
    out.str("");
    tiff.FindTag(282)->Dump(out);
    EXPECT_EQ(out.str(), "  Code : 11a\n  Type : 5\n  Size : 8\n    Data[0] : 72/1\n");
}

} // namespace
