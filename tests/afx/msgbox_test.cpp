// The Qt message box behind MessageBoxA: buttons, icon, default and escape buttons of each box type,
// the answer of the button clicked, no box from a worker thread; and the C numeric locale forced
// once the Qt application exists; a window that stays on top owns the box, which opens above it.
#include <clocale>
#include <cstring>
#include <thread>

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "afx/afx_test_app.h"

namespace {

struct SeenBox {
    std::string text, caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    std::vector<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QWidget* parent = nullptr;
    bool onTop = false;
};

// Waits for the modal box, records it, then lets `answer` act on it.
SeenBox ShowAndAnswer(UINT type, const std::function<void(QMessageBox*)>& answer, int* result) {
    SeenBox seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        poll.stop();
        seen.text = box->text().toStdString();
        seen.caption = box->windowTitle().toStdString();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons.push_back(box->standardButton(b));
        seen.defaultButton = box->standardButton(box->defaultButton());
        seen.parent = box->parentWidget();
        seen.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        answer(box);
    });
    poll.start(5);
    *result = MessageBoxA(nullptr, "ファイルを開けません", "KivIc", type);
    return seen;
}

class QtMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        previous = AfxInstallQtMessageBoxNotifier();
    }
    void TearDown() override { SetMessageBoxNotifier(previous); }
    MessageBoxNotifier previous;
};

TEST_F(QtMessageBoxTest, TheClickedButtonIsTheAnswer) {
    int result = 0;
    const SeenBox seen = ShowAndAnswer(
        MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2,
        [](QMessageBox* box) { box->button(QMessageBox::No)->click(); }, &result);
    EXPECT_EQ(result, IDNO);
    EXPECT_EQ(seen.text, "ファイルを開けません");
    EXPECT_EQ(seen.caption, "KivIc");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons.size(), 3u);
    EXPECT_EQ(seen.defaultButton, QMessageBox::No);

    const SeenBox retry = ShowAndAnswer(
        MB_ABORTRETRYIGNORE | MB_ICONHAND,
        [](QMessageBox* box) { box->button(QMessageBox::Ignore)->click(); }, &result);
    EXPECT_EQ(result, IDIGNORE);
    EXPECT_EQ(retry.icon, QMessageBox::Critical);
    EXPECT_EQ(retry.defaultButton, QMessageBox::Abort);
}

TEST_F(QtMessageBoxTest, ClosingTheBoxAnswersCancelTheOnlyButtonOrNo) {
    int result = 0;
    ShowAndAnswer(
        MB_OKCANCEL | MB_ICONEXCLAMATION, [](QMessageBox* box) { box->close(); }, &result);
    EXPECT_EQ(result, IDCANCEL);
    const SeenBox ok = ShowAndAnswer(
        MB_OK, [](QMessageBox* box) { box->close(); }, &result);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(ok.icon, QMessageBox::NoIcon);
    // Closing a yes/no box is taken as no.
    ShowAndAnswer(
        MB_YESNO, [](QMessageBox* box) { box->close(); }, &result);
    EXPECT_EQ(result, IDNO);
}

// A progress window that stays on top would cover the box: the box is owned by it and stays on top too;
// once it has gone the box has its usual owner again.
TEST_F(QtMessageBoxTest, AWindowThatStaysOnTopOwnsTheBox) {
    int result = 0;
    auto close = [](QMessageBox* box) { box->close(); };
    {
        QWidget progress(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
        progress.show();
        const SeenBox seen = ShowAndAnswer(MB_OK, close, &result);
        EXPECT_EQ(seen.parent, &progress);
        EXPECT_TRUE(seen.onTop);
    }
    const SeenBox later = ShowAndAnswer(MB_OK, close, &result);
    EXPECT_EQ(later.parent, QApplication::activeWindow());
    EXPECT_FALSE(later.onTop);
}

TEST_F(QtMessageBoxTest, AWorkerThreadGetsTheFirstButtonWithoutABox) {
    int result = 0;
    std::thread worker([&]() { result = MessageBoxA(nullptr, "from a worker", "KivIc", MB_RETRYCANCEL); });
    worker.join();
    EXPECT_EQ(result, IDRETRY);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

class LocaleApp : public CWinApp {
public:
    BOOL InitInstance() override {
        seen = std::setlocale(LC_NUMERIC, nullptr);
        return FALSE;
    }
    std::string seen;
};

TEST(NumericLocaleTest, RunForcesTheCNumericLocaleBeforeInitInstance) {
    EnsureQt();
    ASSERT_NE(std::setlocale(LC_NUMERIC, "C.UTF-8"), nullptr);
    LocaleApp app;
    app.Run();
    EXPECT_EQ(app.seen, "C");
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", 1.5);
    EXPECT_STREQ(text, "1.50");
}

} // namespace
