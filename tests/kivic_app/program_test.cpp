// The program as a user starts it: the product's application and main frame with the generated
// recording type, two recordings and "-SetRange 10 200 -SPlay" on the command line, the whole
// start-up, event loop and exit. Run under Xvfb when there is one (else off screen). It checks the
// main window and its bars, reads the shown frame numbers from the views' pixels while synchronised
// playback runs and reports the rate against the set speed, keeps a screenshot, closes the program
// while it plays and checks that the root folder was written.
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "KivIc/App/WqLinkApp.h"
#include "KivIc/Main/MainFrame.h"
#include "afx/afx_test_app.h"
#include "afx_core/temp_dir.h"
#include "kivic_app/open_recordings.h"
#include "platform/win32/command_line.h"
#include "tests/kivic_support/GenRecording.h"
#include "tests/support/program_probe.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// The frame a view shows: the picture's most frequent colour among the frame colours.
long FrameShown(CView* view) {
    const QImage image = view->GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); y += 2) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); x += 2) {
            if (qRed(row[x]) >= 0x7F && qRed(row[x]) <= 0x81)
                ++counts[row[x] & 0xFFFFFF];
        }
    }
    QRgb best = 0;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            most = count;
            best = colour;
        }
    }
    return most < 16 ? LONG_MIN : GenFrameFromColour(qRed(best), qGreen(best), qBlue(best));
}

CView* ViewOf(CDocument* doc) {
    POSITION pos = doc->GetFirstViewPosition();
    return pos != nullptr ? doc->GetNextView(pos) : nullptr;
}

struct Sample {
    double seconds;
    long frame[2];
};

// Watches the running program from its own event loop.
class Probe : public ProgramProbe {
public:
    using ProgramProbe::ProgramProbe;

    std::vector<std::string> notes;
    std::vector<Sample> samples;
    int speed = 0;
    Clock::time_point closePosted{};

private:
    void Tick() override {
        CMainFrame* main = m_app.GetMainFrame();
        const double now = Elapsed();
        if (m_phase == 0) {
            if (main == nullptr || m_docs.size() < 2) {
                m_docs = OpenRecordings(m_app);
            }
            const bool ready = main != nullptr && m_docs.size() == 2 && main->IsSyncPlaying();
            if (!ready && now < 10.0)
                return;
            if (!ready) {
                Fail("the program did not open both recordings and play within 10 s");
                Close(main);
                return;
            }
            CheckWindow(main);
            speed = main->GetCtrlBar()->GetPlaySpeed();
            m_sampleStart = Clock::now();
            m_phase = 1;
        }
        if (m_phase == 1) {
            Sample sample{Seconds(m_sampleStart, Clock::now()),
                          {FrameShown(ViewOf(m_docs[0])), FrameShown(ViewOf(m_docs[1]))}};
            samples.push_back(sample);
            // The slower recording holds its play-range begin (frame 10, 0.2 s) for the first 20 steps.
            if (sample.seconds < 5.0)
                return;
            KeepScreenshot(main->GetWidget(),
                           "kivic_program_" + QGuiApplication::platformName().toStdString() + ".png");
            Close(main);
        }
    }

    void CheckWindow(CMainFrame* main) {
        auto* window = qobject_cast<QMainWindow*>(main->GetWidget());
        if (window == nullptr) {
            Fail("the main frame is no main window");
            return;
        }
        if (!window->isMaximized())
            Fail("the main window is not maximised");
        const QIcon programIcon = AfxFindIcon(IDR_MAINFRAME);
        if (programIcon.isNull() ||
            window->windowIcon().pixmap(32).toImage() != programIcon.pixmap(32).toImage())
            Fail("the main window does not show the program's icon");
        if (window->menuBar() == nullptr || window->menuBar()->actions().isEmpty())
            Fail("the main window has no menus");
        const std::pair<const char*, CWnd*> bars[] = {
            {"toolbar", main->GetToolBar()},           {"status bar", main->GetStatusBar()},
            {"control bar", main->GetCtrlBar()},       {"image-list bar", main->GetImgListBar()},
            {"point-position bar", main->GetPosBar()},
        };
        for (const auto& [name, bar] : bars) {
            if (bar->GetSafeHwnd() == nullptr || !bar->IsWindowVisible())
                Fail(std::string("the ") + name + " is not shown");
        }
        if (main->GetImgListBar()->GetItemCount() != 2)
            Fail("the image-list bar does not list both recordings");
        const QRect screen = window->screen()->availableGeometry();
        if (window->frameGeometry().width() < screen.width() ||
            window->frameGeometry().height() < screen.height())
            Fail("the maximised main window does not fill the screen");
        notes.push_back("main window " + std::to_string(window->width()) + "x" +
                        std::to_string(window->height()) + " on a screen of " +
                        std::to_string(screen.width()) + "x" + std::to_string(screen.height()));
    }

    void Close(CMainFrame* main) {
        closePosted = Clock::now();
        ProgramProbe::Close(main);
    }

    Clock::time_point m_sampleStart{};
    int m_phase = 0;
    std::vector<CGenRecordingDoc*> m_docs;
};

// Frames per second of one view, between the first and the last change of the frame it showed (the
// moments of change, not of sampling, so the 20 ms sampling adds no bias).
double MeasuredRate(const std::vector<Sample>& samples, int index) {
    const Sample* first = nullptr;
    const Sample* last = nullptr;
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i].frame[index] == samples[i - 1].frame[index])
            continue;
        if (first == nullptr)
            first = &samples[i];
        last = &samples[i];
    }
    if (first == nullptr || last == first)
        return 0.0;
    return static_cast<double>(last->frame[index] - first->frame[index]) / (last->seconds - first->seconds);
}

} // namespace

TEST(KivIcProgram, TwoRecordingsPlaySynchronisedAndTheProgramClosesWhilePlaying) {
    TempDir dir;
    const std::string start = dir.Path("start");
    std::filesystem::create_directories(start);
    const std::string ini = dir.Path("KivIc.ini");
    setenv("KIVIC_INI", ini.c_str(), 1);
    setenv("KIVIC_AFX_PROFILE", dir.Path("profile.ini").c_str(), 1);
    TempDir::WriteAll(start + "/fast.gen", "begin=0\nend=999\nrate=100\nwidth=320\nheight=240\n");
    TempDir::WriteAll(start + "/slow.gen", "begin=0\nend=499\nrate=50\nwidth=320\nheight=240\n");
    std::filesystem::current_path(start);

    MessageBoxRecorder boxes;
    SetCommandLineArgs({"KivIc", "fast.gen", start + "/slow.gen", "-SetRange", "10", "200", "-SPlay"});

    AfxEnsureQtApp();
    CWqLinkApp app;
    app.SetExtraTemplates([](CWinApp& a) { RegisterGenRecordingTemplate(&a); });
    Probe probe(app);
    QTimer::singleShot(0, [&probe] { probe.Start(20); });
    app.Run();
    const double closing = Seconds(probe.closePosted, Clock::now());

    for (const std::string& failure : probe.failures)
        ADD_FAILURE() << failure;
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.front();
    ASSERT_GE(probe.samples.size(), 10u);
    const Sample& first = probe.samples.front();
    const Sample& last = probe.samples.back();
    EXPECT_NE(first.frame[0], LONG_MIN) << "no frame colour in the first view";
    EXPECT_GT(last.frame[0], first.frame[0]) << "the frame number did not advance while playing";
    EXPECT_GT(last.frame[1], first.frame[1]) << "the frame number did not advance while playing";
    EXPECT_LT(closing, 5.0);
    EXPECT_NE(TempDir::ReadAll(ini).find("ROOT_FOLDER=" + start), std::string::npos) << TempDir::ReadAll(ini);

    const double fast = MeasuredRate(probe.samples, 0);
    const double slow = MeasuredRate(probe.samples, 1);
    std::printf("REPORT platform %s; %s\n", QGuiApplication::platformName().toUtf8().constData(),
                probe.notes.empty() ? "" : probe.notes.front().c_str());
    std::printf(
        "REPORT set speed %d frames/s of the fastest recording (100 fps); shown: %.2f frames/s of it, "
        "%.2f frames/s of the 50 fps one (expected %d and %.1f); frames %ld -> %ld and %ld -> %ld "
        "in %.2f s\n",
        probe.speed, fast, slow, probe.speed, probe.speed / 2.0, first.frame[0], last.frame[0],
        first.frame[1], last.frame[1], last.seconds - first.seconds);
    std::printf("REPORT closing while playing took %.3f s; screenshot %s\n", closing, probe.shot.c_str());
    RecordProperty("closing_seconds", std::to_string(closing));
    RecordProperty("shown_rate", std::to_string(fast));
}
