// The frame of the program's window tests: an application object with the generated recording type, the
// product's main frame, a private settings file, a recorder of message boxes, and helpers to open
// recordings, ask commands' states and wait for the play threads.
#pragma once

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "KivIc/Main/MainFrame.h"
#include "afx_core/temp_dir.h"
#include "tests/kivic_support/GenRecording.h"

class RecordingAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxEnsureQtApp();
        setenv("KIVIC_AFX_PROFILE", m_dir.Path("profile.ini").c_str(), 1);
        m_oldNotifier = SetMessageBoxNotifier([this](HWND, const char* text, const char*, UINT) {
            boxes.emplace_back(text != nullptr ? text : "");
            return IDOK;
        });
        app = NewApp();
        RegisterTemplates();
        main = new CMainFrame;
        ASSERT_TRUE(main->LoadFrame(IDR_MAINFRAME));
        app->m_pMainWnd = main;
        main->ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        delete app;
        Pump();
        SetMessageBoxNotifier(m_oldNotifier);
        unsetenv("KIVIC_AFX_PROFILE");
    }

    // The application object; suites of the file documents take the program's own.
    virtual CWinApp* NewApp() { return new CWinApp("kivic-test"); }
    // The document types; a suite of one file document may register its own alone.
    virtual void RegisterTemplates() { RegisterGenRecordingTemplate(app); }

    // Opens the file as File Open does; the document when it is a Doc, else null.
    template <class Doc> Doc* OpenAs(const std::string& path) {
        CDocument* doc = app->OpenDocumentFile(path.c_str());
        Pump();
        return dynamic_cast<Doc*>(doc);
    }
    // The document's first view when it is a View, and that view's window when it is a Frame.
    template <class View> static View* FirstViewOf(CDocument* doc) {
        POSITION pos = doc->GetFirstViewPosition();
        return dynamic_cast<View*>(pos != nullptr ? doc->GetNextView(pos) : nullptr);
    }
    template <class Frame> static Frame* FrameOfView(CView* view) {
        return dynamic_cast<Frame*>(view != nullptr ? view->GetParentFrame() : nullptr);
    }

    // Opens a generated recording ("begin=0,end=99,rate=100" ...) and lists it in the image-list bar
    // as the program's application does; null when it fails.
    CGenRecordingDoc* Open(const std::string& settings) {
        auto* gen = OpenAs<CGenRecordingDoc>("gen:" + settings);
        if (gen != nullptr)
            main->GetImgListBar()->AddDocument(gen, "Generated");
        return gen;
    }
    static CGenRecordingView* ViewOf(CDocument* doc) { return FirstViewOf<CGenRecordingView>(doc); }
    static CVesloChildFrame* FrameOf(CDocument* doc) { return FrameOfView<CVesloChildFrame>(ViewOf(doc)); }
    CCtrlBar* Bar() const { return main->GetCtrlBar(); }
    CString Field(int id) const {
        CString text;
        Bar()->GetDlgItemText(id, text);
        return text;
    }
    // The command's state as the menus and bars would show it now.
    BOOL IsEnabled(UINT id) const {
        CCmdUI state;
        state.m_nID = id;
        state.DoUpdate(main, TRUE);
        return state.m_bEnabled;
    }
    int CheckOf(UINT id) const {
        CCmdUI state;
        state.m_nID = id;
        state.DoUpdate(main, TRUE);
        return state.m_nCheck;
    }
    // A command as a menu item or a bar button sends it (disabled commands are dropped).
    void Command(UINT id) { main->SendMessage(WM_COMMAND, id, 0); }

    static void Pump() {
        for (int i = 0; i < 3; ++i)
            AfxPumpMessages();
    }
    // Handles the GUI thread's work until done() holds or the time is up.
    static bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            AfxPumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    static void PumpFor(int milliseconds) {
        PumpUntil([] { return false; }, milliseconds);
    }

    CWinApp* app = nullptr;
    CMainFrame* main = nullptr;
    std::vector<std::string> boxes;

private:
    TempDir m_dir;
    MessageBoxNotifier m_oldNotifier;
};
