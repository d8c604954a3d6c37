// Sequences that other programs made, opened through the application: BMP files by ImageMagick, JPEG
// files by ffmpeg (and a one-component grey one by ImageMagick), TIFF files by ImageMagick and tiffcp.
// Each shows the producer's own pixels (JPEG within the codecs' rounding), the sequence's range and
// title, and the rate of its ".txt".
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kivic_sequences/sequence_fixture.h"

using imagetest::Bytes;
using imagetest::HaveTool;
using imagetest::MagickRgb;
using imagetest::Shell;

namespace {

// A picture of width x height that differs from frame to frame.
Bytes FramePicture(int width, int height, int frame) {
    Bytes rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            rgb.push_back(static_cast<BYTE>(x * 19 + frame * 40));
            rgb.push_back(static_cast<BYTE>(y * 23 + x * 3));
            rgb.push_back(static_cast<BYTE>((x * y * 7 + frame * 31) ^ 0x35));
        }
    return rgb;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// The largest difference of two pictures of one size, byte by byte; 256 when the sizes differ.
int MaxDifference(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size() || a.empty())
        return 256;
    int most = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        most = std::max(most, std::abs(int(a[i]) - int(b[i])));
    return most;
}

double MeanDifference(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size() || a.empty())
        return 256.0;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return sum / static_cast<double>(a.size());
}

// A picture of soft gradients, as a camera sees them: what lossy codecs are made for.
Bytes SmoothPicture(int width, int height, int frame) {
    Bytes rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            rgb.push_back(static_cast<BYTE>(40 + x * 4 + frame * 10));
            rgb.push_back(static_cast<BYTE>(30 + y * 8));
            rgb.push_back(static_cast<BYTE>(200 - (x + y) * 3));
        }
    return rgb;
}

bool IsGrey(const Bytes& rgb) {
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (rgb[i] != rgb[i + 1] || rgb[i] != rgb[i + 2])
            return false;
    return !rgb.empty();
}

// ffmpeg's decode of an image as top-down RGB bytes.
Bytes FfmpegRgb(const std::string& path) {
    const std::string out = Shell("ffmpeg -v error -i " + Quoted(path) +
                                  " -sws_flags +accurate_rnd+full_chroma_int -f rawvideo -pix_fmt rgb24 -");
    return Bytes(out.begin(), out.end());
}

// A bottom-up BMP file turned top-down: rows reversed, the height negated.
Bytes TopDown(const Bytes& file) {
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    std::memcpy(&fh, file.data(), sizeof fh);
    std::memcpy(&ih, file.data() + sizeof fh, sizeof ih);
    const std::size_t stride = DibRowBytes(ih.biWidth, ih.biBitCount);
    Bytes out = file;
    for (LONG r = 0; r < ih.biHeight; ++r)
        std::memcpy(out.data() + fh.bfOffBits + r * stride,
                    file.data() + fh.bfOffBits + (ih.biHeight - 1 - r) * stride, stride);
    ih.biHeight = -ih.biHeight;
    std::memcpy(out.data() + sizeof fh, &ih, sizeof ih);
    return out;
}

void WriteText(const std::string& path, const std::string& text) {
    imagetest::WriteAll(path, Bytes(text.begin(), text.end()));
}

} // namespace

class ProducedSequence : public SequenceAppTest {
protected:
    // Writes frames 0..count-1 of picture() as "<seq>/<base>%04d<ext>" through make(ppm, target, frame).
    template <typename Make>
    std::vector<Bytes> Produce(const std::string& seq, const std::string& base, const std::string& ext,
                               int width, int height, int count, Make make,
                               Bytes (*picture)(int, int, int) = FramePicture) {
        std::vector<Bytes> pictures;
        for (int i = 0; i < count; ++i) {
            pictures.push_back(picture(width, height, i));
            const std::string ppm = dir.Path("in.ppm");
            imagetest::WritePpm(ppm, width, height, pictures.back());
            char name[64];
            std::snprintf(name, sizeof name, "/%s%04d%s", base.c_str(), i, ext.c_str());
            make(ppm, seq + name, i);
        }
        return pictures;
    }
    static void Run(const std::string& command) {
        int status = -1;
        const std::string output = Shell(command, &status, true);
        ASSERT_EQ(status, 0) << command << "\n" << output;
    }
};

TEST_F(ProducedSequence, ImageMagickBitmapsOfOddWidthPaletteAndTopDown) {
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is not installed";
    struct Case {
        const char* folder;
        const char* options;
        WORD bits;
        bool topDown;
    } cases[] = {
        {"rgb", "-type TrueColor", 24, false},
        {"palette", "-compress none -type Palette", 8, false},
        {"topdown", "-type TrueColor", 24, true},
    };
    const int width = 13, height = 7, count = 4;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string seq = Folder(c.folder);
        std::vector<Bytes> pictures =
            Produce(seq, "take", ".bmp", width, height, count,
                    [&](const std::string& ppm, const std::string& bmp, int) {
                        Run("convert " + Quoted(ppm) + " " + c.options + " BMP3:" + Quoted(bmp));
                        if (c.topDown)
                            imagetest::WriteAll(bmp, TopDown(imagetest::ReadAll(bmp)));
                    });
        if (c.bits == 8) {
            // The palette keeps at most 256 colours: ImageMagick's own reading is the picture.
            for (int i = 0; i < count; ++i) {
                char name[32];
                std::snprintf(name, sizeof name, "/take%04d.bmp", i);
                pictures[static_cast<std::size_t>(i)] = MagickRgb(seq + name);
            }
        }
        // The files are what they should be.
        const Bytes first = imagetest::ReadAll(seq + "/take0000.bmp");
        BITMAPINFOHEADER ih;
        std::memcpy(&ih, first.data() + sizeof(BITMAPFILEHEADER), sizeof ih);
        EXPECT_EQ(ih.biBitCount, c.bits);
        EXPECT_EQ(ih.biHeight, c.topDown ? -height : height);
        EXPECT_EQ(MagickRgb(seq + "/take0002.bmp"), pictures[2]);
        WriteText(seq + "/take.txt", "Frame_Rate: 500\r\n");

        CBmpDoc* doc = Open(seq + "/take0002.bmp");
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->GetTitle(), "take");
        EXPECT_EQ(doc->GetRecordBegin(), 0);
        EXPECT_EQ(doc->GetRecordEnd(), count - 1);
        EXPECT_EQ(doc->GetFrameRate(), 500);
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(ShownAt(doc, i), pictures[static_cast<std::size_t>(i)]) << "frame " << i;
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ProducedSequence, FfmpegJpegsInColourAndGrey) {
    if (!HaveTool("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    // ffmpeg's own decode is the reference. The codecs round differently (the document decodes with
    // the fast integer transform); with 4:2:0 chroma ffmpeg also fills the chroma of the last, odd
    // column otherwise than the JPEG library, hence the wider largest difference there. ffmpeg's JPEG
    // encoder writes a grey picture with three components; one component is OneComponentGreyJpeg's.
    struct Case {
        const char* folder;
        const char* options;
        bool grey;
        int maxDifference;
        double meanDifference;
    } cases[] = {
        {"colour444", "-pix_fmt yuvj444p", false, 4, 1.5},
        {"colour420", "-pix_fmt yuvj420p", false, 32, 4.0},
        {"grey", "-vf format=gray -pix_fmt yuvj444p", true, 2, 1.0},
    };
    const bool haveMagick = HaveTool("convert");
    const int width = 37, height = 21, count = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string seq = Folder(c.folder);
        Produce(
            seq, "clip", ".jpg", width, height, count,
            [&](const std::string& ppm, const std::string& jpg, int) {
                Run("ffmpeg -v error -y -i " + Quoted(ppm) + " " + c.options + " -q:v 2 -frames:v 1 " +
                    Quoted(jpg));
            },
            SmoothPicture);
        WriteText(seq + "/clip.txt", "Frame_Rate: 4000\n");
        CBmpDoc* doc = Open(seq + "/clip0001.jpg");
        ASSERT_NE(doc, nullptr);
        EXPECT_TRUE(doc->IsKindOf(RUNTIME_CLASS(CJpegDoc)));
        EXPECT_EQ(doc->GetTitle(), "clip");
        EXPECT_EQ(doc->GetRecordBegin(), 0);
        EXPECT_EQ(doc->GetRecordEnd(), count - 1);
        EXPECT_EQ(doc->GetFrameRate(), 4000);
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "/clip%04d.jpg", i);
            const Bytes want = FfmpegRgb(seq + name);
            ASSERT_EQ(want.size(), std::size_t(width * height * 3));
            const Bytes got = ShownAt(doc, i);
            EXPECT_LE(MaxDifference(got, want), c.maxDifference) << "frame " << i;
            EXPECT_LE(MeanDifference(got, want), c.meanDifference) << "frame " << i;
            // The JPEG library's own reading (ImageMagick) differs only by the transforms' rounding.
            if (haveMagick) {
                EXPECT_LE(MaxDifference(got, MagickRgb(seq + name)), 4) << "frame " << i;
            }
            if (c.grey) {
                EXPECT_TRUE(IsGrey(got)) << "frame " << i;
            }
        }
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ProducedSequence, OneComponentGreyJpeg) {
    if (!HaveTool("convert") || !HaveTool("identify"))
        GTEST_SKIP() << "ImageMagick is not installed";
    // Odd width: a grey row is 45 bytes, a 24-bit one would be 135.
    const int width = 45, height = 17, count = 2;
    const std::string seq = Folder("grey");
    Produce(
        seq, "g", ".jpg", width, height, count,
        [&](const std::string& ppm, const std::string& jpg, int) {
            Run("convert " + Quoted(ppm) + " -colorspace Gray -quality 95 " + Quoted(jpg));
        },
        SmoothPicture);
    ASSERT_EQ(Shell("identify -format '%[channels]' " + Quoted(seq + "/g0000.jpg")), "gray");
    CBmpDoc* doc = Open(seq + "/g0000.jpg");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetInformation(), "Picture Size = 45x17");
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/g%04d.jpg", i);
        const Bytes got = ShownAt(doc, i);
        EXPECT_TRUE(IsGrey(got)) << "frame " << i;
        const Bytes want = MagickRgb(seq + name);
        EXPECT_LE(MaxDifference(got, want), 4) << "frame " << i;
    }
}

TEST_F(ProducedSequence, UncompressedRgbTiffsOfImageMagickAndTiffcp) {
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is not installed";
    const bool haveTiffcp = HaveTool("tiffcp");
    const int width = 15, height = 9, count = 3;
    const std::string seq = Folder("magick");
    const std::vector<Bytes> pictures = Produce(
        seq, "tk", ".tif", width, height, count, [&](const std::string& ppm, const std::string& tif, int) {
            Run("convert " + Quoted(ppm) + " -depth 8 -compress None TIFF:" + Quoted(tif));
        });
    WriteText(seq + "/tk.txt", "Frame_Rate: 125\n");
    CBmpDoc* doc = Open(seq + "/tk0000.tif");
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsKindOf(RUNTIME_CLASS(CTiffDoc)));
    EXPECT_EQ(doc->GetTitle(), "tk");
    EXPECT_EQ(doc->GetRecordEnd(), count - 1);
    EXPECT_EQ(doc->GetFrameRate(), 125);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(ShownAt(doc, i), pictures[static_cast<std::size_t>(i)]) << "frame " << i;

    if (!haveTiffcp) {
        std::printf("tiffcp is not installed: its files are not checked\n");
        return;
    }
    // tiffcp's copies: big-endian, strips of two rows.
    const std::string copies = Folder("tiffcp");
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/tk%04d.tif", i);
        Run("tiffcp -B -c none -r 2 " + Quoted(seq + name) + " " + Quoted(copies + name));
    }
    CBmpDoc* copied = Open(copies + "/tk0001.tif");
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->GetRecordEnd(), count - 1);
    EXPECT_EQ(copied->GetFrameRate(), 1000);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(ShownAt(copied, i), pictures[static_cast<std::size_t>(i)]) << "frame " << i;
    EXPECT_TRUE(boxes.empty());
}
