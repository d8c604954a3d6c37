// The program's application object started in the test process: a private ini and settings file, a
// start folder with generated recordings as files, the generated recording type registered through the
// application's template hook, and the arguments set as the process's own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "KivIc/App/WqLinkApp.h"
#include "KivIc/Main/MainFrame.h"
#include "afx/afx_test_app.h"
#include "afx_core/temp_dir.h"
#include "kivic_app/open_recordings.h"
#include "kivic_play/play_fakes.h"
#include "platform/win32/command_line.h"
#include "tests/kivic_support/GenRecording.h"

class WqLinkAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxEnsureQtApp();
        m_savedArgs = GetCommandLineArgs();
        m_savedFolder = std::filesystem::current_path();
        start = dir.Path("start");
        std::filesystem::create_directories(start);
        std::filesystem::current_path(start);
        ini = dir.Path("KivIc.ini");
        setenv("KIVIC_INI", ini.c_str(), 1);
        setenv("KIVIC_AFX_PROFILE", dir.Path("profile.ini").c_str(), 1);
    }
    void TearDown() override {
        delete app;
        app = nullptr;
        Pump();
        SetCommandLineArgs(m_savedArgs);
        std::filesystem::current_path(m_savedFolder);
        unsetenv("KIVIC_INI");
        unsetenv("KIVIC_AFX_PROFILE");
    }

    // A generated recording as a file in the start folder ("begin=0\nend=99\nrate=100").
    std::string Recording(const std::string& name, const std::string& settings) {
        const std::string path = start + "/" + name;
        TempDir::WriteAll(path, settings);
        return path;
    }
    // InitInstance with these arguments after the program name; the main frame afterwards.
    BOOL Start(const std::vector<std::string>& args) {
        std::vector<std::string> all{"/opt/kivic/KivIc"};
        all.insert(all.end(), args.begin(), args.end());
        SetCommandLineArgs(all);
        app = new CWqLinkApp;
        app->SetExtraTemplates([](CWinApp& a) { RegisterGenRecordingTemplate(&a); });
        const BOOL started = app->InitInstance();
        Pump();
        return started;
    }
    CMainFrame* Main() const { return app != nullptr ? app->GetMainFrame() : nullptr; }
    // The open recordings in the order they were opened.
    std::vector<CGenRecordingDoc*> Documents() const { return OpenRecordings(*app); }
    std::string IniText() const { return TempDir::ReadAll(ini); }

    TempDir dir;
    std::string start;
    std::string ini;
    CWqLinkApp* app = nullptr;
    MessageBoxRecorder recorder;
    std::vector<std::string>& boxes = recorder.texts;

private:
    std::vector<std::string> m_savedArgs;
    std::filesystem::path m_savedFolder;
};
