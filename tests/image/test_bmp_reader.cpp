// The BMP reader on files that ImageMagick writes and reads back, and on hostile files.
#include <cstring>

#include <gtest/gtest.h>

#include "image_test_util.h"
#include "vomLib/Image/BmpFileReader.h"

using namespace imagetest;

namespace {

class BmpReader : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveTool("convert") || !HaveTool("identify"))
            GTEST_SKIP() << "ImageMagick is not installed";
    }

    // Reads a file, makes its image and display bitmap, and returns the bitmap's RGB pixels.
    static Bytes Load(const std::string& path, BmpImgObject& image) {
        BmpFileReader reader;
        reader.ReadFile(path.c_str());
        EXPECT_NE(reader.GetPixels(), nullptr);
        EXPECT_TRUE(reader.MakeImage(image));
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = image.CreateBitmapOnDC(screen);
        ReleaseDC(nullptr, screen);
        EXPECT_NE(bitmap, nullptr);
        Bytes rgb = BitmapRgb(bitmap);
        DeleteObject(bitmap);
        return rgb;
    }

    TempDir dir;
};

// Makes a file of the given depth from a picture with few enough colours, in the form the BMP writer
// of the conversion uses for 16 and 32 bits (ImageMagick writes those with bit fields).
Bytes OwnBmp(int width, int height, int bits, const Bytes& rgb, bool topDown = false) {
    const std::uint64_t stride = DibRowBytes(width, bits);
    Bytes file(54 + stride * height, 0);
    BITMAPFILEHEADER fh{MAKEWORD('B', 'M'), static_cast<DWORD>(file.size()), 0, 0, 54};
    BITMAPINFOHEADER ih{40, width, topDown ? -height : height, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0,
                        0,  0};
    std::memcpy(file.data(), &fh, 14);
    std::memcpy(file.data() + 14, &ih, 40);
    for (int y = 0; y < height; ++y) {
        BYTE* row = file.data() + 54 + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const BYTE* p = &rgb[3 * (y * width + x)];
            if (bits == 16) {
                const WORD v = static_cast<WORD>(((p[0] >> 3) << 10) | ((p[1] >> 3) << 5) | (p[2] >> 3));
                std::memcpy(row + 2 * x, &v, 2);
            } else {
                row[4 * x] = p[2];
                row[4 * x + 1] = p[1];
                row[4 * x + 2] = p[0];
                row[4 * x + 3] = 0xFF;
            }
        }
    }
    return file;
}

// Plain headers (BMP3) and ImageMagick's default version 4 and 5 headers, whose colour table or bit
// field masks follow the longer header; 16 bits as 5-5-5 and 5-6-5 bit fields.
TEST_F(BmpReader, ReadsImageMagickFilesOfEveryDepthAndWritesThemBack) {
    struct Case {
        const char* name;
        int colours;
        const char* options;
        DWORD header;
        int fileBits;
        int bits;
        DWORD compression = BI_RGB;
    } cases[] = {
        {"one", 2, "-type Bilevel BMP3", 40, 1, 1},
        {"four", 8, "-colors 8 -type Palette BMP3", 40, 4, 4},
        {"eight", 256, "-compress none -type Palette BMP3", 40, 8, 8},
        {"twentyfour", 256, "-type TrueColor BMP3", 40, 24, 24},
        {"one_v4", 2, "-type Bilevel BMP", 108, 1, 1},
        {"four_v5", 16, "-type Palette -colors 16 BMP", 124, 4, 4},
        {"eight_v5", 256, "-compress none -type Palette BMP", 124, 8, 8},
        {"rgb555", 256, "-define bmp:subtype=RGB555 BMP", 124, 16, 16},
        {"rgb565", 256, "-define bmp:subtype=RGB565 BMP", 124, 16, 24}, // widened to 24 bits
        // Palette pictures are run-length encoded unless told otherwise.
        {"eight_rle", 256, "-type Palette BMP3", 40, 8, 8, BI_RLE8},
        {"eight_rle_v5", 200, "-type Palette BMP", 124, 8, 8, BI_RLE8},
    };
    // Width 7: rows need padding at every depth.
    const int width = 7, height = 5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes rgb = Pattern(width, height, c.colours);
        WritePpm(dir / "in.ppm", width, height, rgb);
        const std::string bmp = dir / (std::string(c.name) + ".bmp");
        int status = 0;
        Shell("convert '" + (dir / "in.ppm") + "' " + c.options + ":'" + bmp + "'", &status);
        ASSERT_EQ(status, 0);
        const Bytes file = ReadAll(bmp);
        ASSERT_GT(file.size(), 54u);
        DWORD header = 0;
        WORD fileBits = 0;
        DWORD compression = 0;
        std::memcpy(&header, &file[14], 4);
        std::memcpy(&fileBits, &file[28], 2);
        std::memcpy(&compression, &file[30], 4);
        EXPECT_EQ(header, c.header);
        EXPECT_EQ(fileBits, c.fileBits);
        EXPECT_EQ(compression,
                  c.compression == BI_RGB && c.fileBits == 16 ? DWORD{BI_BITFIELDS} : c.compression);
        // 16 bits lose the low bits of each channel: ImageMagick's decode is the picture.
        const Bytes want = MagickRgb(bmp);
        if (c.fileBits != 16) {
            EXPECT_EQ(want, rgb);
        }
        BmpImgObject image;
        EXPECT_EQ(Load(bmp, image), want);
        EXPECT_EQ(image.GetBitsPerPixel(), c.bits);
        EXPECT_EQ(image.GetSamples(), c.bits == 24 ? 3 : 1);

        // Written back from the image object, ImageMagick sees the same picture.
        const std::string back = dir / (std::string(c.name) + "_back.bmp");
        WriteBmp(back, image);
        EXPECT_EQ(Shell("identify -format '%w %h' '" + back + "'"), "7 5");
        EXPECT_EQ(MagickRgb(back), want);
    }
}

TEST_F(BmpReader, ReadsSixteenAndThirtyTwoBitAndTopDownFiles) {
    const int width = 5, height = 3;
    const Bytes rgb = Pattern(width, height, 256);
    // 5-bit channels widen to 8 bits by repeating their top bits.
    Bytes rgb555 = rgb;
    for (BYTE& b : rgb555)
        b = static_cast<BYTE>((b & 0xF8) | (b >> 5));
    for (int bits : {16, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(bits) + (topDown ? " top-down" : " bottom-up"));
            const Bytes& want = bits == 16 ? rgb555 : rgb;
            const std::string path = dir / "own.bmp";
            WriteAll(path, OwnBmp(width, height, bits, rgb, topDown));
            EXPECT_EQ(MagickRgb(path), want); // the file itself is sound
            BmpImgObject image;
            EXPECT_EQ(Load(path, image), want);
            EXPECT_EQ(image.GetSamples(), bits == 32 ? 4 : 1);
            EXPECT_EQ(image.GetHeight(), topDown ? -height : height);
        }
    }
}

// ImageMagick writes pictures with an alpha channel as 32-bit bit fields in a version 5 header; the
// masks are those of the plain layout, so the picture reads as it is. Other masks are refused.
TEST_F(BmpReader, ReadsPlainBitFieldsAndRefusesOthers) {
    const int width = 7, height = 4;
    const Bytes rgb = Pattern(width, height, 256);
    WritePpm(dir / "in.ppm", width, height, rgb);
    const std::string path = dir / "alpha.bmp";
    int status = 0;
    Shell("convert '" + (dir / "in.ppm") + "' -alpha set BMP:'" + path + "'", &status);
    ASSERT_EQ(status, 0);
    BmpImgObject image;
    EXPECT_EQ(Load(path, image), rgb);

    // The same file with green and blue masks swapped describes other pixels.
    Bytes file = ReadAll(path);
    DWORD masks[3];
    std::memcpy(masks, file.data() + 54, sizeof masks);
    ASSERT_EQ(masks[1], 0x0000FF00u);
    std::swap(masks[1], masks[2]);
    std::memcpy(file.data() + 54, masks, sizeof masks);
    WriteAll(path, file);
    BmpFileReader reader;
    reader.ReadFile(path.c_str());
    BmpImgObject refused;
    EXPECT_EQ(reader.ImageBytes(), 0u);
    EXPECT_FALSE(reader.MakeImage(refused));
}

// A run-length encoded file (BI_RLE8 or BI_RLE4) with a grey colour table of 16 entries and the runs given.
Bytes RleBmp(LONG width, LONG height, int bits, const Bytes& runs) {
    const DWORD offset = 54 + 16 * 4;
    Bytes file(offset, 0);
    BITMAPFILEHEADER fh{MAKEWORD('B', 'M'), static_cast<DWORD>(offset + runs.size()), 0, 0, offset};
    BITMAPINFOHEADER ih{40,
                        width,
                        height,
                        1,
                        static_cast<WORD>(bits),
                        bits == 8 ? BI_RLE8 : BI_RLE4,
                        static_cast<DWORD>(runs.size()),
                        0,
                        0,
                        16,
                        0};
    std::memcpy(file.data(), &fh, 14);
    std::memcpy(file.data() + 14, &ih, 40);
    for (int i = 0; i < 16; ++i)
        std::memset(file.data() + 54 + 4 * i, 17 * i, 3);
    file.insert(file.end(), runs.begin(), runs.end());
    return file;
}

// Run-length encoded pixels as other programs write them (ImageMagick reads them back the same), and
// runs that are damaged, cut short or declare a picture of any size in a few bytes.
TEST_F(BmpReader, ReadsRunLengthEncodedFilesAndRefusesDamagedRuns) {
    // Bottom row: a run, then three indexes as they are; a delta over a row and two pixels; a run of
    // two alternating indexes, an odd count of indexes as they are (padded), the end of the bitmap.
    const Bytes rle4 = {5, 0x12, 0, 2, 0x34, 0x50, 0, 0, 0, 2, 2, 1, 2, 0x66, 0, 3, 0x9A, 0xB0, 0, 0, 0, 1};
    const Bytes rle8 = {3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 3, 10, 11, 12, 0, 0, 0, 0, 1};
    for (int bits : {4, 8}) {
        SCOPED_TRACE(bits);
        const std::string path = dir / "runs.bmp";
        WriteAll(path, RleBmp(7, 3, bits, bits == 4 ? rle4 : rle8));
        BmpImgObject image;
        EXPECT_EQ(Load(path, image), MagickRgb(path));
        EXPECT_EQ(image.GetBitsPerPixel(), bits);
    }
    // Nothing is written past the right edge or above the top row, wherever runs and deltas lead.
    {
        const std::string path = dir / "wide.bmp";
        WriteAll(path, RleBmp(3, 2, 8, {255, 5, 0, 2, 200, 200, 9, 6, 0, 1}));
        BmpFileReader reader;
        reader.ReadFile(path.c_str());
        ASSERT_NE(reader.GetPixels(), nullptr);
        EXPECT_EQ(reader.GetPixelBytes(), 8u);
        EXPECT_EQ(Bytes(reader.GetPixels(), reader.GetPixels() + 3), (Bytes{5, 5, 5}));
    }
    struct Damaged {
        const char* name;
        LONG width;
        LONG height;
        Bytes runs;
    } damaged[] = {
        {"cut in a run of indexes", 7, 3, {3, 7, 0, 6, 1, 2}},
        {"no end of the bitmap", 7, 3, {3, 7, 0, 0}},
        {"cut in a delta", 7, 3, {0, 2, 1}},
        {"top-down", 7, -3, {7, 1, 0, 1}},
        {"a picture of any size", 30000, 30000, {0, 1}},
        {"a picture one pixel wide and millions high", 1, 16777214, {0, 1}},
    };
    for (const Damaged& d : damaged) {
        SCOPED_TRACE(d.name);
        const std::string path = dir / "damaged.bmp";
        WriteAll(path, RleBmp(d.width, d.height, 8, d.runs));
        BmpFileReader reader;
        EXPECT_NO_THROW(reader.ReadFile(path.c_str()));
        EXPECT_EQ(reader.GetPixels(), nullptr);
        BmpImgObject image;
        EXPECT_FALSE(reader.MakeImage(image));
    }
}

// Returns the CFileException cause thrown by reading path, or -1 when nothing was thrown.
int ReadCause(const std::string& path, BmpFileReader& reader) {
    try {
        reader.ReadFile(path.c_str());
    } catch (CFileException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

TEST_F(BmpReader, HostileFilesFailCleanly) {
    const Bytes good = OwnBmp(4, 4, 32, Pattern(4, 4, 256));
    auto with = [&](auto change) {
        Bytes b = good;
        change(b);
        WriteAll(dir / "bad.bmp", b);
        return dir / "bad.bmp";
    };
    auto setOffset = [](Bytes& b, DWORD offset) { std::memcpy(&b[10], &offset, 4); };
    BmpFileReader reader;

    EXPECT_EQ(ReadCause(dir / "missing.bmp", reader), CFileException::fileNotFound);
    EXPECT_EQ(ReadCause(with([](Bytes& b) { b.clear(); }), reader), CFileException::endOfFile);
    EXPECT_EQ(ReadCause(with([](Bytes& b) { b[1] = 'X'; }), reader), CFileException::invalidFile);
    EXPECT_EQ(ReadCause(with([](Bytes& b) { b.resize(30); }), reader), CFileException::endOfFile);
    // Pixel offsets inside the headers (a negative palette size) or past the end.
    EXPECT_EQ(ReadCause(with([&](Bytes& b) { setOffset(b, 20); }), reader), CFileException::invalidFile);
    EXPECT_EQ(ReadCause(with([&](Bytes& b) { setOffset(b, 0xFFFFFFF0u); }), reader),
              CFileException::invalidFile);
    // A palette that the file does not hold.
    EXPECT_EQ(ReadCause(with([&](Bytes& b) {
                            setOffset(b, 100);
                            b.resize(80);
                        }),
                        reader),
              CFileException::invalidFile);

    // Cut inside the pixels: loads, without pixels.
    EXPECT_EQ(ReadCause(with([](Bytes& b) { b.resize(b.size() - 1); }), reader), -1);
    EXPECT_EQ(reader.GetPixels(), nullptr);
    BmpImgObject image;
    EXPECT_FALSE(reader.MakeImage(image));
    // Dimensions far beyond the file: no pixels, no huge allocation.
    EXPECT_EQ(ReadCause(with([](Bytes& b) {
                            const LONG huge = 0x7FFFFFFF;
                            std::memcpy(&b[18], &huge, 4);
                            std::memcpy(&b[22], &huge, 4);
                        }),
                        reader),
              -1);
    EXPECT_EQ(reader.GetPixels(), nullptr);
    // Compressed or odd formats load their bytes but make no image.
    EXPECT_EQ(ReadCause(with([](Bytes& b) { b[30] = BI_RLE8; }), reader), -1);
    EXPECT_NE(reader.GetPixels(), nullptr);
    EXPECT_FALSE(reader.MakeImage(image));
    EXPECT_EQ(ReadCause(with([](Bytes& b) { b[28] = 12; }), reader), -1);
    EXPECT_FALSE(reader.MakeImage(image));
    EXPECT_EQ(ReadCause(with([](Bytes& b) { std::memset(&b[18], 0, 4); }), reader), -1);
    EXPECT_FALSE(reader.MakeImage(image));
    // Sound again after all that.
    EXPECT_EQ(ReadCause(with([](Bytes&) {}), reader), -1);
    EXPECT_TRUE(reader.MakeImage(image));
}

} // namespace
