// Hostile files: each fails with the mapped error (or opens with what it really holds), never crashes.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "platform/vfw/vfw.h"
#include "vfw/avi_test_util.h"
#include "vfw/movie_writer.h"

using namespace avitest;

namespace {

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        valid_ = dir.File("valid.avi");
        ASSERT_EQ(WriteMovie({valid_, 16, 8, 6, mmioFOURCC('D', 'I', 'B', ' '), 10000, "Frame_Rate:100\n"}),
                  AVIERR_OK);
        bytes_ = ReadFile(valid_);
    }

    // Opens a variant of the valid file; returns the result and, on success, the video stream's length
    // after reading every frame through the getter.
    HRESULT OpenVariant(const std::vector<uint8_t>& bytes, LONG* length = nullptr, int* readable = nullptr) {
        const std::string path = dir.File("variant.avi");
        WriteFile(path, bytes.data(), bytes.size());
        PAVIFILE file = nullptr;
        const HRESULT hr = AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr);
        if (hr != AVIERR_OK) {
            EXPECT_EQ(file, nullptr);
            return hr;
        }
        PAVISTREAM stream = nullptr;
        if (AVIFileGetStream(file, &stream, 0, 0) == AVIERR_OK) {
            if (length)
                *length = AVIStreamLength(stream);
            int good = 0;
            if (PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr)) {
                for (LONG i = AVIStreamStart(stream) - 1; i <= AVIStreamLength(stream); ++i)
                    good += AVIStreamGetFrame(getter, i) != nullptr;
                AVIStreamGetFrameClose(getter);
            }
            if (readable)
                *readable = good;
            AVIStreamRelease(stream);
        }
        AVIFileRelease(file);
        return hr;
    }

    size_t Find(const char* id, size_t from = 0) const {
        const std::string text(bytes_.begin(), bytes_.end());
        return text.find(id, from);
    }
    void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); }

    TempDir dir;
    std::string valid_;
    std::vector<uint8_t> bytes_;
    BITMAPINFOHEADER rgb24_{40, 0, 0, 1, 24, BI_RGB, 0, 0, 0, 0, 0}; // frames decoded to 24 bits
};

} // namespace

TEST_F(Hostile, NotRiffOrEmptyIsBadFormat) {
    EXPECT_EQ(OpenVariant({}), AVIERR_BADFORMAT);
    const std::string text = "This is a text file, not a movie at all.";
    EXPECT_EQ(OpenVariant(std::vector<uint8_t>(text.begin(), text.end())), AVIERR_BADFORMAT);
    auto wave = bytes_;
    std::memcpy(&wave[8], "WAVE", 4);
    EXPECT_EQ(OpenVariant(wave), AVIERR_BADFORMAT);
    PAVIFILE file = nullptr;
    EXPECT_EQ(AVIFileOpenA(&file, dir.File("").c_str(), OF_READ, nullptr), AVIERR_FILEOPEN) << "a folder";
}

TEST_F(Hostile, TruncatedMoviKeepsTheWholeFramesOnly) {
    // Cut in the middle of the fourth frame: the index at the end is gone, the scan finds three frames.
    const size_t movi = Find("movi");
    ASSERT_NE(movi, std::string::npos);
    const size_t frame = 8 + 16 * 3 * 8;
    std::vector<uint8_t> cut(bytes_.begin(),
                             bytes_.begin() + static_cast<ptrdiff_t>(movi + 4 + 3 * frame + 100));
    LONG length = -1;
    int readable = -1;
    ASSERT_EQ(OpenVariant(cut, &length, &readable), AVIERR_OK);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(readable, 3);
    // Cut inside the header list.
    std::vector<uint8_t> header(bytes_.begin(), bytes_.begin() + 100);
    EXPECT_EQ(OpenVariant(header), AVIERR_BADFORMAT);
}

TEST_F(Hostile, IndexEntriesPastTheEndAreRefused) {
    const size_t idx1 = Find("idx1");
    ASSERT_NE(idx1, std::string::npos);
    auto bad = bytes_;
    Put32(bad, idx1 + 8 + 16 * 2 + 8, 0x7FFFFFF0u); // third entry's offset
    EXPECT_EQ(OpenVariant(bad), AVIERR_BADFORMAT);
    bad = bytes_;
    Put32(bad, idx1 + 8 + 16 * 4 + 12, 0xFFFFFFF0u); // fifth entry's size
    EXPECT_EQ(OpenVariant(bad), AVIERR_BADFORMAT);
}

TEST_F(Hostile, HugeFormatSizeIsBadFormat) {
    const size_t strf = Find("strf");
    ASSERT_NE(strf, std::string::npos);
    auto bad = bytes_;
    Put32(bad, strf + 4, 0x7FFFFFF0u);
    EXPECT_EQ(OpenVariant(bad), AVIERR_BADFORMAT);
    // A colour table longer than 8-bit pixels can index.
    bad = bytes_;
    Put32(bad, strf + 8 + 14, 8u);          // biBitCount 8 (and biCompression BI_RGB)
    Put32(bad, strf + 8 + 32, 0x40000000u); // biClrUsed
    EXPECT_EQ(OpenVariant(bad), AVIERR_BADFORMAT);
    // A header size beyond the format.
    bad = bytes_;
    Put32(bad, strf + 8, 0x7FFFFFF0u);
    EXPECT_EQ(OpenVariant(bad), AVIERR_BADFORMAT);
}

TEST_F(Hostile, PalettedFormatWithoutItsTableGetsBlackEntries) {
    // 8 bits a pixel but no colour table in the format: the getter's block still holds a whole table.
    const size_t strf = Find("strf");
    auto bad = bytes_;
    Put32(bad, strf + 8 + 14, 8u);
    const std::string path = dir.File("notable.avi");
    WriteFile(path, bad.data(), bad.size());
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, 0, 0), AVIERR_OK);
    PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(getter, nullptr);
    auto* h = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, 0));
    ASSERT_NE(h, nullptr);
    const auto* table = reinterpret_cast<const uint8_t*>(h + 1);
    EXPECT_EQ(table[1023], 0);
    EXPECT_EQ(table[1024], MakeFrame(16, 8, 0)[0]) << "the pixels follow the whole table";
    BITMAPINFOHEADER wanted{40, 16, 8, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    PGETFRAME decoder = AVIStreamGetFrameOpen(stream, &wanted);
    ASSERT_NE(decoder, nullptr);
    EXPECT_NE(AVIStreamGetFrame(decoder, 0), nullptr);
    AVIStreamGetFrameClose(decoder);
    AVIStreamGetFrameClose(getter);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

TEST_F(Hostile, BillionStreamsAreBadFormat) {
    const size_t avih = Find("avih");
    ASSERT_NE(avih, std::string::npos);
    auto bad = bytes_;
    Put32(bad, avih + 8 + 24, 1000000000u);
    EXPECT_EQ(OpenVariant(bad), AVIERR_BADFORMAT);
}

TEST_F(Hostile, ZeroLengthStreamOpensAndHasNoFrames) {
    const std::string path = dir.File("empty.avi");
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr), AVIERR_OK);
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = 30;
    PAVISTREAM s = nullptr;
    ASSERT_EQ(AVIFileCreateStreamA(file, &s, &info), AVIERR_OK);
    BITMAPINFOHEADER h{40, 8, 8, 1, 24, BI_RGB, 192, 0, 0, 0, 0};
    ASSERT_EQ(AVIStreamSetFormat(s, 0, &h, sizeof h), AVIERR_OK);
    AVIStreamRelease(s);
    AVIFileRelease(file);

    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(file, &s, streamtypeVIDEO, 0), AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(s), 0);
    LONG bytes = 0;
    EXPECT_EQ(AVIStreamRead(s, 0, 1, nullptr, 0, &bytes, nullptr), AVIERR_NODATA);
    PGETFRAME getter = AVIStreamGetFrameOpen(s, nullptr);
    ASSERT_NE(getter, nullptr);
    EXPECT_EQ(AVIStreamGetFrame(getter, 0), nullptr);
    AVIStreamGetFrameClose(getter);
    AVIStreamRelease(s);
    AVIFileRelease(file);
}

TEST_F(Hostile, RandomDamageNeverCrashes) {
    std::mt19937 random(12345);
    int opened = 0;
    for (int round = 0; round < 300; ++round) {
        auto bad = bytes_;
        const int hits = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < hits; ++k) {
            const size_t at = random() % bad.size();
            bad[at] = static_cast<uint8_t>(random());
            if (random() % 4 == 0 && at + 4 <= bad.size())
                Put32(bad, at, static_cast<uint32_t>(random()));
        }
        if (random() % 5 == 0)
            bad.resize(random() % bad.size());
        LONG length = 0;
        int readable = 0;
        opened += OpenVariant(bad, &length, &readable) == AVIERR_OK;
    }
    std::printf("damaged files that still opened: %d of 300\n", opened);
}

TEST(AviErrors, CodesHaveTheValuesTheCallersMap) {
    EXPECT_EQ(AVIERR_OK, 0);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_UNSUPPORTED), 0x80044065u);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_BADFORMAT), 0x80044066u);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_MEMORY), 0x80044067u);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_FILEREAD), 0x8004406Du);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_FILEOPEN), 0x8004406Fu);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_NOCOMPRESSOR), 0x80044071u);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_READONLY), 0x80044072u);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_NODATA), 0x80044073u);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_BUFFERTOOSMALL), 0x80044074u);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_USERABORT), 0x800440C6u);
    EXPECT_EQ(static_cast<DWORD>(AVIERR_ERROR), 0x800440C7u);
    EXPECT_EQ(static_cast<DWORD>(REGDB_E_CLASSNOTREG), 0x80040154u);
}

TEST(HostileCompressed, DamagedVideo1FramesNeverCrashTheDecoder) {
    TempDir dir;
    const std::string path = dir.File("msvc.avi");
    ASSERT_EQ(WriteMovie({path, 32, 16, 4, mmioFOURCC('m', 's', 'v', 'c'), 9000, "t"}), AVIERR_OK);
    const auto original = ReadFile(path);
    const std::string text(original.begin(), original.end());
    const size_t movi = text.find("movi");
    ASSERT_NE(movi, std::string::npos);
    std::mt19937 random(777);
    int decoded = 0;
    for (int round = 0; round < 200; ++round) {
        auto bad = original;
        // Damage the frames only, so the file still opens and the decoder sees the bad bytes.
        for (int k = 0; k < 6; ++k)
            bad[movi + 12 + random() % (text.find("idx1") - movi - 12)] = static_cast<uint8_t>(random());
        const std::string damaged = dir.File("bad.avi");
        WriteFile(damaged, bad.data(), bad.size());
        PAVIFILE file = nullptr;
        if (AVIFileOpenA(&file, damaged.c_str(), OF_READ, nullptr) != AVIERR_OK)
            continue;
        PAVISTREAM stream = nullptr;
        if (AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == AVIERR_OK) {
            if (PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr)) {
                for (LONG i = 3; i >= 0; --i)
                    decoded += AVIStreamGetFrame(getter, i) != nullptr;
                AVIStreamGetFrameClose(getter);
            }
            AVIStreamRelease(stream);
        }
        AVIFileRelease(file);
    }
    EXPECT_GT(decoded, 0);
}

TEST_F(Hostile, FormatsThatCannotBeShownAreBadFormat) {
    // Each a field of the video format ('strf': width at 4, height at 8, planes and bit count at 12) or
    // of the stream header ('strh': start at 28) set to what no picture or frame range can be.
    struct Case {
        const char* name;
        const char* chunk;
        size_t field;
        std::vector<uint32_t> values; // from the field on
    };
    const Case cases[] = {
        {"no bits a pixel", "strf", 12, {0x00000001u}}, // 1 plane, 0 bits
        {"64 bits a pixel", "strf", 12, {0x00400001u}},
        {"no width", "strf", 4, {0u}},
        {"no height", "strf", 8, {0u}},
        {"widest width", "strf", 4, {0x7FFFFFFFu}},
        {"30000 x 30000", "strf", 4, {30000u, 30000u}},
        {"32784 x 63752, 6 GB decoded", "strf", 4, {32784u, 63752u}},
        {"lowest height", "strf", 8, {0x80000000u}},
        {"4097 x 4096", "strf", 4, {4097u, 4096u}},
        {"start at the top of the range", "strh", 28, {0x7FFFFFFFu}},
        {"end one past the range", "strh", 28, {0x7FFFFFFFu - 5u}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t at = Find(c.chunk);
        ASSERT_NE(at, std::string::npos);
        auto bad = bytes_;
        for (size_t k = 0; k < c.values.size(); ++k)
            Put32(bad, at + 8 + c.field + 4 * k, c.values[k]);
        EXPECT_EQ(OpenVariant(bad), AVIERR_BADFORMAT);
    }
}

TEST_F(Hostile, TheLargestPictureAndTheLastFrameNumbersOpen) {
    // 4096 x 4096 pixels, top-down: opens (its few bytes of samples are no frames of that size).
    const size_t strf = Find("strf");
    auto big = bytes_;
    Put32(big, strf + 8 + 4, 4096u);
    Put32(big, strf + 8 + 8, static_cast<uint32_t>(-4096));
    EXPECT_EQ(OpenVariant(big), AVIERR_OK);

    // The six frames numbered up to the last frame number: each is read, the one after is none.
    auto high = bytes_;
    const LONG start = 0x7FFFFFFF - 6;
    Put32(high, Find("strh") + 8 + 28, static_cast<uint32_t>(start));
    const std::string path = dir.File("high.avi");
    WriteFile(path, high.data(), high.size());
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, 0, 0), AVIERR_OK);
    EXPECT_EQ(AVIStreamStart(stream), start);
    EXPECT_EQ(AVIStreamLength(stream), 6);
    for (PBITMAPINFOHEADER wanted : {static_cast<PBITMAPINFOHEADER>(nullptr), &rgb24_}) {
        PGETFRAME getter = AVIStreamGetFrameOpen(stream, wanted);
        ASSERT_NE(getter, nullptr);
        for (LONG i = 0; i < 6; ++i)
            EXPECT_NE(AVIStreamGetFrame(getter, start + i), nullptr) << i;
        EXPECT_EQ(AVIStreamGetFrame(getter, 0x7FFFFFFF), nullptr);
        EXPECT_EQ(AVIStreamGetFrame(getter, start - 1), nullptr);
        AVIStreamGetFrameClose(getter);
    }
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}
