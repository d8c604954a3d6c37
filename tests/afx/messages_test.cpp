// Window messages by number: send is synchronous on the GUI thread, post is queued, a worker thread
// hands its message to the GUI thread and waits for it or for its quit event.
#include <atomic>
#include <thread>

#include <QThread>

#include "afx/afx_test_app.h"
#include "platform/win32/sync.h"

namespace {

constexpr UINT WM_TEST = WM_USER + 7;

class Receiver : public CWnd {
public:
    std::vector<std::pair<WPARAM, LPARAM>> got;
    std::vector<bool> onGuiThread;

protected:
    LRESULT OnTest(WPARAM w, LPARAM l) {
        got.emplace_back(w, l);
        onGuiThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
        return static_cast<LRESULT>(w + l);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Receiver, CWnd)
ON_MESSAGE(WM_TEST, OnTest)
END_MESSAGE_MAP()

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        ASSERT_TRUE(wnd.Create(nullptr, "receiver", WS_OVERLAPPED, CRect(0, 0, 50, 50), nullptr, 0));
    }
    void TearDown() override {
        wnd.DestroyWindow();
        Pump();
    }
    Receiver wnd;
};

TEST_F(MessagesTest, SendIsSynchronousAndReturnsTheHandlersResult) {
    EXPECT_EQ(wnd.SendMessage(WM_TEST, 2, 3), 5);
    EXPECT_EQ(::SendMessage(wnd.GetSafeHwnd(), WM_TEST, 4, 4), 8);
    EXPECT_EQ(wnd.got.size(), 2u);
}

TEST_F(MessagesTest, PostIsQueuedUntilTheLoopRuns) {
    EXPECT_TRUE(wnd.PostMessage(WM_TEST, 1, 2));
    EXPECT_TRUE(wnd.got.empty());
    Pump();
    ASSERT_EQ(wnd.got.size(), 1u);
    EXPECT_EQ(wnd.got[0], (std::pair<WPARAM, LPARAM>(1, 2)));
}

TEST_F(MessagesTest, PostToADestroyedWindowFailsAndQueuedOnesAreDropped) {
    Receiver other;
    ASSERT_TRUE(other.Create(nullptr, "x", WS_OVERLAPPED, CRect(0, 0, 10, 10), nullptr, 0));
    HWND h = other.GetSafeHwnd();
    EXPECT_TRUE(::PostMessage(h, WM_TEST, 1, 1));
    other.DestroyWindow();
    Pump(); // the queued message finds no window and is dropped
    EXPECT_TRUE(other.got.empty());
    EXPECT_FALSE(::PostMessage(h, WM_TEST, 1, 1));
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(MessagesTest, WorkerThreadSendRunsOnTheGuiThread) {
    std::atomic<LRESULT> result{0};
    std::atomic<bool> done{false};
    HWND h = wnd.GetSafeHwnd();
    std::thread worker([&]() {
        result = ::SendMessage(h, WM_TEST, 20, 22);
        done = true;
    });
    while (!done)
        AfxPumpMessages();
    worker.join();
    EXPECT_EQ(result.load(), 42);
    ASSERT_EQ(wnd.onGuiThread.size(), 1u);
    EXPECT_TRUE(wnd.onGuiThread[0]);
}

TEST_F(MessagesTest, WorkerStopsWaitingWhenItsQuitEventIsSet) {
    HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> outcome{-1};
    HWND h = wnd.GetSafeHwnd();
    std::thread worker([&]() {
        LRESULT r = 0;
        outcome = AfxSendMessageFromWorker(h, WM_TEST, 1, 1, quit, &r) ? 1 : 0;
    });
    // The GUI thread does not run its loop; it sets the quit event and joins, as a closing document does.
    SetEvent(quit);
    worker.join();
    EXPECT_EQ(outcome.load(), 0);
    Pump(); // the abandoned message is dropped
    EXPECT_TRUE(wnd.got.empty());
    CloseHandle(quit);
}

class Painter : public CWnd {
public:
    int erases = 0, paints = 0;

protected:
    BOOL OnEraseBkgnd(CDC* dc) {
        ++erases;
        CRect rc;
        GetClientRect(&rc);
        dc->FillSolidRect(&rc, RGB(0, 0, 255));
        return TRUE;
    }
    void OnPaint() {
        ++paints;
        CPaintDC dc(this);
        dc.FillSolidRect(0, 0, 5, 5, RGB(255, 0, 0));
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Painter, CWnd)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(MessagesTest, InvalidatedWindowErasesAndPaintsIntoWhatTheWidgetShows) {
    Painter p;
    ASSERT_TRUE(p.Create(nullptr, "p", WS_OVERLAPPED, CRect(0, 0, 40, 30), nullptr, 0));
    p.Invalidate(TRUE);
    p.UpdateWindow();
    EXPECT_EQ(p.erases, 1);
    EXPECT_EQ(p.paints, 1);
    p.Invalidate(FALSE);
    p.UpdateWindow();
    EXPECT_EQ(p.erases, 1);
    EXPECT_EQ(p.paints, 2);
    const QImage shot = p.GetWidget()->grab().toImage();
    EXPECT_EQ(shot.pixel(2, 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(shot.pixel(20, 20) & 0xFFFFFF, 0x0000FFu);
    p.DestroyWindow();
}

} // namespace

namespace {

TEST(MessagesFromWorkersTest, PostFromAnotherThreadArrivesOnTheGuiThread) {
    EnsureQt();
    Receiver wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "r", WS_OVERLAPPED, CRect(0, 0, 10, 10), nullptr, 0));
    HWND h = wnd.GetSafeHwnd();
    std::thread worker([h]() { EXPECT_TRUE(::PostMessage(h, WM_TEST, 9, 1)); });
    worker.join();
    EXPECT_TRUE(wnd.got.empty());
    Pump();
    ASSERT_EQ(wnd.got.size(), 1u);
    EXPECT_TRUE(wnd.onGuiThread[0]);
    wnd.DestroyWindow();
}

TEST(MenuTest, ItemsAreInsertedDeletedAndReportTheirState) {
    EnsureQt();
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, 10, "Ten");
    popup.AppendMenu(MF_SEPARATOR);
    popup.AppendMenu(MF_STRING | MF_GRAYED | MF_CHECKED, 30, "Thirty");
    popup.InsertMenu(30, MF_BYCOMMAND | MF_STRING, 20, "Twenty");
    ASSERT_EQ(popup.GetMenuItemCount(), 4u);
    EXPECT_EQ(popup.GetMenuItemID(1), 0u); // separator
    EXPECT_EQ(popup.GetMenuItemID(2), 20u);
    EXPECT_EQ(popup.GetMenuState(30, MF_BYCOMMAND), MF_GRAYED | MF_CHECKED);
    EXPECT_EQ(popup.GetQMenu()->actions().size(), 4);
    EXPECT_EQ(popup.GetQMenu()->actions()[2]->text(), QString("Twenty"));
    EXPECT_TRUE(popup.DeleteMenu(10, MF_BYCOMMAND));
    EXPECT_EQ(popup.GetMenuItemID(0), 0u);
    EXPECT_EQ(popup.GetQMenu()->actions().size(), 3);
    EXPECT_FALSE(popup.DeleteMenu(99, MF_BYCOMMAND));
    EXPECT_EQ(popup.GetMenuState(99, MF_BYCOMMAND), static_cast<UINT>(-1));
}

} // namespace
