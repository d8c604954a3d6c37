// Documents and templates: opening by extension, an open file activated instead of opened twice, a
// file that cannot be read, views updated, the recent-file list kept in the settings file.
#include "afx/mdi_fixture.h"

namespace {

class DocA : public CDocument {
    DECLARE_DYNCREATE(DocA)
};
IMPLEMENT_DYNCREATE(DocA, CDocument)
class DocB : public CDocument {
    DECLARE_DYNCREATE(DocB)
};
IMPLEMENT_DYNCREATE(DocB, CDocument)

class CountingView : public CView {
    DECLARE_DYNCREATE(CountingView)
public:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM lHint, CObject*) override { hints.push_back(lHint); }
    std::vector<LPARAM> hints;
};
IMPLEMENT_DYNCREATE(CountingView, CView)

class DocumentsTest : public MdiAppTest {
protected:
    void AddTemplates() override {
        AfxRegisterString(910, "\nAlpha\nAlpha\nAlpha (*.aaa)\n.aaa\n");
        AfxRegisterString(911, "\nBeta\nBeta\nBeta (*.bbb)\n.bbb\n");
        app->AddDocTemplate(new CMultiDocTemplate(910, RUNTIME_CLASS(DocA), RUNTIME_CLASS(CMDIChildWnd),
                                                  RUNTIME_CLASS(CountingView)));
        app->AddDocTemplate(new CMultiDocTemplate(911, RUNTIME_CLASS(DocB), RUNTIME_CLASS(CMDIChildWnd),
                                                  RUNTIME_CLASS(CountingView)));
    }
};

TEST_F(DocumentsTest, TheExtensionChoosesTheTemplate) {
    CDocument* a = app->OpenDocumentFile(MakeFile("one.aaa").c_str());
    CDocument* b = app->OpenDocumentFile(MakeFile("two.BBB").c_str());
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(a->IsKindOf(RUNTIME_CLASS(DocA)));
    EXPECT_TRUE(b->IsKindOf(RUNTIME_CLASS(DocB)));
    EXPECT_STREQ(a->GetTitle(), "one.aaa");
    CString name;
    b->GetDocTemplate()->GetDocString(name, CDocTemplate::docName);
    EXPECT_STREQ(name, "Beta");
}

TEST_F(DocumentsTest, AnOpenFileIsActivatedNotOpenedTwice) {
    const std::string first = MakeFile("first.aaa");
    CDocument* a = app->OpenDocumentFile(first.c_str());
    CDocument* b = app->OpenDocumentFile(MakeFile("second.aaa").c_str());
    EXPECT_EQ(main->MDIGetActive()->GetActiveDocument(), b);
    CDocument* again = app->OpenDocumentFile(first.c_str());
    EXPECT_EQ(again, a);
    EXPECT_EQ(main->MDIGetActive()->GetActiveDocument(), a);
    POSITION pos = app->GetFirstDocTemplatePosition();
    CDocTemplate* t = app->GetNextDocTemplate(pos);
    int count = 0;
    for (POSITION d = t->GetFirstDocPosition(); d != nullptr; t->GetNextDoc(d))
        ++count;
    EXPECT_EQ(count, 2);
}

TEST_F(DocumentsTest, AFileThatCannotBeReadIsReportedAndLeavesNothingOpen) {
    MessageBoxRecorder boxes;
    CDocument* doc = app->OpenDocumentFile(dir.Path("missing.aaa").c_str());
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(main->MDIGetActive(), nullptr);
}

TEST_F(DocumentsTest, AnExtensionNoTemplateListsIsRefusedByName) {
    MessageBoxRecorder boxes;
    const std::string picture = MakeFile("photo.png");
    EXPECT_EQ(app->OpenDocumentFile(picture.c_str()), nullptr);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0],
              "Unable to open document \"" + picture + "\": no document type opens \".png\" files.");
    EXPECT_EQ(main->MDIGetActive(), nullptr);
    EXPECT_EQ(OpenCount(), 0);
    // A dot in a folder's name is no extension; a name without one is left to the first template.
    std::filesystem::create_directories(dir.Path("take.2"));
    CDocument* plain = app->OpenDocumentFile(MakeFile("take.2/README").c_str());
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(plain->IsKindOf(RUNTIME_CLASS(DocA)));
    // Templates may list several extensions.
    AfxRegisterString(912, "\nGamma\nGamma\nGamma (*.g1;*.g2)\n.g1;.G2\n");
    app->AddDocTemplate(new CMultiDocTemplate(912, RUNTIME_CLASS(DocB), RUNTIME_CLASS(CMDIChildWnd),
                                              RUNTIME_CLASS(CountingView)));
    CDocument* second = app->OpenDocumentFile(MakeFile("x.g2").c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetDocTemplate()->GetResourceID(), 912u);
    EXPECT_EQ(boxes.texts.size(), 1u);
}

TEST_F(DocumentsTest, NamesOfOneFileFindTheOpenDocumentNamesThatDifferByCaseDoNot) {
    const std::string lower = MakeFile("run.aaa");
    const std::string upper = MakeFile("Run.aaa");
    std::filesystem::create_directories(dir.Path("sub"));
    std::filesystem::create_symlink(lower, dir.Path("link.aaa"));
    CDocument* a = app->OpenDocumentFile(lower.c_str());
    ASSERT_NE(a, nullptr);
    CDocument* b = app->OpenDocumentFile(upper.c_str());
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(app->OpenDocumentFile(dir.Path("sub/../run.aaa").c_str()), a);
    EXPECT_EQ(main->MDIGetActive()->GetActiveDocument(), a);
    EXPECT_EQ(app->OpenDocumentFile(dir.Path("link.aaa").c_str()), a);
    EXPECT_EQ(app->OpenDocumentFile(dir.Path("./Run.aaa").c_str()), b);
    EXPECT_EQ(OpenCount(), 2);
}

TEST(DocumentsWithoutTemplates, TheFileIsNamed) {
    EnsureQt();
    MessageBoxRecorder boxes;
    CWinApp app("bare");
    EXPECT_EQ(app.OpenDocumentFile("/data/run.aaa"), nullptr);
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"Unable to open document \"/data/run.aaa\"."});
}

TEST_F(DocumentsTest, UpdateAllViewsSkipsTheSenderAndClosingTheFrameClosesTheDocument) {
    CDocument* doc = app->OpenDocumentFile(MakeFile("v.aaa").c_str());
    POSITION pos = doc->GetFirstViewPosition();
    auto* view = static_cast<CountingView*>(doc->GetNextView(pos));
    ASSERT_NE(view, nullptr);
    view->hints.clear();
    doc->UpdateAllViews(nullptr, 7);
    doc->UpdateAllViews(view, 8);
    EXPECT_EQ(view->hints, std::vector<LPARAM>{7});
    view->GetParentFrame()->SendMessage(WM_CLOSE);
    Pump();
    POSITION t = app->GetFirstDocTemplatePosition();
    EXPECT_EQ(app->GetNextDocTemplate(t)->GetFirstDocPosition(), nullptr);
}

TEST_F(DocumentsTest, RecentFilesKeepTenNewestFirstInTheSettingsFile) {
    for (int i = 0; i < 12; ++i) {
        CString name;
        name.Format("/data/f%02d.aaa", i);
        app->AddToRecentFileList(name);
    }
    app->AddToRecentFileList("/data/f05.aaa"); // listed already: moves to the top
    ASSERT_EQ(app->m_pRecentFileList->GetCount(), 10);
    EXPECT_STREQ((*app->m_pRecentFileList)[0], "/data/f05.aaa");
    EXPECT_STREQ((*app->m_pRecentFileList)[1], "/data/f11.aaa");
    app->ExitInstance();
    CRecentFileList reread(0, "Recent File List", "File%d", 10);
    reread.ReadList();
    ASSERT_EQ(reread.GetCount(), 10);
    EXPECT_STREQ(reread[0], "/data/f05.aaa");
    EXPECT_STREQ(reread[9], "/data/f02.aaa");
}

class ScrollingView : public CScrollView {
public:
    void OnDraw(CDC*) override {}
};

TEST(ScrollViewTest, BarsAppearWhenTheTotalExceedsTheClient) {
    EnsureQt();
    auto* view = new ScrollingView;
    ASSERT_TRUE(view->Create(nullptr, "s", WS_OVERLAPPED, CRect(0, 0, 200, 100), nullptr, 0));
    view->SetScrollSizes(MM_TEXT, CSize(150, 80));
    CRect rc;
    view->GetClientRect(&rc);
    EXPECT_EQ(rc, CRect(0, 0, 200, 100));
    view->SetScrollSizes(MM_TEXT, CSize(500, 80));
    view->GetClientRect(&rc);
    EXPECT_EQ(rc, CRect(0, 0, 200, 84)); // the horizontal bar took its height
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    view->GetScrollInfo(SB_HORZ, &si);
    EXPECT_EQ(si.nMax, 499);
    EXPECT_EQ(si.nPage, 200u);
    view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), 0);
    EXPECT_EQ(view->GetScrollPos(SB_HORZ), 50); // a tenth of the total
    view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    EXPECT_EQ(view->GetScrollPos(SB_HORZ), 300);
    view->DestroyWindow(); // deletes the view
}

} // namespace
