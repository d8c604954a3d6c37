// The recent-file list in the File menu: the placeholder replaced by numbered entries newest first,
// an entry opening its file, a file that no longer opens leaving the list, the list in the profile,
// and the Open dialog's filter made from the templates.
#include <cstdio>

#include <QAction>
#include <QMenu>

#include "afx/mdi_fixture.h"

namespace {

class RecentFilesTest : public MdiAppTest {
protected:
    void SetUp() override {
        AfxRegisterMenu(kMainRes, {{"&File",
                                    0,
                                    {{"&Open...", ID_FILE_OPEN},
                                     {"", 0},
                                     {"Recent File", ID_FILE_MRU_FILE1},
                                     {"", 0},
                                     {"E&xit", ID_APP_EXIT}}}});
        MdiAppTest::SetUp();
    }
    CMenu* FileMenu() const { return main->GetMenu()->GetSubMenu(0); }
    // Opens the File menu as the user would and returns its texts.
    std::vector<std::string> ShownTexts() {
        emit FileMenu()->GetQMenu()->aboutToShow();
        std::vector<std::string> texts;
        for (QAction* action : FileMenu()->GetQMenu()->actions())
            texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        return texts;
    }
    QAction* ActionAt(int pos) const { return FileMenu()->GetQMenu()->actions()[pos]; }
};

TEST_F(RecentFilesTest, ThePlaceholderShowsTheListNewestFirstAndIsDisabledWhenEmpty) {
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"&Open...", "-", "Recent File", "-", "E&xit"}));
    EXPECT_FALSE(ActionAt(2)->isEnabled());

    const std::string a = MakeFile("a.pln"), b = MakeFile("b&c.pln"), c = MakeFile("c.pln");
    for (const std::string& path : {a, b, c})
        ASSERT_NE(app->OpenDocumentFile(path.c_str()), nullptr);
    const std::vector<std::string> three{"&Open...", "-", "&1 " + c, "&2 " + dir.Path("b&&c.pln"),
                                         "&3 " + a,  "-", "E&xit"};
    EXPECT_EQ(ShownTexts(), three);
    EXPECT_TRUE(ActionAt(2)->isEnabled());
    EXPECT_TRUE(ActionAt(4)->isEnabled());
    EXPECT_EQ(FileMenu()->GetMenuItemID(3), static_cast<UINT>(ID_FILE_MRU_FILE2));
    EXPECT_EQ(ShownTexts(), three); // opened again: the entries are not added twice

    app->CloseAllDocuments(FALSE);
    ASSERT_NE(app->OpenDocumentFile(a.c_str()), nullptr); // reopened: back at the top
    EXPECT_EQ(ShownTexts()[2], "&1 " + a);
    EXPECT_EQ(ShownTexts()[4], "&3 " + dir.Path("b&&c.pln"));
}

TEST_F(RecentFilesTest, AnEntryOpensItsFileAndAFileThatFailsLeavesTheList) {
    const std::string a = MakeFile("a.pln"), b = MakeFile("b.pln");
    app->OpenDocumentFile(a.c_str());
    app->OpenDocumentFile(b.c_str());
    app->CloseAllDocuments(FALSE);
    ShownTexts();
    ActionAt(3)->trigger(); // "&2 a.pln"
    Pump();
    ASSERT_NE(main->MDIGetActive(), nullptr);
    EXPECT_STREQ(main->MDIGetActive()->GetActiveDocument()->GetPathName(), a.c_str());
    EXPECT_EQ(ShownTexts()[2], "&1 " + a);

    app->CloseAllDocuments(FALSE);
    std::remove(b.c_str());
    MessageBoxRecorder boxes;
    ActionAt(3)->trigger(); // "&2 b.pln", gone from the disk
    Pump();
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"&Open...", "-", "&1 " + a, "-", "E&xit"}));
    CRecentFileList kept(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 10);
    kept.ReadList();
    ASSERT_EQ(kept.GetCount(), 1);
    EXPECT_STREQ(kept[0], a.c_str());

    // The last entry going brings the placeholder back.
    std::remove(a.c_str());
    ActionAt(2)->trigger();
    Pump();
    EXPECT_EQ(ShownTexts()[2], "Recent File");
    EXPECT_FALSE(ActionAt(2)->isEnabled());
}

TEST_F(RecentFilesTest, TenEntriesNumberedAndKeptInTheProfileAsTheyChange) {
    for (int i = 0; i < 11; ++i) {
        CString name;
        name.Format("/data/f%02d.pln", i);
        app->AddToRecentFileList(name);
    }
    const std::vector<std::string> texts = ShownTexts();
    ASSERT_EQ(texts.size(), 14u); // Open, separator, ten entries, separator, Exit
    EXPECT_EQ(texts[2], "&1 /data/f10.pln");
    EXPECT_EQ(texts[11], "1&0 /data/f01.pln");
    EXPECT_EQ(FileMenu()->GetMenuItemID(11), static_cast<UINT>(ID_FILE_MRU_FILE10));
    // Written at once, not only at exit.
    CRecentFileList kept(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 10);
    kept.ReadList();
    ASSERT_EQ(kept.GetCount(), 10);
    EXPECT_STREQ(kept[0], "/data/f10.pln");
    // Names that differ by case are other files: each keeps its own entry.
    app->AddToRecentFileList("/data/F09.pln");
    EXPECT_EQ(ShownTexts()[2], "&1 /data/F09.pln");
    EXPECT_EQ(ShownTexts()[3], "&2 /data/f10.pln");
    EXPECT_EQ(ShownTexts()[4], "&3 /data/f09.pln");
}

TEST_F(RecentFilesTest, TheOpenFilterListsEachTemplateThenAllFiles) {
    AfxRegisterString(963, "\nTwo\nTwo\nTwo kinds (*.ta;*.tb)\n.ta;.tb\n");
    app->AddDocTemplate(new CMultiDocTemplate(963, RUNTIME_CLASS(PlainDoc), RUNTIME_CLASS(CMDIChildWnd),
                                              RUNTIME_CLASS(PlainView)));
    EXPECT_STREQ(app->GetOpenFilter(),
                 "Plain (*.pln)|*.pln|Two kinds (*.ta;*.tb)|*.ta;*.tb|All Files (*.*)|*.*||");
}

} // namespace
