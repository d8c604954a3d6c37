// An application with an MDI main frame, one document template and a settings file in a temporary
// folder: the base of the tests that open, close and list documents.
#pragma once

#include <cstdlib>
#include <string>

#include "afx/afx_test_app.h"
#include "afx_core/temp_dir.h"

class PlainDoc : public CDocument {
    DECLARE_DYNCREATE(PlainDoc)
};

class PlainView : public CView {
    DECLARE_DYNCREATE(PlainView)
public:
    void OnDraw(CDC*) override {}
};

class MdiAppTest : public ::testing::Test {
protected:
    static constexpr UINT kDocRes = 960;
    static constexpr UINT kMainRes = 961;

    // The child frame class of the template; the default is the framework's own.
    virtual CRuntimeClass* ChildClass() const { return RUNTIME_CLASS(CMDIChildWnd); }
    // The application object (a derived one may add command handlers).
    virtual CWinApp* MakeApp() { return new CWinApp("mdi"); }
    // One template of plain documents (".pln") unless a test needs others.
    virtual void AddTemplates() {
        AfxRegisterString(kDocRes, "\nPlain\nPlain\nPlain (*.pln)\n.pln\n");
        app->AddDocTemplate(
            new CMultiDocTemplate(kDocRes, RUNTIME_CLASS(PlainDoc), ChildClass(), RUNTIME_CLASS(PlainView)));
    }

    void SetUp() override {
        EnsureQt();
        setenv("KIVIC_AFX_PROFILE", dir.Path("profile.ini").c_str(), 1);
        app = MakeApp();
        app->LoadStdProfileSettings(10);
        AddTemplates();
        main = new CMDIFrameWnd;
        ASSERT_TRUE(main->LoadFrame(kMainRes));
        app->m_pMainWnd = main;
    }
    void TearDown() override {
        delete app;
        Pump();
        unsetenv("KIVIC_AFX_PROFILE");
    }
    std::string MakeFile(const std::string& name) {
        const std::string path = dir.Path(name);
        TempDir::WriteAll(path, "x");
        return path;
    }
    CDocTemplate* Template() const {
        POSITION pos = app->GetFirstDocTemplatePosition();
        return app->GetNextDocTemplate(pos);
    }
    int OpenCount() const {
        int count = 0;
        CDocTemplate* t = Template();
        for (POSITION pos = t->GetFirstDocPosition(); pos != nullptr; t->GetNextDoc(pos))
            ++count;
        return count;
    }
    static CFrameWnd* FrameOf(CDocument* doc) {
        POSITION pos = doc->GetFirstViewPosition();
        CView* view = pos != nullptr ? doc->GetNextView(pos) : nullptr;
        return view != nullptr ? view->GetParentFrame() : nullptr;
    }

    TempDir dir;
    CWinApp* app = nullptr;
    CMDIFrameWnd* main = nullptr;
};
