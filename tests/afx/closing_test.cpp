// Closing a child window by its own close box: the frame hears WM_CLOSE, may refuse, and otherwise
// closes its document, which leaves its template's list; the active child is never a closed one. A
// document that may not close keeps its window, and the whole program, open.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "afx/mdi_fixture.h"

namespace {

// A child frame that refuses to close while its flag is set.
class GuardedChild : public CMDIChildWnd {
    DECLARE_DYNCREATE(GuardedChild)
public:
    static bool s_refuse;
    static int s_closeRequests;

protected:
    void OnClose() {
        ++s_closeRequests;
        if (!s_refuse)
            CMDIChildWnd::OnClose();
    }
    DECLARE_MESSAGE_MAP()
};
bool GuardedChild::s_refuse = false;
int GuardedChild::s_closeRequests = 0;
IMPLEMENT_DYNCREATE(GuardedChild, CMDIChildWnd)
BEGIN_MESSAGE_MAP(GuardedChild, CMDIChildWnd)
ON_WM_CLOSE()
END_MESSAGE_MAP()

// A document that may not close while its flag is set.
class KeptDoc : public CDocument {
    DECLARE_DYNCREATE(KeptDoc)
public:
    static bool s_busy;
    static int s_asked;
    BOOL SaveModified() override {
        ++s_asked;
        return s_busy ? FALSE : TRUE;
    }
};
bool KeptDoc::s_busy = false;
int KeptDoc::s_asked = 0;
IMPLEMENT_DYNCREATE(KeptDoc, CDocument)

class ClosingTest : public MdiAppTest {
protected:
    CRuntimeClass* ChildClass() const override { return RUNTIME_CLASS(GuardedChild); }
    void SetUp() override {
        GuardedChild::s_refuse = false;
        GuardedChild::s_closeRequests = 0;
        MdiAppTest::SetUp();
    }
    static QMdiSubWindow* SubOf(CDocument* doc) {
        CFrameWnd* frame = FrameOf(doc);
        return frame != nullptr ? static_cast<CMDIChildWnd*>(frame)->GetSubWindow() : nullptr;
    }
};

TEST_F(ClosingTest, TheCloseBoxClosesTheDocumentAndTheNextChildBecomesActive) {
    CDocument* first = app->OpenDocumentFile(MakeFile("first.pln").c_str());
    CDocument* second = app->OpenDocumentFile(MakeFile("second.pln").c_str());
    ASSERT_TRUE(first && second);
    ASSERT_EQ(main->MDIGetActive()->GetActiveDocument(), second);
    QMdiSubWindow* sub = SubOf(second);
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(sub->close()); // the frame closes itself; Qt is told not to
    Pump();
    EXPECT_EQ(GuardedChild::s_closeRequests, 1);
    EXPECT_EQ(OpenCount(), 1);
    CMDIChildWnd* active = main->MDIGetActive();
    ASSERT_NE(active, nullptr);
    EXPECT_NE(active->GetSafeHwnd(), nullptr);
    EXPECT_EQ(active->GetActiveDocument(), first);

    SubOf(first)->close();
    Pump();
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_EQ(main->MDIGetActive(), nullptr);
    EXPECT_TRUE(main->GetMdiArea()->subWindowList().isEmpty());
}

// Ctrl+F4 closes the active child as its close box does, wherever the focus is in the frame: in the
// child's own picture or outside every child.
TEST_F(ClosingTest, CtrlF4ClosesTheActiveChildWhereverTheFocusIs) {
    main->ShowWindow(SW_SHOW);
    CDocument* first = app->OpenDocumentFile(MakeFile("first.pln").c_str());
    CDocument* second = app->OpenDocumentFile(MakeFile("second.pln").c_str());
    ASSERT_TRUE(first && second);
    main->GetWidget()->activateWindow();
    Pump();
    CWnd* view = FrameOf(second)->GetActiveView();
    ASSERT_NE(view, nullptr);
    view->GetWidget()->setFocusPolicy(Qt::StrongFocus);
    view->GetWidget()->setFocus();
    QTest::keyClick(view->GetWidget(), Qt::Key_F4, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(GuardedChild::s_closeRequests, 1);
    ASSERT_EQ(OpenCount(), 1);
    ASSERT_NE(main->MDIGetActive(), nullptr);
    EXPECT_EQ(main->MDIGetActive()->GetActiveDocument(), first);

    main->GetWidget()->setFocus();
    QTest::keyClick(main->GetWidget(), Qt::Key_F4, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(GuardedChild::s_closeRequests, 2);
    EXPECT_EQ(OpenCount(), 0);
}

TEST_F(ClosingTest, AFrameThatRefusesStaysWithItsDocument) {
    CDocument* doc = app->OpenDocumentFile(MakeFile("kept.pln").c_str());
    ASSERT_NE(doc, nullptr);
    CFrameWnd* frame = FrameOf(doc);
    GuardedChild::s_refuse = true;
    EXPECT_FALSE(SubOf(doc)->close());
    Pump();
    EXPECT_EQ(GuardedChild::s_closeRequests, 1);
    EXPECT_EQ(OpenCount(), 1);
    EXPECT_EQ(main->MDIGetActive(), frame);
    ASSERT_NE(SubOf(doc), nullptr);
    EXPECT_FALSE(SubOf(doc)->isHidden());
    EXPECT_FALSE(frame->GetWidget()->isHidden());

    GuardedChild::s_refuse = false; // the same box now closes it
    SubOf(doc)->close();
    Pump();
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_EQ(main->MDIGetActive(), nullptr);
}

TEST_F(ClosingTest, TheMdiAreaClosingAllChildrenAsksEachFrame) {
    app->OpenDocumentFile(MakeFile("a.pln").c_str());
    app->OpenDocumentFile(MakeFile("b.pln").c_str());
    main->GetMdiArea()->closeAllSubWindows();
    Pump();
    EXPECT_EQ(GuardedChild::s_closeRequests, 2);
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_EQ(main->MDIGetActive(), nullptr);
}

class ClosingBusyTest : public ClosingTest {
protected:
    void AddTemplates() override {
        AfxRegisterString(kDocRes, "\nKept\nKept\nKept (*.pln)\n.pln\n");
        app->AddDocTemplate(new CMultiDocTemplate(kDocRes, RUNTIME_CLASS(KeptDoc),
                                                  RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(PlainView)));
    }
    void SetUp() override {
        KeptDoc::s_busy = false;
        KeptDoc::s_asked = 0;
        ClosingTest::SetUp();
    }
    void TearDown() override {
        KeptDoc::s_busy = false;
        ClosingTest::TearDown();
    }
};

TEST_F(ClosingBusyTest, ADocumentThatMayNotCloseKeepsItsWindowAndTheProgramOpen) {
    main->ShowWindow(SW_SHOW);
    CDocument* first = app->OpenDocumentFile(MakeFile("first.pln").c_str());
    CDocument* second = app->OpenDocumentFile(MakeFile("second.pln").c_str());
    ASSERT_TRUE(first && second);
    KeptDoc::s_busy = true;
    EXPECT_FALSE(SubOf(second)->close());
    Pump();
    EXPECT_EQ(OpenCount(), 2);
    ASSERT_NE(SubOf(second), nullptr);
    EXPECT_FALSE(SubOf(second)->isHidden());

    KeptDoc::s_asked = 0;
    main->SendMessage(WM_CLOSE);
    Pump();
    EXPECT_EQ(KeptDoc::s_asked, 1) << "the first refusal ends the asking";
    EXPECT_EQ(OpenCount(), 2);
    EXPECT_EQ(app->m_pMainWnd, main);
    EXPECT_NE(main->GetSafeHwnd(), nullptr);
    EXPECT_FALSE(main->GetWidget()->isHidden());
    EXPECT_EQ(main->MDIGetActive()->GetActiveDocument(), second);
}

} // namespace
