// The server through IDispatch, as the program drives it: frame selection, scenes, pixel and bitmap
// hand-out into the caller's blocks, stream data, drawing onto a device context, and the reporting.
#include <regex>
#include <string>
#include <vector>

#include <QImage>

#include "platform/gdi/gdiqt.h"
#include "server_fixture.h"
#include "tools/aviblocks/aviblocks_riff.h"
#include "vomCom/Ovisk/OviskStrings.h"

using namespace ovisktest;

namespace {

std::string Text(int id) {
    return OviskString(id);
}

} // namespace

TEST_F(ServerTest, FailuresAreTracedWithTheirSourceLine) {
    EXPECT_EQ(Failure([&] { Out(AVIFILTER_GETFRAMECOUNT); }), Text(IDS_NOT_OPENED));
    EXPECT_EQ(scode, E_FAIL);
    ASSERT_FALSE(traces.empty());
    EXPECT_TRUE(
        std::regex_match(traces.back(), std::regex(R"(AVIFilter\.cpp\(\d+\):オープンされていません。)")))
        << traces.back();

    EXPECT_EQ(Failure([&] { Call(AVIFILTER_SETHANDLE, VTS_I4, LONG{0}); }), Text(IDS_INVALID_HANDLE));
    EXPECT_EQ(Failure([&] { SetHandle(nullptr); }), Text(IDS_INVALID_HANDLE));
    EXPECT_EQ(Failure([&] { Call(AVIFILTER_DRAW, VTS_NONE); }), Text(IDS_NOT_OPENED));
    EXPECT_EQ(Failure([&] { Call(AVIFILTER_SETDRAWRECT, VTS_I4 VTS_I4 VTS_I4 VTS_I4, 0, 0, 1, 1); }),
              Text(IDS_NOT_OPENED));
    EXPECT_EQ(Failure([&] { server.SetProperty(AVIFILTER_SCENEINDEX, VT_I4, LONG{0}); }),
              Text(IDS_NOT_OPENED));
    // Closing what is not open is harmless.
    Call(AVIFILTER_CLOSE, VTS_NONE);
}

TEST_F(ServerTest, OpenTellsTheUserWhenNoDecoderReadsTheStream) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    const std::string path = dir.File("mpeg4.avi");
    ASSERT_TRUE(MakeFfmpegAvi(path, 32, 32, 2, 25, "-c:v mpeg4"));
    std::vector<std::string> boxes;
    MessageBoxNotifier previous = SetMessageBoxNotifier([&](HWND, const char* text, const char*, UINT) {
        boxes.emplace_back(text);
        return IDOK;
    });
    EXPECT_EQ(Failure([&] { Open(path); }), Text(IDS_DECODE_STREAM));
    SetMessageBoxNotifier(previous);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], Text(IDS_DECODE_STREAM));
}

TEST_F(ServerTest, FramesThatCannotBeShownOrNumberedFailTheOpenAsDamaged) {
    const std::string good = dir.File("good.avi");
    ASSERT_TRUE(WriteProjectAvi(good, mmioFOURCC('D', 'I', 'B', ' '), 16, 8, 2, "x"));
    const std::vector<BYTE> bytes = ReadAll(good);
    const std::string text(bytes.begin(), bytes.end());
    // A field of the video format ('strf': planes and bit count at 12, width at 4, height at 8) or of
    // the stream header ('strh': start at 28).
    struct Case {
        const char* chunk;
        std::size_t field;
        std::uint32_t value;
    };
    for (const Case c : {Case{"strf", 12, 0x00400001u}, Case{"strf", 4, 0x7FFFFFFFu},
                         Case{"strf", 8, 0x80000000u}, Case{"strh", 28, 0x7FFFFFFFu}}) {
        SCOPED_TRACE(std::string(c.chunk) + " + " + std::to_string(c.field));
        std::vector<BYTE> bad = bytes;
        const std::size_t at = text.find(c.chunk);
        ASSERT_NE(at, std::string::npos);
        std::memcpy(bad.data() + at + 8 + c.field, &c.value, 4);
        const std::string path = dir.File("damaged.avi");
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bad.data()), static_cast<std::streamsize>(bad.size()));
        EXPECT_EQ(Failure([&] { Open(path); }), Text(IDS_BAD_FORMAT));
        LONG first = -1;
        LONG last = -1;
        Call(AVIFILTER_GETRANGE, VTS_I4 VTS_PI4 VTS_PI4, LONG{0}, &first, &last);
        EXPECT_EQ(last, 0) << "no frame range is offered";
    }
}

TEST_F(ServerTest, RangeFrameSelectionAndRate) {
    const std::string path = dir.File("hundred.avi");
    ASSERT_TRUE(WriteProjectAvi(path, mmioFOURCC('D', 'I', 'B', ' '), 8, 8, 100, "x"));
    Open(path);
    EXPECT_TRUE(std::find(traces.begin(), traces.end(), "File Open : " + path) != traces.end());
    LONG first = -1;
    LONG last = -1;
    Call(AVIFILTER_GETRANGE, VTS_I4 VTS_PI4 VTS_PI4, LONG{0}, &first, &last);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 100);
    EXPECT_EQ(Out(AVIFILTER_GETFRAMECOUNT), 100);
    EXPECT_EQ(Out(AVIFILTER_GETFRAMERATE), 30);
    LONG width = 0;
    LONG height = 0;
    Call(AVIFILTER_GETIMAGESIZE, VTS_PI4 VTS_PI4, &width, &height);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(height, 8);

    // A stream that is not there: refused, the out values cleared.
    first = last = 5;
    Call(AVIFILTER_GETRANGE, VTS_I4 VTS_PI4 VTS_PI4, LONG{1}, &first, &last);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 0);

    // Without a device context Jump only traces.
    traces.clear();
    Call(AVIFILTER_JUMP, VTS_I4, LONG{5});
    ASSERT_FALSE(traces.empty());
    EXPECT_TRUE(traces.back().ends_with(":No Opened.")) << traces.back();

    QImage surface(8, 8, QImage::Format_RGB32);
    HDC dc = CreateDCOnImage(&surface);
    SetHandle(dc);
    Call(AVIFILTER_JUMP, VTS_I4, LONG{100});
    EXPECT_EQ(Failure([&] { Call(AVIFILTER_JUMP, VTS_I4, LONG{101}); }), Text(IDS_INVALID_FRAME));
    EXPECT_EQ(Failure([&] { Call(AVIFILTER_JUMP, VTS_I4, LONG{-1}); }), Text(IDS_INVALID_FRAME));
    // The current frame is what a negative frame number reads.
    Call(AVIFILTER_JUMP, VTS_I4, LONG{42});
    std::vector<BYTE> current(4096);
    std::vector<BYTE> explicitFrame(4096);
    LONG size = 0;
    Call(AVIFILTER_GETBITMAP, VTS_I4 VTS_BUFFER VTS_PI4, LONG{-1}, static_cast<void*>(current.data()),
         current.size(), &size);
    Call(AVIFILTER_GETBITMAP, VTS_I4 VTS_BUFFER VTS_PI4, LONG{42}, static_cast<void*>(explicitFrame.data()),
         explicitFrame.size(), &size);
    EXPECT_EQ(current, explicitFrame);
    const auto picture = Picture(8, 8, 42);
    EXPECT_EQ(PackedToTopDown(current.data(), current.size()), picture);
    Call(AVIFILTER_CLOSE, VTS_NONE);
    DeleteDC(dc);
}

TEST_F(ServerTest, ScenesOfAFileWithTwoVideoStreams) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    const std::string path = dir.File("two.avi");
    int status = 0;
    const std::string out =
        ovisktest::Run("ffmpeg -v error -y -f lavfi -i testsrc=size=32x16:rate=10:duration=0.4 -f lavfi -i "
                       "color=c=red:size=32x16:rate=10:duration=0.4 -map 0 -map 1 -frames:v 4 -c:v rawvideo "
                       "-pix_fmt bgr24 '" +
                           path + "' 2>&1",
                       &status);
    ASSERT_EQ(status, 0) << out;
    Open(path);
    LONG scenes = 0;
    server.GetProperty(AVIFILTER_SCENEINDEX, VT_I4, &scenes);
    EXPECT_EQ(scenes, 2);

    server.SetProperty(AVIFILTER_SCENEINDEX, VT_I4, LONG{1});
    std::vector<BYTE> block(40 + 32 * 16 * 3);
    LONG size = 0;
    Call(AVIFILTER_GETBITMAP, VTS_I4 VTS_BUFFER VTS_PI4, LONG{0}, static_cast<void*>(block.data()),
         block.size(), &size);
    const auto second = PackedToTopDown(block.data(), block.size());
    ovisktest::Run("ffmpeg -v error -y -i '" + path + "' -map 0:1 -frames:v 1 -f rawvideo -pix_fmt bgr24 '" +
                       dir.File("second.raw") + "' 2>&1",
                   &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(second, ReadAll(dir.File("second.raw")));
    server.SetProperty(AVIFILTER_SCENEINDEX, VT_I4, LONG{0});
    Call(AVIFILTER_GETBITMAP, VTS_I4 VTS_BUFFER VTS_PI4, LONG{0}, static_cast<void*>(block.data()),
         block.size(), &size);
    EXPECT_NE(PackedToTopDown(block.data(), block.size()), second);

    EXPECT_EQ(Failure([&] { server.SetProperty(AVIFILTER_SCENEINDEX, VT_I4, LONG{2}); }),
              Text(IDS_INVALID_STREAM));
    EXPECT_EQ(Failure([&] { server.SetProperty(AVIFILTER_SCENEINDEX, VT_I4, LONG{-1}); }),
              Text(IDS_INVALID_STREAM));
}

TEST_F(ServerTest, BuffersAreFilledOnlyWithinTheirCapacity) {
    Open(RecordingFile(50, 16, 2)); // rows of 150 bytes, padded to 152
    const std::size_t image = 152 * 16;
    LONG size = 0;
    Call(AVIFILTER_GETBITMAPSIZE, VTS_I4 VTS_PI4, LONG{0}, &size);
    EXPECT_EQ(size, static_cast<LONG>(40 + image));
    Call(AVIFILTER_GETBITMAP, VTS_I4 VTS_BUFFER VTS_PI4, LONG{0}, nullptr, size_t{0}, &size);
    EXPECT_EQ(size, static_cast<LONG>(40 + image));

    // One byte short: refused, nothing written (a write past the block is caught by the sanitizer).
    std::vector<BYTE> shortBlock(40 + image - 1, 0xEE);
    EXPECT_EQ(Failure([&] {
                  Call(AVIFILTER_GETBITMAP, VTS_I4 VTS_BUFFER VTS_PI4, LONG{0},
                       static_cast<void*>(shortBlock.data()), shortBlock.size(), &size);
              }),
              Text(IDS_READ_FRAME));
    EXPECT_EQ(shortBlock[0], 0xEE);
    std::vector<BYTE> pixels(image - 1);
    EXPECT_EQ(Failure([&] {
                  Call(AVIFILTER_GETIMAGE, VTS_I4 VTS_BUFFER VTS_PI4, LONG{1},
                       static_cast<void*>(pixels.data()), pixels.size(), &size);
              }),
              Text(IDS_READ_FRAME));

    // GetImage gives the pixels of GetBitmap without the header.
    std::vector<BYTE> bitmap(40 + image);
    pixels.assign(image, 0);
    Call(AVIFILTER_GETBITMAP, VTS_I4 VTS_BUFFER VTS_PI4, LONG{1}, static_cast<void*>(bitmap.data()),
         bitmap.size(), &size);
    Call(AVIFILTER_GETIMAGE, VTS_I4 VTS_BUFFER VTS_PI4, LONG{1}, static_cast<void*>(pixels.data()),
         pixels.size(), &size);
    EXPECT_EQ(size, static_cast<LONG>(image));
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), bitmap.begin() + 40));
}

TEST_F(ServerTest, StreamDataChunksRespectTheLengthAndTheBlock) {
    const std::string path = dir.File("text.avi");
    const std::string text = "Frame_Rate:250\n";
    ASSERT_TRUE(WriteProjectAvi(path, mmioFOURCC('D', 'I', 'B', ' '), 8, 8, 1, text));
    const LONG txts = static_cast<LONG>(mmioFOURCC('t', 'x', 't', 's'));
    LONG length = 99;
    Call(AVIFILTER_GETSTREAMOPTIONDATA, VTS_I4 VTS_BUFFER VTS_PI4, txts, nullptr, size_t{0}, &length);
    EXPECT_EQ(length, 0); // not opened

    Open(path);
    std::string small(4, '.');
    length = 100; // more than the block holds
    Call(AVIFILTER_GETSTREAMOPTIONDATA, VTS_I4 VTS_BUFFER VTS_PI4, txts, static_cast<void*>(small.data()),
         small.size(), &length);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(small, "....");
    std::string full(32, '\0');
    length = 32;
    Call(AVIFILTER_GETSTREAMOPTIONDATA, VTS_I4 VTS_BUFFER VTS_PI4, txts, static_cast<void*>(full.data()),
         full.size(), &length);
    EXPECT_EQ(length, static_cast<LONG>(text.size()));
    EXPECT_EQ(full.substr(0, text.size()), text);
    length = 32;
    Call(AVIFILTER_GETSTREAMOPTIONDATA, VTS_I4 VTS_BUFFER VTS_PI4, LONG{0x61626364},
         static_cast<void*>(full.data()), full.size(), &length);
    EXPECT_EQ(length, 0);
}

TEST_F(ServerTest, DrawingStretchesTheFrameOntoTheSurface) {
    const std::string path = dir.File("draw.avi");
    ASSERT_TRUE(WriteProjectAvi(path, mmioFOURCC('D', 'I', 'B', ' '), 32, 24, 2, "x"));
    Open(path);
    QImage surface(64, 48, QImage::Format_RGB32);
    surface.fill(Qt::black);
    HDC dc = CreateDCOnImage(&surface);
    SetHandle(dc);
    Call(AVIFILTER_SETDRAWRECT, VTS_I4 VTS_I4 VTS_I4 VTS_I4, 0, 0, 64, 48);
    Call(AVIFILTER_DRAW, VTS_NONE);
    const auto picture = Picture(32, 24, 0);
    int wrong = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const BYTE* p = picture.data() + (static_cast<std::size_t>(y / 2) * 32 + x / 2) * 3;
            wrong += surface.pixel(x, y) != qRgb(p[2], p[1], p[0]);
        }
    EXPECT_EQ(wrong, 0);

    // SetImageRect: the area from (4, 2) of the frame at the surface's corner, then the frame drawn
    // into the rectangle whose right and bottom edges are the width and height given.
    surface.fill(Qt::black);
    Call(AVIFILTER_SETIMAGERECT, VTS_I4 VTS_I4 VTS_I4 VTS_I4, 4, 2, 20, 14);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 20; ++x) {
            const BYTE* p = picture.data() + (static_cast<std::size_t>(y + 2) * 32 + x + 4) * 3;
            EXPECT_EQ(surface.pixel(x, y), qRgb(p[2], p[1], p[0])) << x << "," << y;
        }
    EXPECT_EQ(surface.pixel(30, 30), qRgb(0, 0, 0));
    DeleteDC(dc);
}

TEST_F(ServerTest, SelfDecodedFramesAreDrawnLikeTheirBitmap) {
    Open(RecordingFile(64, 48, 1));
    std::vector<BYTE> bitmap(40 + 64 * 48 * 3);
    LONG size = 0;
    Call(AVIFILTER_GETBITMAP, VTS_I4 VTS_BUFFER VTS_PI4, LONG{0}, static_cast<void*>(bitmap.data()),
         bitmap.size(), &size);
    const auto frame = PackedToTopDown(bitmap.data(), bitmap.size());

    QImage full(64, 48, QImage::Format_RGB32);
    HDC dc = CreateDCOnImage(&full);
    SetHandle(dc);
    Call(AVIFILTER_SETDRAWRECT, VTS_I4 VTS_I4 VTS_I4 VTS_I4, 0, 0, 64, 48);
    Call(AVIFILTER_DRAW, VTS_NONE);
    int wrong = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const BYTE* p = frame.data() + (static_cast<std::size_t>(y) * 64 + x) * 3;
            wrong += full.pixel(x, y) != qRgb(p[2], p[1], p[0]);
        }
    EXPECT_EQ(wrong, 0);
    DeleteDC(dc);

    // Half the size: each pixel averages a 2 x 2 block.
    QImage half(32, 24, QImage::Format_RGB32);
    dc = CreateDCOnImage(&half);
    SetHandle(dc);
    Call(AVIFILTER_SETDRAWRECT, VTS_I4 VTS_I4 VTS_I4 VTS_I4, 0, 0, 32, 24);
    Call(AVIFILTER_DRAW, VTS_NONE);
    double sum = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            for (int c = 0; c < 3; ++c) {
                int average = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        average +=
                            frame[(static_cast<std::size_t>(2 * y + dy) * 64 + 2 * x + dx) * 3 + 2 - c];
                const QRgb got = half.pixel(x, y);
                const int value = c == 0 ? qRed(got) : c == 1 ? qGreen(got) : qBlue(got);
                sum += std::abs(value - average / 4.0);
            }
    EXPECT_LE(sum / (32 * 24 * 3), 2.0);
    DeleteDC(dc);
}

TEST_F(ServerTest, RatesWithoutATimeBaseOrBeyondTheRangeDoNotOverflow) {
    struct Case {
        std::uint32_t scale;
        std::uint32_t rate;
        LONG expected;
    };
    for (const Case c : {Case{0, 30, 0}, Case{1, 0xFFFFFFFFu, 2147483647}, Case{1001, 30000, 30}}) {
        aviblocks::AviDescription desc;
        desc.width = 16;
        desc.height = 16;
        desc.frames = 1;
        const std::string path = dir.File("rate.avi");
        aviblocks::AviLayout layout;
        ASSERT_TRUE(aviblocks::WriteAviFile(path, desc, &layout));
        // The video stream's header: its list, 'strh' and size, then type, handler, flags, priority,
        // language and initial frames before scale and rate.
        ASSERT_FALSE(layout.streamLists.empty());
        std::vector<BYTE> bytes = ReadAll(path);
        const std::size_t at = layout.streamLists[0] + 12 + 8 + 20;
        ASSERT_LT(at + 8, bytes.size());
        std::memcpy(bytes.data() + at, &c.scale, 4);
        std::memcpy(bytes.data() + at + 4, &c.rate, 4);
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        // The platform may refuse a file whose header gives no time base; when it opens, the rate is sane.
        const std::string failure = Failure([&] { Open(path); });
        if (failure != "(no failure)") {
            EXPECT_EQ(c.scale, 0u) << failure;
            continue;
        }
        EXPECT_EQ(Out(AVIFILTER_GETFRAMERATE), c.expected) << c.scale << "/" << c.rate;
        Call(AVIFILTER_CLOSE, VTS_NONE);
    }
}
