// Icons and prompts: window icons from registered resources, toolbar faces from command icons or a
// strip, bitmap buttons of dialog bars showing their command's icon, tool tips and fly-by help from
// the command prompts (also for renumbered buttons and menu items).
#include <QEnterEvent>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>

#include "afx/mdi_fixture.h"

namespace {

QPixmap Filled(int side, QRgb color) {
    QPixmap pixmap(side, side);
    pixmap.fill(QColor::fromRgb(color));
    return pixmap;
}

QRgb Centre(const QIcon& icon, int side) {
    const QImage image = icon.pixmap(side, side).toImage();
    return image.pixel(image.width() / 2, image.height() / 2) & 0xFFFFFFu;
}

void Enter(QWidget* widget) {
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(widget, &event);
}

void Leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &event);
}

TEST(WindowIconTest, BigAndSmallIconsFromRegisteredResources) {
    EnsureQt();
    CWinApp app("icons");
    AfxRegisterIcon(980, QIcon(Filled(32, 0xFF0000)));
    AfxRegisterIcon(981, QIcon(Filled(16, 0x00FF00)));
    AfxRegisterBitmap(982, Filled(24, 0x0000FF).toImage());
    AfxRegisterStandardIcon(983, QStyle::SP_MediaPlay);
    EXPECT_EQ(app.LoadIcon(989), nullptr);
    ASSERT_NE(app.LoadIcon(980), nullptr);
    EXPECT_EQ(app.LoadIcon(980), app.LoadIcon(980));
    EXPECT_FALSE(AfxFindIcon(983).isNull());
    EXPECT_EQ(Centre(AfxIconFromHandle(app.LoadIcon(982)), 24), 0x0000FFu);

    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->LoadFrame(980)); // the frame's resource id brings its icon
    EXPECT_EQ(Centre(frame->GetWidget()->windowIcon(), 32), 0xFF0000u);
    EXPECT_EQ(frame->SetIcon(app.LoadIcon(981), FALSE), nullptr);
    EXPECT_EQ(frame->GetIcon(TRUE), app.LoadIcon(980));
    EXPECT_EQ(frame->GetIcon(FALSE), app.LoadIcon(981));
    const QIcon shown = frame->GetWidget()->windowIcon();
    EXPECT_EQ(Centre(shown, 32), 0xFF0000u);
    EXPECT_EQ(Centre(shown, 16), 0x00FF00u);
    frame->DestroyWindow();
}

class ChildIconTest : public MdiAppTest {};

TEST_F(ChildIconTest, ChildFramesShowTheirTemplatesIcon) {
    AfxRegisterIcon(kDocRes, QIcon(Filled(16, 0xFFFF00)));
    CDocument* doc = app->OpenDocumentFile(MakeFile("icon.pln").c_str());
    ASSERT_NE(doc, nullptr);
    auto* child = static_cast<CMDIChildWnd*>(FrameOf(doc));
    EXPECT_EQ(Centre(child->GetWidget()->windowIcon(), 16), 0xFFFF00u);
    EXPECT_EQ(Centre(child->GetSubWindow()->windowIcon(), 16), 0xFFFF00u);
}

constexpr UINT kPlay = 42001, kStep = 42002, kLoop = 42003, kSyncPlay = 42004, kBare = 42005;
constexpr UINT kToolRes = 984, kBareToolRes = 985, kBarRes = 986, kMenuRes = 987;

class PromptFrame : public CFrameWnd {
protected:
    void OnAny(UINT) {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(PromptFrame, CFrameWnd)
ON_COMMAND_RANGE(kPlay, kBare, OnAny)
END_MESSAGE_MAP()

class PromptsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        AfxRegisterString(kPlay, "Plays the recording forward\nPlay");
        AfxRegisterString(kSyncPlay, "Plays all recordings together\nSynchronised play");
        AfxRegisterString(kStep, "Steps one frame"); // no tip
        AfxRegisterMenu(kMenuRes, {{"&Play", 0, {{"&Play", kPlay}, {"&Loop", kLoop}}}});
        frame = new PromptFrame;
        ASSERT_TRUE(frame->LoadFrame(kMenuRes));
        ASSERT_TRUE(status.Create(frame));
        const UINT panes[] = {ID_SEPARATOR};
        ASSERT_TRUE(status.SetIndicators(panes, 1));
    }
    void TearDown() override {
        status.DestroyWindow();
        frame->DestroyWindow();
    }
    CString Pane() const { return status.GetPaneText(0); }
    PromptFrame* frame = nullptr;
    CStatusBar status;
};

TEST_F(PromptsTest, ToolbarFacesComeFromCommandIconsOrTheStripNeverFromText) {
    AfxRegisterToolBar(kToolRes, {{kPlay, "Play"}, {kStep, "Step"}, {0, ""}, {kLoop, "Loop"}});
    QImage strip(48, 16, QImage::Format_RGB32);
    strip.fill(Qt::blue);
    for (int x = 16; x < 32; ++x)
        for (int y = 0; y < 16; ++y)
            strip.setPixel(x, y, qRgb(0, 255, 0));
    for (int x = 32; x < 48; ++x)
        for (int y = 0; y < 16; ++y)
            strip.setPixel(x, y, qRgb(255, 255, 0));
    AfxRegisterBitmap(kToolRes, strip);
    AfxRegisterIcon(kPlay, QIcon(Filled(16, 0xFF0000))); // the command's own icon wins over the strip
    CToolBar bar;
    ASSERT_TRUE(bar.CreateEx(frame));
    ASSERT_TRUE(bar.LoadToolBar(kToolRes));
    auto* qbar = static_cast<QToolBar*>(bar.GetWidget());
    const auto actions = qbar->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(Centre(actions[0]->icon(), 16), 0xFF0000u);
    EXPECT_EQ(Centre(actions[1]->icon(), 16), 0x00FF00u);
    EXPECT_EQ(Centre(actions[3]->icon(), 16), 0xFFFF00u);
    EXPECT_EQ(qbar->toolButtonStyle(), Qt::ToolButtonIconOnly);
    // Tips: the text after the line feed of the prompt, else the button's own text.
    EXPECT_EQ(actions[0]->toolTip().toStdString(), "Play");
    EXPECT_EQ(actions[1]->toolTip().toStdString(), "Step");

    CToolBar bare; // no icon, no strip: the text stands in
    AfxRegisterToolBar(kBareToolRes, {{kBare, "Bare"}});
    ASSERT_TRUE(
        bare.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 0, 0), 0xE811));
    ASSERT_TRUE(bare.LoadToolBar(kBareToolRes));
    EXPECT_TRUE(static_cast<QToolBar*>(bare.GetWidget())->actions()[0]->icon().isNull());
    bare.DestroyWindow();
    bar.DestroyWindow();
}

TEST_F(PromptsTest, PointingAtAButtonOrMenuItemShowsItsStatusTextAndLeavingShowsReady) {
    AfxRegisterToolBar(kToolRes, {{kPlay, "Play"}, {kStep, "Step"}, {0, ""}, {kLoop, "Loop"}});
    CToolBar bar;
    ASSERT_TRUE(bar.CreateEx(frame));
    ASSERT_TRUE(bar.LoadToolBar(kToolRes));
    auto* qbar = static_cast<QToolBar*>(bar.GetWidget());
    QWidget* play = qbar->widgetForAction(qbar->actions()[0]);
    ASSERT_NE(play, nullptr);
    Enter(play);
    EXPECT_STREQ(Pane(), "Plays the recording forward");
    Leave(play);
    EXPECT_STREQ(Pane(), "Ready");
    // Renumbered, the button prompts for its new command.
    bar.SetButtonInfo(0, kSyncPlay, TBBS_BUTTON, 0);
    EXPECT_EQ(qbar->actions()[0]->toolTip().toStdString(), "Synchronised play");
    Enter(play);
    EXPECT_STREQ(Pane(), "Plays all recordings together");
    Leave(play);

    // A registered idle text replaces "Ready".
    AfxRegisterString(AFX_IDS_IDLEMESSAGE, "For help, press F1");
    CMenu* popup = frame->GetMenu()->GetSubMenu(0);
    emit popup->GetQMenu()->hovered(popup->GetQMenu()->actions()[0]);
    EXPECT_STREQ(Pane(), "Plays the recording forward");
    emit popup->GetQMenu()->aboutToHide();
    EXPECT_STREQ(Pane(), "For help, press F1");
    AfxRegisterString(AFX_IDS_IDLEMESSAGE, "Ready");
    bar.DestroyWindow();
}

TEST_F(PromptsTest, DialogBarBitmapButtonsShowTheirCommandsIconAndPrompt) {
    AFX_DLG_TEMPLATE dialog;
    dialog.cx = 120;
    dialog.cy = 20;
    dialog.items.emplace_back(AfxControl::BitmapButton, static_cast<int>(kPlay), CString(">"), 2, 2, 16, 14);
    dialog.items.emplace_back(AfxControl::BitmapButton, static_cast<int>(kBare), CString("Bare"), 20, 2, 24,
                              14);
    AfxRegisterDialog(kBarRes, dialog);
    AfxRegisterIcon(kPlay, QIcon(Filled(32, 0xFF0000)));
    CDialogBar bar;
    ASSERT_TRUE(bar.Create(frame, kBarRes, CBRS_BOTTOM, kBarRes));
    auto* play = qobject_cast<QPushButton*>(bar.GetDlgItem(static_cast<int>(kPlay))->GetWidget());
    auto* plain = qobject_cast<QPushButton*>(bar.GetDlgItem(static_cast<int>(kBare))->GetWidget());
    ASSERT_TRUE(play && plain);
    EXPECT_TRUE(play->text().isEmpty());
    EXPECT_EQ(play->toolTip().toStdString(), ">");
    const QImage face = play->grab().toImage();
    EXPECT_EQ(face.pixel(face.width() / 2, face.height() / 2) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(plain->text().toStdString(), "Bare"); // no icon: the text stays

    Enter(play);
    EXPECT_STREQ(Pane(), "Plays the recording forward");
    EXPECT_EQ(play->toolTip().toStdString(), "Play");
    Leave(play);
    bar.GetDlgItem(static_cast<int>(kPlay))->SetDlgCtrlID(static_cast<int>(kSyncPlay));
    Enter(play);
    EXPECT_STREQ(Pane(), "Plays all recordings together");
    EXPECT_EQ(play->toolTip().toStdString(), "Synchronised play");
    Leave(play);
    EXPECT_STREQ(Pane(), "Ready");
    bar.DestroyWindow();
}

} // namespace
