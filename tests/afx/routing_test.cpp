// Command routing through views, documents, child frames, the application and the main frame, the
// update-UI rules (enable, check, disabled commands dropped), renumbered ids and dialog-bar buttons.
#include <string>

#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QMdiSubWindow>

#include "afx/afx_test_app.h"

namespace {

std::vector<std::string> g_log;

constexpr UINT kAll = 40001;       // handled by every object on the route
constexpr UINT kNoView = 40002;    // not by the view
constexpr UINT kNoDoc = 40003;     // not by the view nor the document
constexpr UINT kAppMain = 40004;   // only by the application and the main frame
constexpr UINT kMainOnly = 40005;  // only by the main frame
constexpr UINT kDisabled = 40006;  // handled by the view, but its update handler disables it
constexpr UINT kChecked = 40007;   // handled by the view, update handler checks it
constexpr UINT kUnhandled = 40008; // nobody
constexpr UINT kRenumbered = 40009;

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)
protected:
    void OnAll() { g_log.push_back("doc"); }
    void OnNoView() { g_log.push_back("doc"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestDoc, CDocument)
BEGIN_MESSAGE_MAP(TestDoc, CDocument)
ON_COMMAND(kAll, OnAll)
ON_COMMAND(kNoView, OnNoView)
END_MESSAGE_MAP()

class TestView : public CView {
    DECLARE_DYNCREATE(TestView)
public:
    void OnDraw(CDC*) override {}
    static bool s_checked;

protected:
    void OnAll() { g_log.push_back("view"); }
    void OnDisabled() { g_log.push_back("view-disabled-ran"); }
    void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnChecked() { g_log.push_back("view-checked"); }
    void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(s_checked ? 1 : 0); }
    void OnRenumbered() { g_log.push_back("renumbered"); }
    DECLARE_MESSAGE_MAP()
};
bool TestView::s_checked = true;
IMPLEMENT_DYNCREATE(TestView, CView)
BEGIN_MESSAGE_MAP(TestView, CView)
ON_COMMAND(kAll, OnAll)
ON_COMMAND(kDisabled, OnDisabled)
ON_UPDATE_COMMAND_UI(kDisabled, OnUpdateDisabled)
ON_COMMAND(kChecked, OnChecked)
ON_UPDATE_COMMAND_UI(kChecked, OnUpdateChecked)
ON_COMMAND(kRenumbered, OnRenumbered)
END_MESSAGE_MAP()

class TestChild : public CMDIChildWnd {
    DECLARE_DYNCREATE(TestChild)
public:
    static std::vector<std::string> s_activations;

protected:
    void OnAll() { g_log.push_back("child"); }
    void OnMDIActivate(BOOL bActivate, CWnd* pActivate, CWnd* pDeactivate) {
        CMDIChildWnd::OnMDIActivate(bActivate, pActivate, pDeactivate);
        CString title;
        GetWindowText(title);
        s_activations.push_back(std::string(bActivate ? "+" : "-") + title.GetString());
    }
    DECLARE_MESSAGE_MAP()
};
std::vector<std::string> TestChild::s_activations;
IMPLEMENT_DYNCREATE(TestChild, CMDIChildWnd)
BEGIN_MESSAGE_MAP(TestChild, CMDIChildWnd)
ON_COMMAND(kAll, OnAll)
ON_COMMAND(kNoView, OnAll)
ON_COMMAND(kNoDoc, OnAll)
ON_WM_MDIACTIVATE()
END_MESSAGE_MAP()

class TestMain : public CMDIFrameWnd {
    DECLARE_DYNCREATE(TestMain)
protected:
    void OnAny() { g_log.push_back("main"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestMain, CMDIFrameWnd)
BEGIN_MESSAGE_MAP(TestMain, CMDIFrameWnd)
ON_COMMAND(kAll, OnAny)
ON_COMMAND(kNoView, OnAny)
ON_COMMAND(kNoDoc, OnAny)
ON_COMMAND(kAppMain, OnAny)
ON_COMMAND(kMainOnly, OnAny)
END_MESSAGE_MAP()

class TestApp : public CWinApp {
protected:
    void OnAny() { g_log.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(kAll, OnAny)
ON_COMMAND(kNoView, OnAny)
ON_COMMAND(kNoDoc, OnAny)
ON_COMMAND(kAppMain, OnAny)
END_MESSAGE_MAP()

constexpr UINT kDocRes = 900;
constexpr UINT kMainRes = 901;
constexpr UINT kBarRes = 902;

class RoutingTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        g_log.clear();
        TestChild::s_activations.clear();
        AfxRegisterString(kDocRes, "\nTest\nTest\nTest Files (*.tst)\n.tst\n");
        AfxRegisterMenu(kDocRes, {{"&Edit",
                                   0,
                                   {{"All", kAll},
                                    {"Checked", kChecked},
                                    {"Unhandled", kUnhandled},
                                    {"Disabled", kDisabled},
                                    {"Renumber", kAll}}}});
        AfxRegisterMenu(kMainRes, {{"&File", 0, {{"Main", kMainOnly}}}});
        AfxRegisterDialog(kBarRes,
                          {"",
                           200,
                           20,
                           "",
                           8,
                           {{AfxControl::PushButton, static_cast<int>(kAll), "All", 0, 0, 30, 14},
                            {AfxControl::PushButton, static_cast<int>(kUnhandled), "None", 40, 0, 30, 14},
                            {AfxControl::Edit, 1017, "", 80, 0, 30, 14}}});
        app = new TestApp;
        app->AddDocTemplate(new CMultiDocTemplate(kDocRes, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestChild),
                                                  RUNTIME_CLASS(TestView)));
        main = new TestMain;
        ASSERT_TRUE(main->LoadFrame(kMainRes));
        app->m_pMainWnd = main;
        main->ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        delete app; // closes the documents and the main frame
        Pump();
    }

    CDocument* Open(const char* title) {
        CDocTemplate* t = nullptr;
        POSITION pos = app->GetFirstDocTemplatePosition();
        t = app->GetNextDocTemplate(pos);
        CDocument* doc = t->OpenDocumentFile(nullptr);
        doc->SetTitle(title);
        return doc;
    }
    std::vector<std::string> Route(UINT id) {
        g_log.clear();
        main->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
        return g_log;
    }

    TestApp* app = nullptr;
    TestMain* main = nullptr;
};

using Log = std::vector<std::string>;

TEST_F(RoutingTest, CommandsTakeTheRouteViewDocumentChildApplicationMainFrame) {
    Open("A");
    EXPECT_EQ(Route(kAll), Log{"view"});
    EXPECT_EQ(Route(kNoView), Log{"doc"});
    EXPECT_EQ(Route(kNoDoc), Log{"child"});
    EXPECT_EQ(Route(kAppMain), Log{"app"});
    EXPECT_EQ(Route(kMainOnly), Log{"main"});
    EXPECT_EQ(Route(kUnhandled), Log{});
}

TEST_F(RoutingTest, TheMenuBarShowsTheActiveChildsMenuOrTheFramesOwn) {
    auto* window = qobject_cast<QMainWindow*>(main->GetWidget());
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->menuBar()->actions().size(), 1);
    EXPECT_EQ(window->menuBar()->actions()[0]->text(), QString("&File"));
    Open("A");
    ASSERT_EQ(window->menuBar()->actions().size(), 1);
    EXPECT_EQ(window->menuBar()->actions()[0]->text(), QString("&Edit"));
    main->MDIGetActive()->SendMessage(WM_CLOSE);
    Pump();
    EXPECT_EQ(window->menuBar()->actions()[0]->text(), QString("&File"));
}

TEST_F(RoutingTest, WithoutChildTheApplicationComesBeforeTheMainFrame) {
    EXPECT_EQ(Route(kAll), Log{"app"});
    EXPECT_EQ(Route(kMainOnly), Log{"main"});
}

TEST_F(RoutingTest, DisabledCommandIsDroppedEvenWhenSentProgrammatically) {
    Open("A");
    EXPECT_EQ(Route(kDisabled), Log{});
    // Sent straight to the child frame it is dropped as well.
    CMDIChildWnd* child = main->MDIGetActive();
    ASSERT_NE(child, nullptr);
    g_log.clear();
    child->SendMessage(WM_COMMAND, MAKEWPARAM(kDisabled, 0), 0);
    EXPECT_EQ(g_log, Log{});
    EXPECT_EQ(Route(kChecked), Log{"view-checked"});
}

TEST_F(RoutingTest, MenuPopupUpdatesEnableAndCheck) {
    Open("A");
    CMenu* bar = main->GetMenu();
    ASSERT_NE(bar, nullptr);
    CMenu* popup = bar->GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    TestView::s_checked = true;
    main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup->m_hMenu), 0);
    EXPECT_TRUE(popup->IsItemEnabled(0));  // All
    EXPECT_TRUE(popup->IsItemChecked(1));  // Checked
    EXPECT_FALSE(popup->IsItemEnabled(2)); // Unhandled: nobody handles it
    EXPECT_FALSE(popup->IsItemEnabled(3)); // Disabled by its update handler
    TestView::s_checked = false;
    main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup->m_hMenu), 0);
    EXPECT_FALSE(popup->IsItemChecked(1));
    // The Qt menu shows the same states.
    const auto actions = popup->GetQMenu()->actions();
    ASSERT_GE(actions.size(), 4);
    EXPECT_FALSE(actions[2]->isEnabled());
    EXPECT_TRUE(actions[0]->isEnabled());
}

TEST_F(RoutingTest, RenumberedMenuItemSendsItsNewId) {
    Open("A");
    CMenu* popup = main->GetMenu()->GetSubMenu(0);
    ASSERT_EQ(popup->GetMenuItemID(4), kAll);
    ASSERT_TRUE(popup->ModifyMenu(4, MF_BYPOSITION | MF_STRING, kRenumbered, "Renumbered"));
    EXPECT_EQ(popup->GetMenuItemID(4), kRenumbered);
    g_log.clear();
    popup->GetQMenu()->actions()[4]->trigger();
    EXPECT_EQ(g_log, Log{"renumbered"});
    CString text;
    popup->GetMenuString(4, text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Renumbered");
}

TEST_F(RoutingTest, DialogBarButtonsFollowUpdateUiAndRouteToTheActiveView) {
    Open("A");
    CDialogBar bar;
    ASSERT_TRUE(bar.Create(main, kBarRes, CBRS_BOTTOM, kBarRes));
    app->OnIdle(0);
    auto* all = static_cast<CButton*>(bar.GetDlgItem(static_cast<int>(kAll)));
    auto* none = static_cast<CButton*>(bar.GetDlgItem(static_cast<int>(kUnhandled)));
    CWnd* field = bar.GetDlgItem(1017);
    ASSERT_TRUE(all && none && field);
    EXPECT_TRUE(all->IsWindowEnabled());
    EXPECT_FALSE(none->IsWindowEnabled()); // no handler anywhere
    EXPECT_TRUE(field->IsWindowEnabled()); // fields are not disabled for want of a handler
    g_log.clear();
    all->Click();
    EXPECT_EQ(g_log, Log{"view"});
    // Renumbered at run time, the button sends its new id.
    all->SetDlgCtrlID(static_cast<int>(kRenumbered));
    app->OnIdle(0);
    g_log.clear();
    all->Click();
    EXPECT_EQ(g_log, Log{"renumbered"});
    bar.DestroyWindow();
}

TEST_F(RoutingTest, ActivationChangesOnlyWithTheActiveChild) {
    Open("A");
    Open("B");
    EXPECT_EQ(TestChild::s_activations, (Log{"+Test1", "-A", "+Test2"}));
    CMDIChildWnd* b = main->MDIGetActive();
    TestChild::s_activations.clear();
    // The whole window losing the focus (here to a dialog) is reported by the area as "no active child".
    QDialog dialog(main->GetWidget());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    emit static_cast<CMDIFrameWnd*>(main)->GetMdiArea()->subWindowActivated(nullptr);
    Pump();
    EXPECT_EQ(TestChild::s_activations, Log{});
    EXPECT_EQ(main->MDIGetActive(), b);
    dialog.hide();
    // Closing the active child activates the remaining one.
    b->SendMessage(WM_CLOSE);
    Pump();
    EXPECT_EQ(TestChild::s_activations, (Log{"-B", "+A"}));
    ASSERT_NE(main->MDIGetActive(), nullptr);
    EXPECT_STREQ(main->MDIGetActive()->GetActiveDocument()->GetTitle(), "A");
}

TEST_F(RoutingTest, AChildOpenedWhileTheFrameIsDisabledShowsActiveOnceItTakesInputAgain) {
    Open("A");
    QMdiArea* area = static_cast<CMDIFrameWnd*>(main)->GetMdiArea();
    ASSERT_NE(area->activeSubWindow(), nullptr);
    // As while a conversion runs: the frame is disabled when its result opens.
    main->EnableWindow(FALSE);
    Open("B");
    CMDIChildWnd* b = main->MDIGetActive();
    main->EnableWindow(TRUE);
    Pump();
    EXPECT_STREQ(b->GetActiveDocument()->GetTitle(), "B");
    EXPECT_EQ(area->activeSubWindow(), b->GetSubWindow()) << "the area still shows A as the active child";
}

} // namespace
