// The program as a user starts it on files of every kind it opens: a raw camera recording, an AVI
// movie and a numbered BMP sequence named on the command line, with the real servers registered. It
// checks that each opens in its own kind of window with a picture, opens the raw window's Image menu
// (screenshot while it is open), chooses +12dB from it and sees the picture brighten, plays the
// recording and closes the program. A recording whose frames cannot all be read, played together with
// -SPlay and -SLPlay, shows its failure once, stops and lets the program close. Run under Xvfb when
// there is one (else off screen).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "KivIc/App/WqLinkApp.h"
#include "KivIc/Documents/AviDoc.h"
#include "KivIc/Documents/BmpDoc.h"
#include "KivIc/Documents/KivDoc.h"
#include "KivIc/Main/MainFrame.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "afx_core/temp_dir.h"
#include "platform/com/objects.h"
#include "platform/win32/command_line.h"
#include "tests/support/program_probe.h"
#include "tools/cm8gen/cm8_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

// Mean of all colour channels of the document's display bitmap.
double MeanLevel(CVesloDoc* doc) {
    HBITMAP bitmap = doc->GetFrameBitmap();
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) != static_cast<int>(sizeof info))
        return -1.0;
    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> pixels(4 * static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = GetDC(nullptr);
    const int lines =
        GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (lines != info.bmHeight)
        return -1.0;
    double sum = 0.0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
    return sum / (3.0 * info.bmWidth * info.bmHeight);
}

// The action of a menu (or of its submenus) whose text is the given one.
QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (action->menu() != nullptr) {
            if (QAction* found = FindAction(action->menu(), text))
                return found;
        }
    }
    return nullptr;
}

class Probe : public ProgramProbe {
public:
    using ProgramProbe::ProgramProbe;

    std::vector<std::string> kinds;
    double levelBefore = -1.0;
    double levelAfter = -1.0;
    long playedFrom = 0;
    long playedTo = 0;

private:
    void Collect() {
        m_kiv = nullptr;
        m_avi = nullptr;
        m_bmp = nullptr;
        kinds.clear();
        POSITION pos = m_app.GetFirstDocTemplatePosition();
        while (pos != nullptr) {
            CDocTemplate* docTemplate = m_app.GetNextDocTemplate(pos);
            for (POSITION d = docTemplate->GetFirstDocPosition(); d != nullptr;) {
                CDocument* doc = docTemplate->GetNextDoc(d);
                kinds.push_back(doc->GetRuntimeClass()->m_lpszClassName);
                if (doc->IsKindOf(RUNTIME_CLASS(CKivDoc)))
                    m_kiv = static_cast<CKivDoc*>(doc);
                else if (doc->IsKindOf(RUNTIME_CLASS(CBmpDoc)))
                    m_bmp = static_cast<CBmpDoc*>(doc);
                else if (doc->IsKindOf(RUNTIME_CLASS(CAviDoc)))
                    m_avi = static_cast<CAviDoc*>(doc);
            }
        }
    }

    static CFrameWnd* FrameOf(CDocument* doc) {
        POSITION pos = doc->GetFirstViewPosition();
        CView* view = pos != nullptr ? doc->GetNextView(pos) : nullptr;
        return view != nullptr ? view->GetParentFrame() : nullptr;
    }

    void Tick() override {
        CMainFrame* main = m_app.GetMainFrame();
        switch (m_phase) {
        case 0: { // the three files open, each with a picture
            Collect();
            const bool all = main != nullptr && m_kiv != nullptr && m_avi != nullptr && m_bmp != nullptr;
            if (!all && Elapsed() < 15.0)
                return;
            if (!all) {
                Fail("the program did not open the recording, the movie and the sequence within 15 s");
                return Close(main);
            }
            for (CVesloDoc* doc : {static_cast<CVesloDoc*>(m_kiv), static_cast<CVesloDoc*>(m_avi),
                                   static_cast<CVesloDoc*>(m_bmp)}) {
                if (doc->GetFrameBitmap() == nullptr)
                    Fail(std::string(doc->GetRuntimeClass()->m_lpszClassName) + " shows no picture");
            }
            main->MDIActivate(FrameOf(m_kiv));
            m_phase = 1;
            return;
        }
        case 1: { // the raw window's Image menu, open
            levelBefore = MeanLevel(m_kiv);
            auto* window = qobject_cast<QMainWindow*>(main->GetWidget());
            for (QAction* action : window->menuBar()->actions()) {
                if (action->text() == "&Image")
                    m_imageMenu = action->menu();
            }
            if (m_imageMenu == nullptr) {
                Fail("the raw camera window's menu has no Image popup");
                return Close(main);
            }
            const QRect place = window->menuBar()->actionGeometry(m_imageMenu->menuAction());
            m_imageMenu->popup(window->menuBar()->mapToGlobal(place.bottomLeft()));
            m_phase = 2;
            m_wait = 6;
            return;
        }
        case 2: { // screenshot with the menu open, then +12dB from it
            if (--m_wait > 0)
                return;
            KeepScreenshot(main->GetWidget(),
                           "kivic_recordings_" + QGuiApplication::platformName().toStdString() + ".png");
            m_imageMenu->hide();
            QAction* gain = FindAction(m_imageMenu, "+&12dB");
            if (gain == nullptr || !gain->isEnabled()) {
                Fail("the Image menu offers no enabled +12dB");
                return Close(main);
            }
            gain->trigger();
            m_phase = 3;
            m_wait = 4;
            return;
        }
        case 3: { // brighter; then play
            if (--m_wait > 0)
                return;
            levelAfter = MeanLevel(m_kiv);
            // Each popup brings its check marks up to date as it opens.
            m_gainMenu = FindAction(m_imageMenu, "&Gain") != nullptr
                             ? FindAction(m_imageMenu, "&Gain")->menu()
                             : nullptr;
            if (m_gainMenu == nullptr) {
                Fail("the Image menu has no Gain popup");
                return Close(main);
            }
            m_gainMenu->popup(m_imageMenu->pos());
            m_phase = 31;
            m_wait = 4;
            return;
        }
        case 31: {
            if (--m_wait > 0)
                return;
            QAction* gain = FindAction(m_gainMenu, "+&12dB");
            QAction* none = FindAction(m_gainMenu, "+&0dB");
            if (gain == nullptr || !gain->isChecked() || none == nullptr || none->isChecked())
                Fail("the check mark of the Gain menu did not move to +12dB");
            m_gainMenu->hide();
            playedFrom = m_kiv->GetCurrentFrame();
            FrameOf(m_kiv)->SendMessage(WM_COMMAND, ID_PLAY_PLAY);
            m_playStart = Clock::now();
            m_phase = 4;
            return;
        }
        case 4: // plays for a second, then the program closes while it plays
            if (std::chrono::duration<double>(Clock::now() - m_playStart).count() < 1.0)
                return;
            playedTo = m_kiv->GetCurrentFrame();
            return Close(main);
        default:
            return;
        }
    }

    Clock::time_point m_playStart{};
    int m_phase = 0;
    int m_wait = 0;
    CKivDoc* m_kiv = nullptr;
    CAviDoc* m_avi = nullptr;
    CBmpDoc* m_bmp = nullptr;
    QMenu* m_imageMenu = nullptr;
    QMenu* m_gainMenu = nullptr;
};

// Watches synchronised playback of a recording that cannot read its frames: it must stop by itself.
class DamagedProbe : public ProgramProbe {
public:
    DamagedProbe(CWqLinkApp& app, std::string shotName)
        : ProgramProbe(app), m_shotName(std::move(shotName)) {}

    bool played = false;
    bool stopped = false;

private:
    void Tick() override {
        CMainFrame* main = m_app.GetMainFrame();
        if (main == nullptr)
            return;
        played = played || main->IsSyncPlaying();
        if (!played && Elapsed() < 15.0)
            return;
        if (main->IsSyncPlaying() && Elapsed() < 15.0)
            return;
        // Stopped (or still playing after 15 s): a little longer, so a playback that goes on shows.
        if (m_stoppedAt < 0.0)
            m_stoppedAt = Elapsed();
        if (Elapsed() < m_stoppedAt + 1.0)
            return;
        stopped = !main->IsSyncPlaying();
        KeepScreenshot(main->GetWidget(), m_shotName);
        Close(main);
    }

    std::string m_shotName;
    double m_stoppedAt = -1.0;
};

// A 24-bit BMP of 37 x 21 in one colour with a white square whose place moves with n.
void WriteBmp(const std::string& path, int n) {
    const int width = 37, height = 21, stride = (width * 3 + 3) & ~3;
    std::string file(54 + static_cast<size_t>(stride) * height, '\0');
    BITMAPFILEHEADER fh{MAKEWORD('B', 'M'), static_cast<DWORD>(file.size()), 0, 0, 54};
    BITMAPINFOHEADER ih{40, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(file.data(), &fh, sizeof fh);
    std::memcpy(file.data() + 14, &ih, sizeof ih);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            char* p = file.data() + 54 + static_cast<size_t>(y) * stride + 3 * x;
            const bool square = x >= 3 * n && x < 3 * n + 6 && y >= 8 && y < 14;
            p[0] = square ? '\xFF' : '\xC0';
            p[1] = square ? '\xFF' : '\x60';
            p[2] = square ? '\xFF' : '\x20';
        }
    }
    TempDir::WriteAll(path, file);
}

// The program's settings in the test's folder, and the real servers registered.
bool SetUpProgram(const TempDir& dir, std::string* error) {
    setenv("KIVIC_INI", dir.Path("KivIc.ini").c_str(), 1);
    setenv("KIVIC_AFX_PROFILE", dir.Path("profile.ini").c_str(), 1);
    setenv("KIVIC_REGISTRY", dir.Path("test.reg").c_str(), 1);
    setenv("KIVIC_BREMFC_PARAM", dir.Path("absent.zop").c_str(), 1);
    return ComRegisterModule(BREM_FC_MODULE_PATH, false, error) == S_OK &&
           ComRegisterModule(OVISK_MODULE_PATH, false, error) == S_OK;
}

} // namespace

TEST(KivIcRecordingProgram, OpensEveryKindTunesFromTheImageMenuAndPlays) {
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed (it makes the AVI movie)";
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SetUpProgram(dir, &error)) << error;

    cm8::Recording rec;
    rec.width = 160;
    rec.height = 120;
    rec.frames = 200;
    rec.begin = -20;
    rec.rate = 500;
    const std::string raw = dir.Path("shot.cm8");
    ASSERT_TRUE(cm8::WriteRecording(raw, rec, error)) << error;
    const std::string movie = dir.Path("movie.avi");
    ASSERT_EQ(std::system(("ffmpeg -loglevel error -y -f lavfi -i testsrc=size=120x90:rate=25 -frames:v 10 "
                           "-c:v rawvideo -pix_fmt bgr24 '" +
                           movie + "'")
                              .c_str()),
              0);
    std::filesystem::create_directories(dir.Path("seq"));
    for (int n = 0; n < 5; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "run%08d.bmp", n);
        WriteBmp(dir.Path("seq/") + name, n);
    }
    std::filesystem::current_path(dir.Path("seq"));

    std::vector<std::string> boxes;
    SetMessageBoxNotifier([&boxes](HWND, const char* text, const char*, UINT) {
        boxes.emplace_back(text != nullptr ? text : "");
        return IDOK;
    });
    SetCommandLineArgs({"KivIc", raw, movie, dir.Path("seq/run00000002.bmp")});

    AfxEnsureQtApp();
    CWqLinkApp app;
    Probe probe(app);
    QTimer::singleShot(0, [&probe] { probe.Start(50); });
    app.Run();

    for (const std::string& failure : probe.failures)
        ADD_FAILURE() << failure;
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_EQ(probe.kinds.size(), 3u);
    EXPECT_GT(probe.levelBefore, 0.0);
    EXPECT_GT(probe.levelAfter, probe.levelBefore + 5.0) << "+12dB did not brighten the picture";
    EXPECT_GT(probe.playedTo, probe.playedFrom) << "the recording did not play";
    std::printf("REPORT mean level %.1f -> %.1f after +12dB; played frames %ld -> %ld; screenshot %s\n",
                probe.levelBefore, probe.levelAfter, probe.playedFrom, probe.playedTo, probe.shot.c_str());
    SetMessageBoxNotifier({});
    unsetenv("KIVIC_REGISTRY");
    unsetenv("KIVIC_BREMFC_PARAM");
}

TEST(KivIcRecordingProgram, ARecordingThatCannotBeReadStopsSynchronisedPlaybackWithOneMessage) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SetUpProgram(dir, &error)) << error;

    // The header counts a million frames; the file holds three.
    cm8::Recording rec;
    rec.width = 160;
    rec.height = 120;
    rec.frames = 3;
    rec.numFrames = 1000000;
    rec.rate = 100;
    const std::string raw = dir.Path("cut.cm8");
    ASSERT_TRUE(cm8::WriteRecording(raw, rec, error)) << error;
    // Not the folder a test before left behind, which may be gone.
    std::filesystem::current_path(std::filesystem::path(raw).parent_path());

    AfxEnsureQtApp();
    for (const char* option : {"-SPlay", "-SLPlay"}) {
        SCOPED_TRACE(option);
        std::vector<std::string> boxes;
        SetMessageBoxNotifier([&boxes](HWND, const char* text, const char*, UINT) {
            boxes.emplace_back(text != nullptr ? text : "");
            return IDOK;
        });
        SetCommandLineArgs({"KivIc", raw, option});
        {
            CWqLinkApp app;
            DamagedProbe probe(app, std::string("kivic_damaged") + option + "_" +
                                        QGuiApplication::platformName().toStdString() + ".png");
            QTimer::singleShot(0, [&probe] { probe.Start(50); });
            app.Run();
            for (const std::string& failure : probe.failures)
                ADD_FAILURE() << failure;
            EXPECT_TRUE(probe.played) << "synchronised playback did not start";
            EXPECT_TRUE(probe.stopped) << "synchronised playback went on past the frames it cannot read";
            std::printf("REPORT %s: %zu message(s); screenshot %s\n", option, boxes.size(),
                        probe.shot.c_str());
        }
        ASSERT_EQ(boxes.size(), 1u) << (boxes.empty() ? "" : boxes.front() + " / " + boxes.back());
        EXPECT_EQ(boxes[0].rfind("Can't read frame 3", 0), 0u) << boxes[0];
        SetMessageBoxNotifier({});
    }
    unsetenv("KIVIC_REGISTRY");
    unsetenv("KIVIC_BREMFC_PARAM");
}
