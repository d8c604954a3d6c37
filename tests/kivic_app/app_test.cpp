// The application started with command lines: the options run in command-line order, synchronised
// play and looping are switched on only once, SetRate finds its file however the path names it, and
// relative names mean the folder the program was started in.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "KivIc/Playback/PlaybackIds.h"
#include "kivic_app/app_fixture.h"

namespace {

const char kRecordingA[] = "begin=0\nend=999\nrate=100\n";
const char kRecordingB[] = "begin=0\nend=499\nrate=50\n";

// Answers every modal dialog with OK and notes its caption; the hook it replaced.
AfxModalHook NoteDialogs(std::vector<std::string>& captions) {
    return AfxSetModalHook([&captions](CDialog* dialog) {
        CString caption;
        dialog->GetWindowText(caption);
        captions.push_back(caption.str());
        dialog->EndDialog(IDOK);
    });
}

} // namespace

TEST_F(WqLinkAppTest, FilesOpenInOrderAndAreListedOnce) {
    const std::string a = Recording("a.gen", kRecordingA);
    Recording("b.gen", kRecordingB);
    ASSERT_TRUE(Start({a, "b.gen", a}));
    const std::vector<CGenRecordingDoc*> docs = Documents();
    ASSERT_EQ(docs.size(), 2u) << "the second naming of a.gen brings the open one forward";
    EXPECT_STREQ(docs[0]->GetPathName(), a.c_str());
    EXPECT_STREQ(docs[1]->GetPathName(), (start + "/b.gen").c_str());
    CBarReportList& list = Main()->GetImgListBar()->GetList();
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_STREQ(list.GetItemText(0, 1), "Generated") << "the template's document name";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WqLinkAppTest, RangeBeforeSynchronisedPlayGoesToTheActiveDocument) {
    Recording("a.gen", kRecordingA);
    Recording("b.gen", kRecordingB);
    ASSERT_TRUE(Start({"a.gen", "b.gen", "-SetRange", "10", "200", "-SPlay"}));
    const std::vector<CGenRecordingDoc*> docs = Documents();
    ASSERT_EQ(docs.size(), 2u);
    // SetRange ran before the mode was on: the active (last opened) recording got it.
    EXPECT_EQ(docs[1]->GetPlayBegin(), 10);
    EXPECT_EQ(docs[1]->GetPlayEnd(), 200);
    EXPECT_EQ(docs[0]->GetPlayBegin(), 0);
    EXPECT_EQ(docs[0]->GetPlayEnd(), 999);
    CMainFrame* main = Main();
    EXPECT_TRUE(main->IsSyncMode());
    EXPECT_FALSE(main->IsSyncLoop());
    EXPECT_TRUE(PumpUntil([main] { return main->IsSyncPlaying() != FALSE; }));
    // The axis comes from the record ranges: 0 to 9.99 s at 100 frames per second.
    EXPECT_DOUBLE_EQ(main->GetSyncBeginTime(), 0.0);
    EXPECT_NEAR(main->GetSyncEndTime(), 9.99, 1e-9);
}

TEST_F(WqLinkAppTest, RangeAfterSynchronisedPlayGoesToTheAxis) {
    Recording("a.gen", kRecordingA);
    Recording("b.gen", kRecordingB);
    ASSERT_TRUE(Start({"a.gen", "b.gen", "-SPlay", "-SetRange", "10", "200"}));
    const std::vector<CGenRecordingDoc*> docs = Documents();
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[1]->GetPlayBegin(), 0);
    EXPECT_EQ(docs[1]->GetPlayEnd(), 499);
    EXPECT_NEAR(Main()->GetSyncBeginTime(), 0.1, 1e-9);
    EXPECT_NEAR(Main()->GetSyncEndTime(), 2.0, 1e-9);
}

TEST_F(WqLinkAppTest, ARangePastTheRecordingIsKeptToIt) {
    Recording("a.gen", kRecordingA);
    // Past the recording's end: kept to 0 to 999, and the frame shown moves into the range.
    ASSERT_TRUE(Start({"a.gen", "-SetRange", "-50", "5000", "-SetRange", "300", "400"}));
    ASSERT_EQ(Documents().size(), 1u);
    CGenRecordingDoc* doc = Documents()[0];
    EXPECT_EQ(doc->GetPlayBegin(), 300);
    EXPECT_EQ(doc->GetPlayEnd(), 400);
    EXPECT_EQ(doc->GetCurrentFrame(), 300) << "the frame shown lies outside the play range";
    CString begin, end, frame;
    Main()->GetCtrlBar()->GetDlgItemText(IDC_CTRL_PLAYBEGIN, begin);
    Main()->GetCtrlBar()->GetDlgItemText(IDC_CTRL_FRAME, frame);
    EXPECT_STREQ(begin, "+00300");
    EXPECT_STREQ(frame, "+00300");
    delete app;
    app = nullptr;
    Pump();
    ASSERT_TRUE(Start({"a.gen", "-SetRange", "-50", "5000"}));
    EXPECT_EQ(Documents()[0]->GetPlayBegin(), 0);
    EXPECT_EQ(Documents()[0]->GetPlayEnd(), 999);
    Main()->GetCtrlBar()->GetDlgItemText(IDC_CTRL_PLAYEND, end);
    EXPECT_STREQ(end, "+00999");
    delete app;
    app = nullptr;
    Pump();
    // On the common axis (0 to 9.99 s at 100 frames per second) the same.
    ASSERT_TRUE(Start({"a.gen", "-SPlay", "-SetRange", "-50", "5000"}));
    EXPECT_DOUBLE_EQ(Main()->GetSyncBeginTime(), 0.0);
    EXPECT_NEAR(Main()->GetSyncEndTime(), 9.99, 1e-9);
    Main()->GetCtrlBar()->GetDlgItemText(IDC_CTRL_PLAYEND, end);
    EXPECT_STREQ(end, "+00999");
}

TEST_F(WqLinkAppTest, SynchronisedPlayAndLoopingAreSwitchedOnOnlyOnce) {
    Recording("a.gen", kRecordingA);
    ASSERT_TRUE(Start({"a.gen", "-SLPlay", "-slplay", "-SPlay", "/SLPLAY"}));
    CMainFrame* main = Main();
    EXPECT_TRUE(main->IsSyncMode()) << "a second word must not switch the mode off again";
    EXPECT_TRUE(main->IsSyncLoop());
    EXPECT_TRUE(PumpUntil([main] { return main->IsSyncPlaying() != FALSE; }));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WqLinkAppTest, SetRangeAndSynchronisedPlayWithoutAFileDoNothing) {
    ASSERT_TRUE(Start({"-SetRange", "10", "200", "-SPlay"}));
    EXPECT_TRUE(Documents().empty()) << "no empty document is made";
    EXPECT_FALSE(Main()->IsSyncMode());
    EXPECT_FALSE(Main()->IsSyncPlaying());
    CString end;
    Main()->GetCtrlBar()->GetDlgItemText(IDC_CTRL_PLAYEND, end);
    EXPECT_STRNE(end, CCtrlBar::FormatFrame(200));
}

TEST_F(WqLinkAppTest, SetRateFindsTheFileByItsCanonicalPathWithCase) {
    Recording("a.gen", kRecordingA);
    Recording("b.gen", kRecordingB);
    std::filesystem::create_directories(start + "/sub");
    ASSERT_TRUE(Start({"a.gen", "b.gen", "-SetRate", "250", "sub/../a.gen", "-SetRate", "300", "B.gen"}));
    const std::vector<CGenRecordingDoc*> docs = Documents();
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0]->GetFrameRate(), 250);
    EXPECT_EQ(docs[1]->GetFrameRate(), 50) << "B.gen is another file than b.gen";
}

TEST_F(WqLinkAppTest, AFaultyOptionIsReportedOnceAndTheOthersRun) {
    Recording("a.gen", kRecordingA);
    ASSERT_TRUE(Start({"-SetRate", "0", "a.gen", "a.gen", "-SetRange", "300", "20", "-SetRange", "5", "50"}));
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_EQ(Documents()[0]->GetPlayBegin(), 5);
    EXPECT_EQ(Documents()[0]->GetPlayEnd(), 50);
    EXPECT_EQ(boxes, (std::vector<std::string>{"SetRate 0: Please enter an integer between 1 and 100000.",
                                               "SetRange 300 20: the play range begins after its end."}));
}

TEST_F(WqLinkAppTest, AFileThatDoesNotOpenLeavesTheOthers) {
    Recording("b.gen", kRecordingB);
    ASSERT_TRUE(Start({"missing.gen", "b.gen"}));
    ASSERT_EQ(Documents().size(), 1u);
    EXPECT_STREQ(Documents()[0]->GetPathName(), (start + "/b.gen").c_str());
    EXPECT_EQ(boxes.size(), 1u) << "the failure is reported by the document";
}

// Two windows overlap somewhere unless they are laid side by side.
namespace {
bool Overlap(const QRect& a, const QRect& b) {
    return a.intersects(b);
}
QRect Geometry(CDocument* doc) {
    POSITION pos = doc->GetFirstViewPosition();
    CView* view = doc->GetNextView(pos);
    auto* child = static_cast<CMDIChildWnd*>(view->GetParentFrame());
    return child->GetSubWindow()->geometry();
}
} // namespace

TEST_F(WqLinkAppTest, WtAndWcBothTileTheWindows) {
    Recording("a.gen", kRecordingA);
    Recording("b.gen", kRecordingB);
    Recording("c.gen", kRecordingB);
    ASSERT_TRUE(Start({"a.gen", "b.gen", "c.gen"}));
    std::vector<CGenRecordingDoc*> docs = Documents();
    ASSERT_EQ(docs.size(), 3u);
    EXPECT_TRUE(Overlap(Geometry(docs[0]), Geometry(docs[1])) ||
                Overlap(Geometry(docs[1]), Geometry(docs[2])))
        << "opened windows are cascaded, not tiled";

    for (const char* word : {"-wt", "/wc"}) {
        delete app;
        app = nullptr;
        Pump();
        ASSERT_TRUE(Start({"a.gen", "b.gen", "c.gen", word}));
        docs = Documents();
        ASSERT_EQ(docs.size(), 3u);
        const QRect area = Main()->GetMdiArea()->viewport()->rect();
        for (size_t i = 0; i < docs.size(); ++i) {
            const QRect g = Geometry(docs[i]);
            EXPECT_TRUE(area.contains(g)) << word;
            EXPECT_GT(g.width() * 4, area.width() / 3) << word;
            for (size_t j = i + 1; j < docs.size(); ++j)
                EXPECT_FALSE(Overlap(g, Geometry(docs[j]))) << word << " windows " << i << " and " << j;
        }
    }
}

TEST_F(WqLinkAppTest, AboutNewAndTheSilentCommand) {
    ASSERT_TRUE(Start({}));
    std::vector<std::string> dialogs;
    const AfxModalHook old = NoteDialogs(dialogs);
    Main()->SendMessage(WM_COMMAND, ID_APP_ABOUT);
    EXPECT_EQ(dialogs, (std::vector<std::string>{"About KivIc"}));

    // A new recording document asks for its 2-D setup first.
    dialogs.clear();
    Main()->SendMessage(WM_COMMAND, ID_FILE_NEW);
    Pump();
    AfxSetModalHook(old);
    EXPECT_EQ(dialogs, (std::vector<std::string>{"Setup 2D-parameteres"}));
    // File New makes a document of the first registered type, whatever it is.
    POSITION first = app->GetFirstDocTemplatePosition();
    ASSERT_NE(first, nullptr);
    CDocTemplate* firstType = app->GetNextDocTemplate(first);
    const auto documentsOfFirstType = [firstType] {
        size_t count = 0;
        for (POSITION pos = firstType->GetFirstDocPosition(); pos != nullptr; ++count)
            firstType->GetNextDoc(pos);
        return count;
    };
    EXPECT_EQ(documentsOfFirstType(), 1u);
    // The new window has no file: Reload has nothing to read again and says nothing.
    CMDIChildWnd* fresh = Main()->MDIGetActive();
    ASSERT_NE(fresh, nullptr);
    fresh->SendMessage(WM_COMMAND, ID_IMAGE_RELOAD);
    Pump();
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_EQ(documentsOfFirstType(), 1u);

    EXPECT_TRUE(app->OnCmdMsg(ID_APP_NOTHING, CN_COMMAND, nullptr, nullptr)) << "handled, doing nothing";
    EXPECT_EQ(documentsOfFirstType(), 1u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WqLinkAppTest, TheKeysTheFileMenuNamesRunItsCommands) {
    ASSERT_TRUE(Start({}));
    std::vector<std::string> dialogs;
    const AfxModalHook oldModal = NoteDialogs(dialogs);
    int openDialogs = 0;
    const AfxFileDialogHook oldFile = AfxSetFileDialogHook([&openDialogs](CFileDialog*) -> INT_PTR {
        ++openDialogs;
        return IDCANCEL;
    });
    QWidget* window = Main()->GetWidget();
    window->show();
    window->activateWindow();
    Pump();
    // "&Open...\tCtrl+O" and "&New\tCtrl+N", with the focus in the main window.
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(openDialogs, 1);
    QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(dialogs, (std::vector<std::string>{"Setup 2D-parameteres"}));
    // The new window's menu names the same keys, and they work there too.
    ASSERT_NE(Main()->MDIGetActive(), nullptr);
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(openDialogs, 2);
    AfxSetFileDialogHook(oldFile);
    AfxSetModalHook(oldModal);
    EXPECT_TRUE(boxes.empty());
}
