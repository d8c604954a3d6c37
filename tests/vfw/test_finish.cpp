// Finishing a written AVI file on request: the result tells whether the file is complete, also when
// the disk fills while samples go in or while the headers and indexes are written; a finished file
// takes nothing more and is not written again at its release.
#include <gtest/gtest.h>

#include "platform/vfw/vfw.h"
#include "platform/win32/write_fault.h"
#include "vfw/avi_test_util.h"
#include "vfw/movie_writer.h"

namespace {

using kivic::win32::SetWriteFaultHook;

constexpr int kWidth = 32, kHeight = 16;

// A hook for one test: writes to the movie fail while `full` is set; the writes it saw are counted.
struct FullDisk {
    explicit FullDisk(std::string path) : movie(std::move(path)) {
        SetWriteFaultHook([this](const std::string& file, std::size_t) {
            if (file != movie)
                return false;
            ++writes;
            return full;
        });
    }
    ~FullDisk() { SetWriteFaultHook({}); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
    std::string movie;
    bool full = false;
    int writes = 0;
};

// A movie being written: a video stream, compressed through 'DIB ', with its format set.
class Writing {
public:
    explicit Writing(const std::string& path) {
        EXPECT_EQ(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr), AVIERR_OK);
        AVISTREAMINFOA info{};
        info.fccType = streamtypeVIDEO;
        info.dwScale = 1;
        info.dwRate = 30;
        info.rcFrame = {0, 0, kWidth, kHeight};
        EXPECT_EQ(AVIFileCreateStreamA(file, &source, &info), AVIERR_OK);
        AVICOMPRESSOPTIONS options{};
        options.fccType = streamtypeVIDEO;
        options.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
        options.dwFlags = AVICOMPRESSF_VALID;
        EXPECT_EQ(AVIMakeCompressedStream(&compressed, source, &options, nullptr), AVIERR_OK);
        BITMAPINFOHEADER header{40, kWidth, kHeight, 1, 24, BI_RGB, kWidth * 3 * kHeight, 0, 0, 0, 0};
        EXPECT_EQ(AVIStreamSetFormat(compressed, 0, &header, sizeof header), AVIERR_OK);
    }
    ~Writing() {
        AVIStreamRelease(compressed);
        AVIStreamRelease(source);
        AVIFileRelease(file);
    }
    Writing(const Writing&) = delete;
    Writing& operator=(const Writing&) = delete;

    HRESULT Frame(int i) {
        auto pixels = avitest::MakeFrame(kWidth, kHeight, i);
        return AVIStreamWrite(compressed, i, 1, pixels.data(), static_cast<LONG>(pixels.size()),
                              AVIIF_KEYFRAME, nullptr, nullptr);
    }

    PAVIFILE file = nullptr;
    PAVISTREAM source = nullptr;
    PAVISTREAM compressed = nullptr;
};

// The number of video frames of a file read back, or -1 when it cannot be opened.
LONG FramesIn(const std::string& path) {
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr) != AVIERR_OK)
        return -1;
    PAVISTREAM stream = nullptr;
    LONG frames = -1;
    if (AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == AVIERR_OK)
        frames = AVIStreamLength(stream);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
    return frames;
}

TEST(AviFinish, CompleteAtOnceAndClosedForWritingAfterwards) {
    avitest::TempDir dir;
    const std::string path = dir.File("run.avi");
    std::vector<uint8_t> finishedBytes;
    {
        Writing w(path);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(w.Frame(i), AVIERR_OK);
        EXPECT_EQ(FramesIn(path), -1); // no headers yet
        ASSERT_EQ(AVIFileFinish(w.file), AVIERR_OK);
        // Readable while the writer's handles are still held.
        EXPECT_EQ(FramesIn(path), 3);
        finishedBytes = avitest::ReadFile(path);

        EXPECT_EQ(w.Frame(3), AVIERR_READONLY);
        const char text[] = "late";
        EXPECT_EQ(AVIStreamWriteData(w.source, mmioFOURCC('t', 'x', 't', 's'), const_cast<char*>(text), 4),
                  AVIERR_READONLY);
        EXPECT_EQ(AVIFileWriteData(w.file, mmioFOURCC('t', 'x', 't', 's'), const_cast<char*>(text), 4),
                  AVIERR_READONLY);
        BITMAPINFOHEADER header{40, 8, 8, 1, 24, BI_RGB, 8 * 8 * 3, 0, 0, 0, 0};
        EXPECT_EQ(AVIStreamSetFormat(w.source, 0, &header, sizeof header), AVIERR_READONLY);
        AVISTREAMINFOA info{};
        info.fccType = streamtypeVIDEO;
        PAVISTREAM another = nullptr;
        EXPECT_EQ(AVIFileCreateStreamA(w.file, &another, &info), AVIERR_READONLY);
        EXPECT_EQ(another, nullptr);
        EXPECT_EQ(AVIFileFinish(w.file), AVIERR_OK);
    }
    // The release wrote nothing more.
    EXPECT_EQ(avitest::ReadFile(path), finishedBytes);
    EXPECT_EQ(FramesIn(path), 3);
}

TEST(AviFinish, FullDiskWhileFramesGoInFailsThatFrameAndTheFinish) {
    avitest::TempDir dir;
    const std::string path = dir.File("run.avi");
    FullDisk disk(path);
    Writing w(path);
    ASSERT_EQ(w.Frame(0), AVIERR_OK);
    ASSERT_EQ(w.Frame(1), AVIERR_OK);
    EXPECT_GT(disk.writes, 0); // the hook sees the movie by the name it was opened with
    disk.full = true;
    EXPECT_EQ(w.Frame(2), AVIERR_FILEWRITE);
    // Space again does not mend a file with a hole in it.
    disk.full = false;
    EXPECT_EQ(w.Frame(3), AVIERR_FILEWRITE);
    EXPECT_EQ(AVIFileFinish(w.file), AVIERR_FILEWRITE);
}

TEST(AviFinish, FullDiskWhileTheIndexIsWrittenFailsTheFinishOnly) {
    avitest::TempDir dir;
    const std::string path = dir.File("run.avi");
    FullDisk disk(path);
    Writing w(path);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(w.Frame(i), AVIERR_OK);
    disk.full = true;
    const int before = disk.writes;
    EXPECT_EQ(AVIFileFinish(w.file), AVIERR_FILEWRITE);
    EXPECT_GT(disk.writes, before);
    disk.full = false;
    // The first answer stands: the file stays unfinished.
    EXPECT_EQ(AVIFileFinish(w.file), AVIERR_FILEWRITE);
    EXPECT_EQ(FramesIn(path), -1);
}

TEST(AviFinish, OnlyFilesBeingWrittenAreFinished) {
    avitest::TempDir dir;
    const std::string path = dir.File("run.avi");
    avitest::MovieDescription movie;
    movie.path = path;
    ASSERT_EQ(avitest::WriteMovie(movie), AVIERR_OK);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    EXPECT_EQ(AVIFileFinish(file), AVIERR_READONLY);
    AVIFileRelease(file);
    EXPECT_EQ(AVIFileFinish(file), AVIERR_BADHANDLE);
    EXPECT_EQ(AVIFileFinish(nullptr), AVIERR_BADHANDLE);
    EXPECT_EQ(FramesIn(path), movie.frames);
}

} // namespace
