// The sequence writers of the conversion: BMP rows padded to 4 bytes with header sizes that say so,
// JPEG at the chosen quality, TIFF as 24-bit RGB, checked by ImageMagick and the TIFF tools; names
// base + "%08d" + extension; stale frames of an earlier, longer sequence removed by exact name only; a
// cancelled run leaves exactly the committed frames.
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "KivIc/Conversion/FrameFiles.h"
#include "KivIc/Conversion/SequenceOutput.h"
#include "vomLib/Image/TiffFile.h"
#include "kivic_conversion/conversion_test_util.h"
#include "platform/win32/bitmap.h"
#include "platform/win32/write_fault.h"

namespace {

using convtest::FilesIn;

bool HaveTools() {
    int status = 0;
    avitest::Run("convert -version >/dev/null 2>&1 && identify -version >/dev/null 2>&1 && "
                 "tiffinfo >/dev/null 2>&1; convert -version >/dev/null 2>&1",
                 &status);
    return status == 0;
}

// ImageMagick's decode of an image file as top-down RGB bytes.
std::vector<uint8_t> MagickRgb(const std::string& file) {
    int status = 0;
    const std::string out = avitest::Run("convert '" + file + "' -depth 8 rgb:- 2>/dev/null", &status);
    return status == 0 ? std::vector<uint8_t>(out.begin(), out.end()) : std::vector<uint8_t>{};
}

// The packed frame's pixels as top-down RGB bytes.
std::vector<uint8_t> TopDownRgb(const std::vector<BYTE>& frame, int width, int height) {
    auto rows = avitest::FlipRows(frame.data() + 40, width, height);
    for (std::size_t i = 0; i + 2 < rows.size(); i += 3)
        std::swap(rows[i], rows[i + 2]);
    return rows;
}

class SequenceOutputTest : public ::testing::Test {
protected:
    std::string Folder() const { return dir.File(""); }
    avitest::TempDir dir;
};

TEST_F(SequenceOutputTest, FrameNamesAreBasePlusEightDigitsPlusTheExtension) {
    EXPECT_EQ(CSequenceOutput::FrameFileName("run", 0, ".bmp"), "run00000000.bmp");
    EXPECT_EQ(CSequenceOutput::FrameFileName("Clip", 12, ".BMP"), "Clip00000012.BMP");
    CSequenceOutput output(SequenceKind::Bmp, "/data/x/", "shot", ".tif", 0);
    EXPECT_EQ(output.FramePath(7), "/data/x/shot00000007.tif");
}

TEST_F(SequenceOutputTest, BitmapRowsArePaddedAndTheHeadersSaySo) {
    const int width = 37, height = 5; // 111 bytes of pixels, 112 per row in the file
    const auto frame = convtest::MakePackedFrame(3, width, height);
    const std::string path = dir.File("odd.bmp");
    std::string error;
    ASSERT_TRUE(WriteBmpFrame(path, frame.data(), frame.size(), &error)) << error;
    const auto file = avitest::ReadFile(path);
    ASSERT_EQ(file.size(), 14u + 40u + 112u * height);
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    std::memcpy(&fh, file.data(), sizeof fh);
    std::memcpy(&ih, file.data() + 14, sizeof ih);
    // Copies: the packed header's fields are not aligned for a reference.
    const WORD type = fh.bfType;
    const DWORD size = fh.bfSize, offset = fh.bfOffBits;
    EXPECT_EQ(type, 0x4D42);
    EXPECT_EQ(size, file.size());
    EXPECT_EQ(offset, 54u);
    EXPECT_EQ(ih.biWidth, width);
    EXPECT_EQ(ih.biHeight, height);
    EXPECT_EQ(ih.biBitCount, 24);
    EXPECT_EQ(ih.biSizeImage, 112u * height);
    for (int y = 0; y < height; ++y) {
        EXPECT_EQ(std::memcmp(file.data() + 54 + 112 * y, frame.data() + 40 + 111 * y, 111), 0) << y;
        EXPECT_EQ(file[54 + 112 * y + 111], 0) << y;
    }
    if (HaveTools()) {
        EXPECT_EQ(avitest::Run("identify -format '%w %h %[channels]' '" + path + "'").substr(0, 5), "37 5 ");
        EXPECT_EQ(MagickRgb(path), TopDownRgb(frame, width, height));
    }
}

TEST_F(SequenceOutputTest, JpegFilesTakeTheQualityOnTheOptionsScale) {
    if (!HaveTools())
        GTEST_SKIP() << "ImageMagick is not installed";
    const int width = 64, height = 48;
    const auto frame = convtest::MakePackedFrame(2, width, height, false);
    std::string error;
    for (DWORD quality : {7500u, 3000u}) {
        const std::string path = dir.File("q" + std::to_string(quality) + ".jpg");
        ASSERT_TRUE(WriteJpegFrame(path, frame.data(), frame.size(), quality, &error)) << error;
        EXPECT_EQ(avitest::Run("identify -format '%m %w %h %Q' '" + path + "'"),
                  "JPEG 64 48 " + std::to_string(quality / 100));
        if (quality == 7500) {
            const auto rgb = MagickRgb(path);
            const auto expected = TopDownRgb(frame, width, height);
            ASSERT_EQ(rgb.size(), expected.size());
            EXPECT_GE(avitest::Psnr(rgb.data(), expected.data(), rgb.size()), 30.0);
        }
    }
}

TEST_F(SequenceOutputTest, TiffFilesAreTwentyFourBitRgbThatToolsReadExactly) {
    if (!HaveTools())
        GTEST_SKIP() << "ImageMagick or the TIFF tools are not installed";
    const int width = 37, height = 9;
    const auto frame = convtest::MakePackedFrame(4, width, height);
    const std::string path = dir.File("frame.tif");
    TiffFile tiff;
    std::string error;
    ASSERT_TRUE(WriteTiffFrame(path, frame.data(), frame.size(), tiff, &error)) << error;
    const std::string info = avitest::Run("tiffinfo '" + path + "' 2>&1");
    EXPECT_NE(info.find("Image Width: 37 Image Length: 9"), std::string::npos) << info;
    EXPECT_NE(info.find("Bits/Sample: 8"), std::string::npos) << info;
    EXPECT_NE(info.find("Samples/Pixel: 3"), std::string::npos) << info;
    EXPECT_NE(info.find("RGB color"), std::string::npos) << info;
    const std::string dump = avitest::Run("tiffdump '" + path + "' 2>&1");
    EXPECT_NE(dump.find("StripOffsets (273) LONG (4) 1<640>"), std::string::npos) << dump;
    EXPECT_EQ(MagickRgb(path), TopDownRgb(frame, width, height));
}

TEST_F(SequenceOutputTest, AFrameThatDoesNotMatchItsHeaderIsRefused) {
    auto frame = convtest::MakePackedFrame(0, 16, 8);
    std::string error;
    EXPECT_FALSE(WriteBmpFrame(dir.File("short.bmp"), frame.data(), frame.size() - 1, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(FilesIn(Folder()).empty());
}

TEST_F(SequenceOutputTest, EveryKindWritesTheSameFilesForAnyNumberOfWorkers) {
    const SequenceKind kinds[] = {SequenceKind::Bmp, SequenceKind::Jpeg, SequenceKind::Tiff};
    const char* exts[] = {".bmp", ".jpg", ".tif"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(exts[k]);
        std::vector<std::vector<uint8_t>> first;
        for (int workers : {1, 2, CFramePool::DefaultWorkers()}) {
            SCOPED_TRACE(workers);
            convtest::ConverterScript script;
            script.width = 37;
            script.height = 11;
            script.jitter = true;
            CSequenceOutput output(kinds[k], Folder(), "seq", exts[k], 7500);
            ASSERT_EQ(convtest::RunPool(output, script, -4, 7, workers), CFramePool::State::Done);
            ASSERT_EQ(FilesIn(Folder()).size(), 12u);
            for (long i = 0; i < 12; ++i) {
                auto bytes = avitest::ReadFile(output.FramePath(i));
                if (kinds[k] == SequenceKind::Tiff)
                    std::fill(bytes.begin(), bytes.begin() + 640, 0); // the header holds the time of writing
                if (workers == 1)
                    first.push_back(bytes);
                else
                    EXPECT_TRUE(bytes == first[static_cast<std::size_t>(i)]) << i;
            }
        }
        for (const auto& name : FilesIn(Folder()))
            std::filesystem::remove(dir.File(name));
    }
}

TEST_F(SequenceOutputTest, CancelLeavesExactlyTheCommittedFrames) {
    for (int workers : {1, 4}) {
        SCOPED_TRACE(workers);
        convtest::ConverterScript script;
        script.width = 16;
        script.height = 8;
        script.jitter = true;
        CSequenceOutput output(SequenceKind::Bmp, Folder(), "cut", ".bmp", 0);
        long committed = 0;
        ASSERT_EQ(convtest::RunPool(output, script, 0, 499, workers, nullptr, &committed, 3),
                  CFramePool::State::Cancelled);
        ASSERT_GE(committed, 3);
        std::vector<std::string> expected;
        for (long i = 0; i < committed; ++i)
            expected.push_back(CSequenceOutput::FrameFileName("cut", i, ".bmp"));
        EXPECT_EQ(FilesIn(Folder()), expected);
        for (const auto& name : FilesIn(Folder()))
            std::filesystem::remove(dir.File(name));
    }
}

TEST_F(SequenceOutputTest, AFullDiskFailsNamingTheFrameFileAndLeavesNoPartOfIt) {
    const SequenceKind kinds[] = {SequenceKind::Bmp, SequenceKind::Jpeg, SequenceKind::Tiff};
    const char* exts[] = {".bmp", ".jpg", ".tif"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(exts[k]);
        const std::string full = CSequenceOutput::FrameFileName("full", 6, exts[k]);
        kivic::win32::SetWriteFaultHook([&](const std::string& path, std::size_t) {
            return path.size() >= full.size() &&
                   path.compare(path.size() - full.size(), full.size(), full) == 0;
        });
        convtest::ConverterScript script;
        script.width = 16;
        script.height = 8;
        CSequenceOutput output(kinds[k], Folder(), "full", exts[k], 7500);
        std::string error;
        long committed = 0;
        EXPECT_EQ(convtest::RunPool(output, script, 0, 40, 3, &error, &committed), CFramePool::State::Failed);
        kivic::win32::SetWriteFaultHook({});
        EXPECT_NE(error.find(full), std::string::npos) << error;
        EXPECT_NE(error.find("disk"), std::string::npos) << error;
        EXPECT_EQ(committed, 6);
        std::vector<std::string> expected;
        for (long i = 0; i < committed; ++i)
            expected.push_back(CSequenceOutput::FrameFileName("full", i, exts[k]));
        EXPECT_EQ(FilesIn(Folder()), expected);
        for (const auto& name : FilesIn(Folder()))
            std::filesystem::remove(dir.File(name));
    }
}

TEST_F(SequenceOutputTest, StaleFramesGoByExactNameOnly) {
    const char* names[] = {"run00000009.bmp", "run00000004.bmp",  "run0000000012.bmp",
                           "run00000009.BMP", "xrun00000009.bmp", "run00000009.bmp.bak",
                           "run.txt",         "run0000001a.bmp",  "run00000005.bmp"};
    for (const char* name : names)
        avitest::WriteFile(dir.File(name), "x", 1);
    CSequenceOutput output(SequenceKind::Bmp, Folder(), "run", ".bmp", 0);
    EXPECT_EQ(output.RemoveStaleFrames(5), 2);
    EXPECT_EQ(FilesIn(Folder()),
              (std::vector<std::string>{"run.txt", "run0000000012.bmp", "run00000004.bmp", "run00000009.BMP",
                                        "run00000009.bmp.bak", "run0000001a.bmp", "xrun00000009.bmp"}));
}

} // namespace
