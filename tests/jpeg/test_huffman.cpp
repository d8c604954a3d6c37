// The standard Huffman tables: equal to the library's defaults, filled only into empty slots, and
// enough to decode frames that carry no tables.
#include <gtest/gtest.h>

#include <cstring>

#include "JpegTestUtil.h"
#include "vomLib/Jpeg/JpgInternal.h"

using namespace jpegtest;

namespace {

// The stream without its table segments, as Motion-JPEG frames are stored; the segment of table
// `keep` (0x00 DC 0, 0x10 AC 0, ...) stays.
std::vector<BYTE> StripTables(const std::vector<BYTE>& jpeg, int keep = -1) {
    std::vector<BYTE> out(jpeg.begin(), jpeg.begin() + 2);
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF && jpeg[pos + 1] != 0xDA) {
        const std::size_t length = 2 + (jpeg[pos + 2] << 8 | jpeg[pos + 3]);
        if (jpeg[pos + 1] != 0xC4 || jpeg[pos + 4] == keep)
            out.insert(out.end(), jpeg.begin() + long(pos), jpeg.begin() + long(pos + length));
        pos += length;
    }
    out.insert(out.end(), jpeg.begin() + long(pos), jpeg.end());
    return out;
}

// A decompressor that has read a header with the library's own source and error handling.
struct HeaderOnly {
    explicit HeaderOnly(const std::vector<BYTE>& jpeg) {
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
        jpeg_read_header(&cinfo, TRUE);
    }
    ~HeaderOnly() { jpeg_destroy_decompress(&cinfo); }
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
};

void ExpectStandard(const JHUFF_TBL* table, bool dc, int slot) {
    ASSERT_NE(table, nullptr);
    const UINT8* bits;
    const UINT8* values;
    int count;
    jpglib32::jpg_std_huff_table(dc, slot, &bits, &values, &count);
    EXPECT_EQ(std::memcmp(table->bits, bits, 17), 0) << (dc ? "DC " : "AC ") << slot;
    EXPECT_EQ(std::memcmp(table->huffval, values, count), 0) << (dc ? "DC " : "AC ") << slot;
}

} // namespace

TEST(JpegHuffman, StandardTablesEqualTheLibraryDefaults) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    cinfo.in_color_space = JCS_RGB;
    cinfo.input_components = 3;
    jpeg_set_defaults(&cinfo);
    for (int slot = 0; slot < 2; ++slot) {
        ExpectStandard(cinfo.dc_huff_tbl_ptrs[slot], true, slot);
        ExpectStandard(cinfo.ac_huff_tbl_ptrs[slot], false, slot);
    }
    jpeg_destroy_compress(&cinfo);
}

TEST(JpegHuffman, FramesWithoutTablesDecodeLikeTheOriginals) {
    const std::vector<BYTE> jpeg = Compress(MakeNoise(64, 48, JpgRows::Packed, 9), 75);
    const std::vector<BYTE> stripped = StripTables(jpeg);
    ASSERT_LT(stripped.size(), jpeg.size());
    EXPECT_EQ(Decode(stripped, JpgRows::Packed), Decode(jpeg, JpgRows::Packed));

    const std::vector<BYTE> frame = CompressFields(MakeGradient(64, 48, JpgRows::Packed), 75, 0);
    const long second = static_cast<long>(SecondStart(frame));
    std::vector<BYTE> bare = StripTables(std::vector<BYTE>(frame.begin(), frame.begin() + second));
    const std::vector<BYTE> bare2 = StripTables(std::vector<BYTE>(frame.begin() + second, frame.end()));
    bare.insert(bare.end(), bare2.begin(), bare2.end());
    EXPECT_EQ(Decode(bare, JpgRows::Packed), Decode(frame, JpgRows::Packed));
}

TEST(JpegHuffman, EmptySlotsAreFilled) {
    HeaderOnly header(StripTables(Compress(MakeGradient(16, 16, JpgRows::Packed), 75)));
    for (int slot = 0; slot < 2; ++slot)
        ASSERT_EQ(header.cinfo.dc_huff_tbl_ptrs[slot], nullptr);
    jpglib32::jpg_load_std_huff_tables(&header.cinfo);
    for (int slot = 0; slot < 2; ++slot) {
        ExpectStandard(header.cinfo.dc_huff_tbl_ptrs[slot], true, slot);
        ExpectStandard(header.cinfo.ac_huff_tbl_ptrs[slot], false, slot);
        EXPECT_FALSE(header.cinfo.dc_huff_tbl_ptrs[slot]->sent_table);
    }
    EXPECT_EQ(header.cinfo.dc_huff_tbl_ptrs[2], nullptr);
}

TEST(JpegHuffman, TablesTheFrameCarriesStay) {
    HeaderOnly header(StripTables(Compress(MakeGradient(16, 16, JpgRows::Packed), 75), 0x00));
    JHUFF_TBL* own = header.cinfo.dc_huff_tbl_ptrs[0];
    ASSERT_NE(own, nullptr);
    own->huffval[0] = 0x55; // a reload would bring the standard value back
    jpglib32::jpg_load_std_huff_tables(&header.cinfo);
    EXPECT_EQ(header.cinfo.dc_huff_tbl_ptrs[0], own);
    EXPECT_EQ(own->huffval[0], 0x55);
    ExpectStandard(header.cinfo.ac_huff_tbl_ptrs[0], false, 0);
    ExpectStandard(header.cinfo.dc_huff_tbl_ptrs[1], true, 1);
}
