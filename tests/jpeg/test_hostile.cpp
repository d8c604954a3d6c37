// Damaged and hostile streams: each ends in an error code, never a crash or a write out of bounds (the
// sanitizer builds watch the latter; guard bytes around the buffer watch the release build).
#include <gtest/gtest.h>

#include <random>

#include "JpegTestUtil.h"

using namespace jpegtest;

namespace {

// Offset of the first segment FF `code` before the scan.
std::size_t FindSegment(const std::vector<BYTE>& jpeg, BYTE code) {
    for (std::size_t pos = 2; pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF;
         pos += 2 + (jpeg[pos + 2] << 8 | jpeg[pos + 3])) {
        if (jpeg[pos + 1] == code)
            return pos;
        if (jpeg[pos + 1] == 0xDA)
            break;
    }
    ADD_FAILURE() << "no segment " << int(code);
    return 0;
}

class JpegHostile : public ::testing::Test {
protected:
    int Decode(const std::vector<BYTE>& data, std::size_t size = 48 * 3 * 32) {
        std::vector<BYTE> buffer(size + 64, 0xA5);
        const int result = jpg_decompress_dib(data.data(), buffer.data() + 32, static_cast<long>(data.size()),
                                              0, size, JpgRows::Packed);
        for (int i = 0; i < 32; ++i) {
            EXPECT_EQ(buffer[i], 0xA5);
            EXPECT_EQ(buffer[buffer.size() - 1 - i], 0xA5);
        }
        decoded_.assign(buffer.begin() + 32, buffer.end() - 32);
        return result;
    }
    int Header(const std::vector<BYTE>& data) {
        JpgImageInfo info;
        return jpg_read_header(data.data(), static_cast<long>(data.size()), &info);
    }

    const std::vector<BYTE> jpeg_ = Compress(MakeGradient(48, 32, JpgRows::Packed), 75);
    std::vector<BYTE> decoded_;
};

} // namespace

TEST_F(JpegHostile, EmptyOrCutInTheHeader) {
    EXPECT_EQ(Decode({}), JPG_ERR_DATA);
    EXPECT_EQ(Header({}), JPG_ERR_DATA);
    for (long cut : {1, 2, 11, 40, 150}) {
        const std::vector<BYTE> part(jpeg_.begin(), jpeg_.begin() + cut);
        EXPECT_NE(Header(part), JPG_OK) << cut;
        EXPECT_NE(Decode(part), JPG_OK) << cut;
    }
}

TEST_F(JpegHostile, CutInTheDataKeepsTheRowsDecodedSoFar) {
    const std::vector<BYTE> jpeg = Compress(MakeNoise(48, 128, JpgRows::Packed, 8), 75);
    ASSERT_EQ(Decode(jpeg, 48 * 3 * 128), JPG_OK);
    const std::vector<BYTE> whole = decoded_;
    const std::vector<BYTE> part(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() * 7 / 8));
    EXPECT_EQ(Decode(part, 48 * 3 * 128), JPG_ERR_TRUNCATED);
    const long top = 48 * 3 * 8; // the top rows (the last memory rows) came before the cut
    EXPECT_TRUE(std::equal(decoded_.end() - top, decoded_.end(), whole.end() - top));
    EXPECT_NE(decoded_, whole);
}

TEST_F(JpegHostile, WarningsDoNotEndTheDecode) {
    // Stray bytes before a marker: the library warns and carries on.
    std::vector<BYTE> stray = jpeg_;
    const std::size_t sof = FindSegment(stray, 0xC0);
    stray.insert(stray.begin() + static_cast<long>(sof), {0x12, 0x34});
    ASSERT_EQ(Decode(jpeg_), JPG_OK);
    const std::vector<BYTE> clean = decoded_;
    EXPECT_EQ(Decode(stray), JPG_OK);
    EXPECT_EQ(decoded_, clean);
}

TEST_F(JpegHostile, BadTableReferences) {
    std::vector<BYTE> huffman = jpeg_;
    huffman[FindSegment(huffman, 0xDA) + 6] = 0x33; // first component: Huffman tables 3, never defined
    EXPECT_EQ(Decode(huffman), JPG_ERR_DATA);
    std::vector<BYTE> quant = jpeg_;
    quant[FindSegment(quant, 0xC0) + 12] = 3; // first component: quantisation table 3
    EXPECT_EQ(Decode(quant), JPG_ERR_DATA);
}

TEST_F(JpegHostile, ZeroComponentsOrDimensions) {
    const std::size_t sof = FindSegment(jpeg_, 0xC0);
    std::vector<BYTE> components = jpeg_;
    components[sof + 9] = 0;
    EXPECT_NE(Header(components), JPG_OK);
    EXPECT_EQ(Decode(components), JPG_ERR_DATA);
    std::vector<BYTE> width = jpeg_;
    width[sof + 7] = width[sof + 8] = 0;
    EXPECT_EQ(Decode(width), JPG_ERR_DATA);
}

TEST_F(JpegHostile, HugeDimensions) {
    const std::size_t sof = FindSegment(jpeg_, 0xC0);
    std::vector<BYTE> beyond = jpeg_;
    beyond[sof + 5] = beyond[sof + 6] = 0xFF; // 65535 rows: more than the library takes
    EXPECT_NE(Decode(beyond), JPG_OK);
    std::vector<BYTE> large = jpeg_; // 65000 x 65000: legal, but far more than the buffer holds
    large[sof + 5] = large[sof + 7] = 0xFD;
    large[sof + 6] = large[sof + 8] = 0xE8;
    JpgImageInfo info;
    ASSERT_EQ(jpg_read_header(large.data(), static_cast<long>(large.size()), &info), JPG_OK);
    EXPECT_EQ(info.width, 65000);
    EXPECT_EQ(Decode(large), JPG_ERR_BUFFER);
}

TEST_F(JpegHostile, GarbageAndRandomDamage) {
    std::mt19937 random(5);
    std::vector<BYTE> garbage(5000);
    for (BYTE& b : garbage)
        b = static_cast<BYTE>(random());
    EXPECT_EQ(Decode(garbage), JPG_ERR_DATA);
    garbage[0] = 0xFF;
    garbage[1] = 0xD8;
    EXPECT_NE(Decode(garbage), JPG_OK);

    const std::vector<BYTE> frame = CompressFields(MakeGradient(48, 32, JpgRows::Packed), 75, 0);
    for (int round = 0; round < 300; ++round) {
        std::vector<BYTE> damaged = round % 2 == 0 ? jpeg_ : frame;
        for (int f = 1 + static_cast<int>(random() % 8); f > 0; --f)
            damaged[random() % damaged.size()] = static_cast<BYTE>(random());
        if (round % 3 == 0)
            damaged.resize(random() % damaged.size());
        JpgImageInfo info;
        if (jpg_read_header(damaged.data(), static_cast<long>(damaged.size()), &info) == JPG_OK) {
            EXPECT_LE(info.fields, 2);
        }
        (void)Decode(damaged);
    }
}
