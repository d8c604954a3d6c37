// The marker parser: both recorded forms rebuild into two half-height images that the two-field
// decoder reads; damaged frames are refused without reading past their end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/aviblocks/aviblocks_frames.h"
#include "vomCom/Ovisk/JpegFields.h"
#include "vomLib/Jpeg/jpglib32.h"

namespace {

std::string Recorded(aviblocks::FieldForm form, int width = 64, int height = 48) {
    return aviblocks::EncodeTwoFieldFrame(aviblocks::MakeTestPicture(1, width, height), width, height, 85,
                                          form);
}

const BYTE* Bytes(const std::string& s) {
    return reinterpret_cast<const BYTE*>(s.data());
}

// The line count of the first frame header at or after `from`.
int FrameLines(const std::vector<BYTE>& data, std::size_t from, std::size_t* at) {
    for (std::size_t p = from; p + 7 < data.size(); ++p)
        if (data[p] == 0xFF && data[p + 1] == 0xC0) {
            *at = p;
            return data[p + 5] << 8 | data[p + 6];
        }
    return -1;
}

} // namespace

TEST(JpegFields, BothFormsRebuildIntoTwoHalfHeightImages) {
    for (const auto form : {aviblocks::FieldForm::RestartSplit, aviblocks::FieldForm::TwoImages}) {
        const std::string recorded = Recorded(form);
        JpegFieldParser parser;
        ASSERT_TRUE(parser.Parse(Bytes(recorded), recorded.size()));
        std::vector<BYTE> rebuilt;
        parser.Rebuild(rebuilt);

        ASSERT_GT(rebuilt.size(), 18u);
        EXPECT_EQ(rebuilt[10], 1);
        std::size_t sof = 0;
        EXPECT_EQ(FrameLines(rebuilt, 0, &sof), 24);
        // The second image follows the first's FF FF D9.
        std::size_t second = 0;
        for (std::size_t p = 2; p + 1 < rebuilt.size(); ++p)
            if (rebuilt[p] == 0xFF && rebuilt[p + 1] == 0xD8) {
                second = p;
                break;
            }
        ASSERT_GT(second, 0u);
        EXPECT_EQ(rebuilt[second - 3], 0xFF);
        EXPECT_EQ(rebuilt[second - 1], 0xD9);
        EXPECT_EQ(rebuilt[second + 10], 2);
        EXPECT_EQ(FrameLines(rebuilt, second, &sof), 24);
        EXPECT_GT(sof, second);

        JpgImageInfo info;
        ASSERT_EQ(jpg_read_header(rebuilt.data(), static_cast<long>(rebuilt.size()), &info), JPG_OK);
        EXPECT_EQ(info.fields, 2);
        EXPECT_EQ(info.width, 64);
        EXPECT_EQ(info.height, 48);
        std::vector<BYTE> pixels(jpg_dib_size(info, JpgRows::Padded4));
        EXPECT_EQ(jpg_decompress_dib(rebuilt.data(), pixels.data(), static_cast<long>(rebuilt.size()), 0,
                                     pixels.size(), JpgRows::Padded4),
                  JPG_OK);
    }
}

TEST(JpegFields, DamagedFramesAreRefused) {
    JpegFieldParser parser;
    // One plain image: no second field behind a restart marker.
    const auto picture = aviblocks::MakeTestPicture(0, 32, 16);
    const std::string single = aviblocks::EncodeJpeg(picture.data(), 32, 16, 96, 80);
    EXPECT_FALSE(parser.Parse(Bytes(single), single.size()));
    EXPECT_FALSE(parser.Parse(nullptr, 100));
    const std::string junk(400, '\x33');
    EXPECT_FALSE(parser.Parse(Bytes(junk), junk.size()));

    // Every cut of both forms: refused once the end marker is gone, never read past the end (each cut
    // lies in its own block, so a read beyond it is caught).
    for (const auto form : {aviblocks::FieldForm::RestartSplit, aviblocks::FieldForm::TwoImages}) {
        const std::string recorded = Recorded(form, 32, 16);
        for (std::size_t cut = 0; cut + 2 < recorded.size(); ++cut) {
            std::vector<BYTE> part(recorded.begin(), recorded.begin() + static_cast<std::ptrdiff_t>(cut));
            EXPECT_FALSE(parser.Parse(part.data(), part.size())) << "cut at " << cut;
        }
    }

    // A segment length running past the end.
    std::string broken = Recorded(aviblocks::FieldForm::TwoImages, 32, 16);
    const std::size_t dqt = broken.find("\xFF\xDB");
    ASSERT_NE(dqt, std::string::npos);
    broken[dqt + 2] = '\x7F';
    EXPECT_FALSE(parser.Parse(Bytes(broken), broken.size()));
}
