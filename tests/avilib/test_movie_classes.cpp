// The file, stream and frame-getter classes over the AVIFile layer.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/win32/system.h"
#include "vfw/avi_test_util.h"
#include "vfw/movie_writer.h"
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieGetFrame.h"
#include "vomLib/avilib/MovieStream.h"
#include "vomLib/avilib/MovieStreamInfo.h"

using namespace avitest;

namespace {

std::string OpenFailure(const std::string& path) {
    try {
        CMovieFile file(path.c_str(), OF_READ);
    } catch (const CMovieException& e) {
        return e.m_message;
    }
    return "";
}

// A file with a video stream, a 'NOTE' stream and a second video stream.
void WriteThreeStreams(const std::string& path) {
    CMovieFile file(path.c_str(), OF_CREATE | OF_WRITE);
    for (FOURCC type : {streamtypeVIDEO, mmioFOURCC('N', 'O', 'T', 'E'), streamtypeVIDEO}) {
        CMovieStream stream(file);
        const CMovieStreamInfo info(4, 4, 48, type, 0, 1, 30);
        ASSERT_EQ(stream.Create(&info), AVIERR_OK);
        BITMAPINFOHEADER h{40, 4, 4, 1, 24, BI_RGB, 48, 0, 0, 0, 0};
        ASSERT_EQ(stream.SetFormat(&h, sizeof h, 0), AVIERR_OK);
        std::vector<uint8_t> sample(48, static_cast<uint8_t>(type));
        ASSERT_EQ(stream.Write(0, sample.data(), 48, AVIIF_KEYFRAME), AVIERR_OK);
    }
}

} // namespace

TEST(MovieClasses, OpenFailuresCarryTheirMessages) {
    TempDir dir;
    EXPECT_EQ(OpenFailure(dir.File("missing.avi")), "Fail to AVIFileOpen. file open error");
    WriteFile(dir.File("text.avi"), "plain text", 10);
    EXPECT_EQ(OpenFailure(dir.File("text.avi")), "Fail to AVIFileOpen. AVI bad format ");
    EXPECT_STREQ(CMovieFile::OpenErrorMessage(AVIERR_MEMORY), "Fail to AVIFileOpen. memory error   ");
    EXPECT_STREQ(CMovieFile::OpenErrorMessage(AVIERR_FILEREAD), "Fail to AVIFileOpen. file read error");
    EXPECT_STREQ(CMovieFile::OpenErrorMessage(REGDB_E_CLASSNOTREG), "Fail to AVIFileOpen. file open error");
    EXPECT_STREQ(CMovieFile::OpenErrorMessage(AVIERR_ERROR), "Fail to AVIFileOpen. unknown error  ");
    try {
        CMovieFile file(dir.File("text.avi").c_str(), OF_READ);
        FAIL() << "no exception";
    } catch (const CMovieException& e) {
        EXPECT_EQ(e.m_code, AVIERR_BADFORMAT);
    }
}

TEST(MovieClasses, DestructorReportsTheReferenceCountOnce) {
    TempDir dir;
    const std::string path = dir.File("three.avi");
    WriteThreeStreams(path);
    std::vector<std::string> lines;
    auto previous = SetDebugOutputSink([&](const char* text) { lines.emplace_back(text); });
    std::unique_ptr<CMovieStream> stream;
    {
        CMovieFile file(path.c_str(), OF_READ);
        stream = std::make_unique<CMovieStream>(file, 0);
        lines.clear();
    }
    SetDebugOutputSink(previous);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0], "AVIFileRelease:0") << "the stream still holds the file";
    EXPECT_EQ(lines[0].rfind("AVIFileRelease:", 0), 0u);
    // The stream stays usable on its own reference.
    EXPECT_EQ(stream->GetSampleSize(0), 48);
    stream.reset();
    {
        CMovieFile file(path.c_str(), OF_READ);
        lines.clear();
        SetDebugOutputSink([&](const char* text) { lines.emplace_back(text); });
    }
    SetDebugOutputSink(previous);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "AVIFileRelease:0");
}

TEST(MovieClasses, EnumStreamsKeepsFileOrderAndFiltersByType) {
    TempDir dir;
    const std::string path = dir.File("three.avi");
    WriteThreeStreams(path);
    CMovieFile file(path.c_str(), OF_READ);
    AVIFILEINFO info{};
    ASSERT_EQ(file.GetInfo(&info), AVIERR_OK);
    ASSERT_EQ(info.dwStreams, 3u);
    std::vector<CMovieStream*> all, video;
    EXPECT_EQ(file.EnumStreams(&info, &all, 0), AVIERR_OK);
    EXPECT_EQ(file.EnumStreams(&info, &video, streamtypeVIDEO), AVIERR_OK);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1]->Info().fccType, mmioFOURCC('N', 'O', 'T', 'E'));
    ASSERT_EQ(video.size(), 2u);
    EXPECT_EQ(video[0]->Info().fccType, streamtypeVIDEO);
    for (auto* s : all)
        delete s;
    for (auto* s : video)
        delete s;
}

TEST(MovieClasses, StreamsReadSamplesFormatsAndSizes) {
    TempDir dir;
    const std::string path = dir.File("three.avi");
    WriteThreeStreams(path);
    CMovieFile file(path.c_str(), OF_READ);
    CMovieStream note(file, mmioFOURCC('N', 'O', 'T', 'E'));
    EXPECT_EQ(note.GetSampleSize(0), 48);
    std::vector<uint8_t> buffer(48);
    LONG size = 48;
    ASSERT_EQ(note.Read(buffer.data(), &size, 0), AVIERR_OK);
    EXPECT_EQ(size, 48);
    EXPECT_EQ(buffer[0], static_cast<uint8_t>(mmioFOURCC('N', 'O', 'T', 'E')));
    size = 47;
    EXPECT_EQ(note.Read(buffer.data(), &size, 0), AVIERR_BUFFERTOOSMALL);
    BITMAPINFOHEADER h{};
    LONG formatSize = sizeof h;
    ASSERT_EQ(note.ReadFormat(&h, &formatSize), AVIERR_OK);
    EXPECT_EQ(h.biWidth, 4);
    try {
        note.GetSampleSize(1);
        FAIL() << "no exception";
    } catch (const CMovieException& e) {
        EXPECT_STREQ(e.m_message, "cannot get stream length");
        EXPECT_EQ(e.m_code, AVIERR_NODATA);
    }
    try {
        CMovieStream missing(file, mmioFOURCC('C', 'S', 'T', 'S'));
        FAIL() << "no exception";
    } catch (const CMovieException& e) {
        EXPECT_STREQ(e.m_message, "Failed. Get AVI file stream");
    }
    try {
        CMovieStream missing(file, 7);
        FAIL() << "no exception";
    } catch (const CMovieException& e) {
        EXPECT_STREQ(e.m_message, "Failed. Get AVI file stream");
    }
}

TEST(MovieClasses, FrameGetterNeedsADecoder) {
    TempDir dir;
    const std::string path = dir.File("odd.avi");
    {
        CMovieFile file(path.c_str(), OF_CREATE | OF_WRITE);
        CMovieStream stream(file);
        const CMovieStreamInfo info = CMovieStreamInfo::Video(8, 8, 0, 0, 1, 30);
        ASSERT_EQ(stream.Create(&info), AVIERR_OK);
        BITMAPINFOHEADER h{40, 8, 8, 1, 24, mmioFOURCC('X', 'Y', 'Z', 'W'), 0, 0, 0, 0, 0};
        ASSERT_EQ(stream.SetFormat(&h, sizeof h, 0), AVIERR_OK);
        uint8_t byte = 0;
        ASSERT_EQ(stream.Write(0, &byte, 1, AVIIF_KEYFRAME), AVIERR_OK);
    }
    CMovieFile file(path.c_str(), OF_READ);
    CMovieStream stream(file, 0);
    try {
        CMovieGetFrame getter(stream, nullptr);
        FAIL() << "no exception";
    } catch (const CMovieException& e) {
        EXPECT_EQ(e.m_code, 1);
        EXPECT_STREQ(e.m_message, "Failed GetFrameOpen. not codec.");
    }
}

TEST(MovieClasses, StreamInfoBuildersFillTheirFields) {
    const CMovieStreamInfo plain(10, 20, 600, streamtypeAUDIO, 7, 1, 30);
    EXPECT_EQ(plain.fccType, streamtypeAUDIO);
    EXPECT_EQ(plain.rcFrame.right, 10);
    EXPECT_EQ(plain.rcFrame.bottom, 20);
    EXPECT_EQ(plain.dwQuality, 0u);
    const CMovieStreamInfo rect(1, 2, 3, 4, 5, 6, 7, 8);
    EXPECT_EQ(rect.fccType, streamtypeVIDEO);
    EXPECT_EQ(rect.rcFrame.left, 1);
    EXPECT_EQ(rect.rcFrame.bottom, 4);
    EXPECT_EQ(rect.dwSuggestedBufferSize, 5u);
    EXPECT_EQ(rect.fccHandler, 6u);
    EXPECT_EQ(rect.dwScale, 7u);
    EXPECT_EQ(rect.dwRate, 8u);
    const auto mjpg = CMovieStreamInfo::Mjpeg(640, 480, 1, 30, 7500, 921600);
    EXPECT_EQ(mjpg.fccHandler, mmioFOURCC('M', 'J', 'P', 'G'));
    EXPECT_EQ(mjpg.dwQuality, 7500u);
    EXPECT_EQ(mjpg.dwSuggestedBufferSize, 921600u);
    const auto yrjq = CMovieStreamInfo::Yrjq(640, 480, 921600, 1, 30, 75);
    EXPECT_EQ(yrjq.fccHandler, mmioFOURCC('Y', 'R', 'J', 'Q'));
    EXPECT_EQ(yrjq.dwQuality, 75u);
    EXPECT_EQ(yrjq.dwRate, 30u);
    EXPECT_EQ(yrjq.dwLength, 0u);
    EXPECT_EQ(yrjq.szName[0], 0);
}
