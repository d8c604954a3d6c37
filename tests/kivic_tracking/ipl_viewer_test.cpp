// The image viewer: scaling to 8 bits, at most ten windows cascading, modal and non-modal calls from the
// GUI thread and from other threads, titles, drawing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include <QTimer>

#include "KivIc/Tracking/IplViewer.h"
#include "afx/afx_test_app.h"

namespace {

IplImage* GrayImage(int depth, int width, int height, int origin = IPL_ORIGIN_TL,
                    int align = IPL_ALIGN_DWORD) {
    IplImage* image = iplCreateImageHeader(1, 0, depth, "GRAY", "GRAY", IPL_DATA_ORDER_PIXEL, origin, align,
                                           width, height, nullptr, nullptr, nullptr, nullptr);
    iplAllocateImage(image, 1, 0);
    return image;
}

template <typename T> void FillRow(IplImage* image, int row, T value) {
    for (int x = 0; x < image->width; ++x)
        iplPutPixel(image, x, row, &value);
}

struct ImageHolder {
    explicit ImageHolder(IplImage* i) : image(i) {}
    ~ImageHolder() { iplDeallocate(image, IPL_IMAGE_ALL); }
    IplImage* image;
};

QWidget* FindViewer(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == title)
            return w;
    }
    return nullptr;
}

// The gray level the viewer window shows at a pixel of its picture.
int Shown(QWidget* window, int x, int y) {
    CWnd* wnd = CWnd::FromWidget(window);
    wnd->UpdateWindow();
    return qGray(wnd->GetSurface()->pixel(x, y));
}

bool Signalled(HANDLE h) {
    return WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
}

class IplViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        ASSERT_EQ(GetIplViewerCount(), 0);
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && CWnd::FromWidget(w) != nullptr)
                w->close();
        }
        Pump();
        EXPECT_EQ(GetIplViewerCount(), 0);
    }
    MessageBoxRecorder boxes;
};

TEST_F(IplViewerTest, SignedSixteenBitExtremesShowBlackAndWhite) {
    // Bottom-up rows: row 0 is the picture's bottom line.
    ImageHolder s16(GrayImage(IPL_DEPTH_16S, 6, 4, IPL_ORIGIN_BL));
    FillRow<std::int16_t>(s16.image, 0, -32768);
    FillRow<std::int16_t>(s16.image, 3, 32767);
    HANDLE closed = ShowIplImage(s16.image, "s16", false);
    ASSERT_NE(closed, nullptr);
    QWidget* window = FindViewer("s16");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Shown(window, 2, 3), 0);
    EXPECT_EQ(Shown(window, 2, 0), 255);
    EXPECT_EQ(Shown(window, 2, 1), 128); // 0 lies halfway
    EXPECT_FALSE(Signalled(closed));
    window->close();
    EXPECT_TRUE(Signalled(closed));
    EXPECT_EQ(GetIplViewerCount(), 0);
    CloseHandle(closed);
}

// Writes v into a row in the image's own depth.
void FillRowWith(IplImage* image, int row, long long v) {
    switch (image->depth) {
    case IPL_DEPTH_8S:
        FillRow(image, row, static_cast<std::int8_t>(v));
        break;
    case IPL_DEPTH_16U:
        FillRow(image, row, static_cast<std::uint16_t>(v));
        break;
    case IPL_DEPTH_32S:
        FillRow(image, row, static_cast<std::int32_t>(v));
        break;
    default:
        FillRow(image, row, static_cast<std::uint8_t>(v));
        break;
    }
}

TEST_F(IplViewerTest, OtherDepthsAreScaledToEightBits) {
    struct Case {
        int depth;
        long long low, high;
        int shownLow, shownHigh;
    } cases[] = {{IPL_DEPTH_8S, -128, 127, 0, 254},
                 {IPL_DEPTH_16U, 0, 65535, 0, 255},
                 {IPL_DEPTH_32S, INT32_MIN, INT32_MAX, 0, 255},
                 {IPL_DEPTH_8U, 3, 250, 3, 250}};
    for (const Case& c : cases) {
        ImageHolder image(GrayImage(c.depth, 3, 2));
        FillRowWith(image.image, 0, c.low);
        FillRowWith(image.image, 1, c.high);
        HANDLE closed = ShowIplImage(image.image, "depth", false);
        ASSERT_NE(closed, nullptr);
        QWidget* window = FindViewer("depth");
        ASSERT_NE(window, nullptr);
        // Top-down rows: row 0 on top.
        EXPECT_EQ(Shown(window, 1, 0), c.shownLow) << c.depth;
        EXPECT_EQ(Shown(window, 1, 1), c.shownHigh) << c.depth;
        window->close();
        CloseHandle(closed);
    }
}

TEST_F(IplViewerTest, TenViewersCascadeAndTheEleventhIsRefused) {
    ImageHolder image(GrayImage(IPL_DEPTH_8U, 8, 8));
    std::vector<HANDLE> handles;
    for (int i = 0; i < kMaxIplViewers; ++i) {
        handles.push_back(ShowIplImage(image.image, ("v" + std::to_string(i)).c_str(), false));
        ASSERT_NE(handles.back(), nullptr);
    }
    EXPECT_EQ(GetIplViewerCount(), 10);
    for (int i = 0; i < kMaxIplViewers; ++i) {
        QWidget* w = FindViewer(QString("v%1").arg(i));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry().topLeft(), QPoint(15 * (i + 1), 15 * (i + 1))) << i;
    }
    EXPECT_EQ(ShowIplImage(image.image, "v10", false), nullptr);
    EXPECT_EQ(ShowIplImage(image.image, "v10", true), nullptr);
    EXPECT_EQ(FindViewer("v10"), nullptr);
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[0],
              "Too many threads are beign executed. Please decrease number of viewers or use Modal mode.");
    // A closed viewer frees its place.
    FindViewer("v4")->close();
    EXPECT_TRUE(Signalled(handles[4]));
    EXPECT_FALSE(Signalled(handles[5]));
    HANDLE again = ShowIplImage(image.image, "v10", false);
    EXPECT_NE(again, nullptr);
    handles.push_back(again);
    for (HANDLE h : handles)
        CloseHandle(h);
}

TEST_F(IplViewerTest, ModalReturnsZeroOnlyAfterTheWindowIsClosed) {
    ImageHolder image(GrayImage(IPL_DEPTH_8U, 5, 5));
    bool closedByUser = false;
    QTimer::singleShot(30, [&] {
        QWidget* w = FindViewer("modal");
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(GetIplViewerCount(), 1);
        closedByUser = true;
        w->close();
    });
    EXPECT_EQ(ShowIplImage(image.image, "modal", true), nullptr);
    EXPECT_TRUE(closedByUser);
    EXPECT_EQ(GetIplViewerCount(), 0);
    // Escape closes a viewer like its close box.
    QTimer::singleShot(30, [&] {
        CWnd* wnd = CWnd::FromWidget(FindViewer("modal"));
        ASSERT_NE(wnd, nullptr);
        wnd->SendMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    });
    EXPECT_EQ(ShowIplImage(image.image, "modal", true), nullptr);
    EXPECT_EQ(GetIplViewerCount(), 0);
}

TEST_F(IplViewerTest, OtherThreadsHandTheirCallsToTheGuiThread) {
    ImageHolder image(GrayImage(IPL_DEPTH_8U, 5, 5));
    std::atomic<bool> done{false};
    HANDLE closed = nullptr;
    std::thread worker([&] {
        closed = ShowIplImage(image.image, "worker", false);
        done = true;
    });
    while (!done)
        AfxPumpMessages();
    worker.join();
    ASSERT_NE(closed, nullptr);
    QWidget* w = FindViewer("worker");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->thread(), QApplication::instance()->thread());
    w->close();
    EXPECT_TRUE(Signalled(closed));
    CloseHandle(closed);

    // A modal call from another thread waits there until the window is closed.
    done = false;
    HANDLE result = reinterpret_cast<HANDLE>(1);
    std::thread modal([&] {
        result = ShowIplImage(image.image, "worker modal", true);
        done = true;
    });
    QWidget* m = nullptr;
    while ((m = FindViewer("worker modal")) == nullptr)
        AfxPumpMessages();
    for (int i = 0; i < 20; ++i)
        AfxPumpMessages();
    EXPECT_FALSE(done);
    m->close();
    while (!done)
        AfxPumpMessages();
    modal.join();
    EXPECT_EQ(result, nullptr);
}

TEST_F(IplViewerTest, TitlesAreCutToTheirRoom) {
    ImageHolder image(GrayImage(IPL_DEPTH_8U, 4, 4));
    std::vector<HANDLE> handles;
    handles.push_back(ShowIplImage(image.image, std::string(300, 'a').c_str(), false));
    EXPECT_NE(FindViewer(QString(127, 'a')), nullptr);
    std::string kana;
    for (int i = 0; i < 60; ++i)
        kana += "あ";
    handles.push_back(ShowIplImage(image.image, kana.c_str(), false));
    EXPECT_NE(FindViewer(QString::fromUtf8(kana.substr(0, 126))), nullptr); // whole characters only
    handles.push_back(ShowIplImage(image.image, nullptr, false));
    EXPECT_NE(FindViewer("IPLib image"), nullptr);
    for (HANDLE h : handles) {
        ASSERT_NE(h, nullptr);
        CloseHandle(h);
    }
    EXPECT_EQ(ShowIplImage(nullptr, "none", false), nullptr);
}

TEST(DrawIplImageTest, DrawsGrayAndColourAndRefusesTheRest) {
    EnsureQt();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 8);
    HGDIOBJ old = SelectObject(dc, bitmap);

    EXPECT_EQ(DrawIplImage(dc, nullptr), -1);
    IplImage* header =
        iplCreateImageHeader(1, 0, IPL_DEPTH_8U, "GRAY", "GRAY", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                             IPL_ALIGN_DWORD, 3, 3, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(DrawIplImage(dc, header), -1);
    iplDeallocate(header, IPL_IMAGE_ALL);

    // Rows aligned to 8 bytes are repacked for the bitmap's 4.
    ImageHolder gray(GrayImage(IPL_DEPTH_8U, 3, 2, IPL_ORIGIN_TL, IPL_ALIGN_QWORD));
    FillRow<std::uint8_t>(gray.image, 0, 40);
    FillRow<std::uint8_t>(gray.image, 1, 200);
    EXPECT_EQ(DrawIplImage(dc, gray.image), 1);
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(40, 40, 40));
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(200, 200, 200));

    ImageHolder colour(iplCreateImageHeader(3, 0, IPL_DEPTH_8U, "RGB", "BGR", IPL_DATA_ORDER_PIXEL,
                                            IPL_ORIGIN_BL, IPL_ALIGN_DWORD, 2, 2, nullptr, nullptr, nullptr,
                                            nullptr));
    iplAllocateImage(colour.image, 1, 0);
    const std::uint8_t bgr[3] = {10, 20, 30};
    iplPutPixel(colour.image, 1, 0, bgr);
    EXPECT_EQ(DrawIplImage(dc, colour.image), 1);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(30, 20, 10)); // row 0 at the bottom

    std::memcpy(colour.image->colorModel, "HSV", 4);
    EXPECT_EQ(DrawIplImage(dc, colour.image), 0);
    std::memcpy(colour.image->colorModel, "GRAY", 4);
    EXPECT_EQ(DrawIplImage(dc, colour.image), 0); // gray needs one channel
    ImageHolder wide(GrayImage(IPL_DEPTH_16U, 2, 2));
    EXPECT_EQ(DrawIplImage(dc, wide.image), 0);

    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

} // namespace
