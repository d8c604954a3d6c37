// Work handed to the GUI thread that fails with a framework exception: the user is told there, the
// exception object is deleted there, and the waiting worker gets its text.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "KivIc/Play/GuiHandOff.h"
#include "play_fakes.h"
#include "platform/afx/core/exceptions.h"
#include "platform/win32/files.h"
#include "platform/win32/sync.h"
#include "platform/win32/system.h"
#include "vomLib/Utility/vomException.h"

namespace {

std::atomic<int> g_deleted{0};

// A failure as a server wrapper throws it: a heap object the catcher must delete.
class CountedException : public CException {
public:
    ~CountedException() override { ++g_deleted; }
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override {
        if (pnHelpContext != nullptr)
            *pnHelpContext = 0;
        std::snprintf(lpszError, nMaxError, "%s", "フレームが読めません。");
        return TRUE;
    }
};

class GuiHandOffTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        g_deleted = 0;
        m_old = SetMessageBoxNotifier([this](HWND, const char* text, const char*, UINT) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_boxes.emplace_back(text != nullptr ? text : "");
            return IDOK;
        });
        quit = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    void TearDown() override {
        CloseHandle(quit);
        SetMessageBoxNotifier(m_old);
    }
    std::vector<std::string> Boxes() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_boxes;
    }

    HANDLE quit = nullptr;

private:
    std::mutex m_mutex;
    std::vector<std::string> m_boxes;
    MessageBoxNotifier m_old;
};

} // namespace

TEST_F(GuiHandOffTest, AFrameworkExceptionIsShownDeletedAndPassedOnAsText) {
    CGuiHandOff handOff;
    std::atomic<bool> finished{false};
    std::string caught;
    std::thread worker([&] {
        try {
            handOff.Call([] { throw new CountedException; }, quit);
            caught = "(nothing thrown)";
        } catch (const vomException& error) {
            caught = error.Message();
        } catch (...) {
            caught = "(another exception)";
        }
        finished = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return finished.load(); }));
    worker.join();
    EXPECT_EQ(caught, "フレームが読めません。");
    EXPECT_EQ(Boxes(), std::vector<std::string>{"フレームが読めません。"});
    EXPECT_EQ(g_deleted.load(), 1);
}

TEST_F(GuiHandOffTest, AFailureAfterTheWorkerStoppedWaitingIsStillDeleted) {
    CGuiHandOff handOff;
    std::atomic<bool> finished{false};
    BOOL result = TRUE;
    HANDLE stop = quit;
    std::thread worker([&] {
        // Quit comes while the work runs: the worker leaves before the work fails.
        result = handOff.Call(
            [stop] {
                SetEvent(stop);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                throw new CountedException;
            },
            quit);
        finished = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return finished.load() && g_deleted.load() == 1; }));
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(GuiHandOffTest, OtherExceptionsReachTheWorkerAsThrown) {
    CGuiHandOff handOff;
    std::atomic<bool> finished{false};
    std::string caught;
    std::thread worker([&] {
        try {
            handOff.Call([] { throw std::runtime_error("cannot load"); }, quit);
        } catch (const std::runtime_error& error) {
            caught = error.what();
        }
        finished = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return finished.load(); }));
    worker.join();
    EXPECT_EQ(caught, "cannot load");
    EXPECT_TRUE(Boxes().empty());
}
