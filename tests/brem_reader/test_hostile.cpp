// Damaged and hostile files: every one fails with a clear exception and no crash.
#include <climits>

#include "fc/BREM_FC/BREMF.h"
#include "recording_files.h"

namespace {

class HostileTest : public RecordingFiles {
protected:
    // Opens path expecting a BREMFException and returns it.
    static BREMFException Refusal(const std::string& path) {
        try {
            BREMF reader(path.c_str(), 1);
        } catch (const BREMFException& e) {
            return e;
        }
        ADD_FAILURE() << path << " was accepted";
        return BREMFException("", 0, 0, 0, "");
    }
    // A header whose frames are never written: the file is the header and holes only, so large
    // sizes cost nothing.
    static cm8::Recording HeaderOnly(std::uint16_t width, std::uint16_t height) {
        cm8::Recording rec;
        rec.width = width;
        rec.height = height;
        rec.frames = 1;
        rec.onlyFrames = {1};
        return rec;
    }
};

TEST_F(HostileTest, MissingFileCannotBeOpened) {
    const std::string path = Path("absent.cm8");
    const BREMFException e = Refusal(path);
    EXPECT_EQ(e.Code(), BREMF::ErrOpen);
    EXPECT_EQ(e.Line(), 25);
    EXPECT_EQ(e.Message(), "can't open " + path);
    EXPECT_EQ(e.LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(HostileTest, FolderIsNoRecording) {
    EXPECT_EQ(Refusal(Path("")).Code(), BREMF::ErrOpen);
    EXPECT_THROW(BREMF(nullptr, 1), BREMFException);
}

TEST_F(HostileTest, HeaderWithMagicMustBeWhole) {
    for (std::uint64_t length : {4u, 100u, 511u}) {
        cm8::Recording rec = Small(0, 3);
        rec.truncate = length;
        const BREMFException e = Refusal(Write(rec));
        EXPECT_EQ(e.Code(), BREMF::ErrHeaderCut) << length;
        EXPECT_NE(e.Message().find("header incomplete"), std::string::npos) << e.Message();
    }
}

TEST_F(HostileTest, ZeroSizesAreRefused) {
    struct Sizes {
        std::uint16_t w, h, dw, dh;
    };
    for (const Sizes s :
         {Sizes{0, 16, 0, 16}, Sizes{64, 0, 64, 0}, Sizes{64, 16, 0, 16}, Sizes{64, 16, 64, 0}}) {
        cm8::Recording rec = HeaderOnly(s.w, s.h);
        rec.dispWidth = s.dw;
        rec.dispHeight = s.dh;
        EXPECT_EQ(Refusal(Write(rec)).Code(), BREMF::ErrSizeZero)
            << s.w << " " << s.h << " " << s.dw << " " << s.dh;
    }
}

TEST_F(HostileTest, PictureLargerThanFrameIsRefused) {
    cm8::Recording rec = HeaderOnly(64, 16);
    rec.dispWidth = 65;
    EXPECT_EQ(Refusal(Write(rec)).Code(), BREMF::ErrPictureSize);
    rec.dispWidth = 64;
    rec.dispHeight = 17;
    const BREMFException e = Refusal(Write(rec));
    EXPECT_EQ(e.Code(), BREMF::ErrPictureSize);
    EXPECT_EQ(e.Message(), "BREMF picture 64 x 17 larger than frame 64 x 16");
}

TEST_F(HostileTest, FramesBeyondThePixelCapAreRefused) {
    EXPECT_EQ(Refusal(Write(HeaderOnly(65535, 65535))).Code(), BREMF::ErrTooLarge);
    EXPECT_EQ(Refusal(Write(HeaderOnly(4097, 4096))).Code(), BREMF::ErrTooLarge);
    // The cap itself is accepted.
    BREMF reader(Write(HeaderOnly(4096, 4096)).c_str(), 1);
    EXPECT_EQ(reader.GetFrameSize(), BREMF::MaxPixels);
}

TEST_F(HostileTest, EmptyOrOverflowingFrameRangeIsIllegal) {
    cm8::Recording rec = Small(0, 2);
    rec.numFrames = 0;
    EXPECT_THROW(BREMF(Write(rec).c_str(), 1), Range<long>::illegal);

    rec = Small(INT32_MAX - 5, 2);
    rec.numFrames = 10;
    EXPECT_THROW(BREMF(Write(rec).c_str(), 1), Range<long>::illegal);

    rec = Small(0, 2);
    rec.numFrames = 0xFFFFFFFF;
    EXPECT_THROW(BREMF(Write(rec).c_str(), 1), Range<long>::illegal);
}

TEST_F(HostileTest, HugeFrameCountWithinRangeOpensAndMissingFramesFail) {
    cm8::Recording rec = Small(INT32_MIN, 2);
    rec.numFrames = 0xFFFFFFFF;
    BREMF reader(Write(rec).c_str(), 1);
    EXPECT_EQ(reader.GetLastFrame(), INT32_MAX - 1);
    EXPECT_EQ(reader.GetFramesPresent(), 2u);
    EXPECT_THROW(reader.ReadFrame(LONG_MAX), vomRfile::XRead);
    EXPECT_NE(reader.ReadFrame(INT32_MIN + 1), nullptr);
}

TEST_F(HostileTest, FileEndingBeforeTheFirstFrameIsRefused) {
    cm8::Recording rec = Small(0, 5);
    rec.truncate = 512 + 1023;
    const BREMFException e = Refusal(Write(rec));
    EXPECT_EQ(e.Code(), BREMF::ErrNoFrameData);

    rec = Small(0, 5);
    rec.dataOffset = 0xFFFFFF00;
    rec.truncate = 4096;
    EXPECT_EQ(Refusal(Write(rec)).Code(), BREMF::ErrNoFrameData);
}

TEST_F(HostileTest, TooSmallHeaderlessFilesHaveNoFrames) {
    for (std::uint64_t length : {0u, 3u, 245759u}) {
        cm8::Recording rec;
        rec.headerless = true;
        rec.frames = 1;
        rec.truncate = length;
        EXPECT_THROW(BREMF(Write(rec).c_str(), 1), Range<long>::illegal) << length;
    }
}

} // namespace
