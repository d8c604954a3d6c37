// The program as a user tracks points with it: the product's application and main frame with the
// generated recording type, one recording of 30 frames with two moving spots opened from the command
// line; "Setup 2D..." with 2 points, a click on each spot, "Start Tracking" over the 30 frames, and an
// attempt to close the program while the run works; then a reticle point written on the tracked
// recording. Run under Xvfb when there is one (else off screen). It checks the positions, that every
// frame was on the screen with all its points during the run, the filled position list and the overlay
// in a screenshot of the screen (tracking.png in KIVIC_SHOT_DIR, else shots/ in the build folder).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include "KivIc/App/WqLinkApp.h"
#include "KivIc/Main/MainFrame.h"
#include "KivIc/Tracking/Init2dDlg.h"
#include "KivIc/Tracking/TrackingIds.h"
#include "afx_core/temp_dir.h"
#include "kivic_app/open_recordings.h"
#include "platform/win32/command_line.h"
#include "tests/kivic_support/GenRecording.h"
#include "tests/support/program_probe.h"
#include "tests/support/program_shot.h"

namespace {

constexpr long kLastFrame = 29;

// One way through the program: the recording opened, the points set up and clicked, the run, and
// whether the program is asked to close half way.
struct ProgramCase {
    const char* settings; // the recording's lines
    int points;
    int zoom;
    bool closeWhileRunning;
    const char* shot;
    // After the run: reticle point input on, a click on the picture, then the tracking point input
    // again.
    bool reticle = false;
};

// Whether the stored entry of point k on the frame is where its spot is: half a pixel off at most. The
// spot of an edge layout that moves out (the last) may be off by up to 2 pixels while it is cut off by
// the edge (its ring reaches 7 pixels out); once its centre has left, the point is lost or stays on
// what is left of the spot at the edge (within its ring and the search margin of 5), never running off.
bool AtSpot(const GenRecordingSettings& settings, int k, int points, long frame, const PointEntry* entry,
            const PointFrame& table) {
    const POINT spot = GenSpotCentre(settings, k, frame);
    const bool found = entry != nullptr && entry->state == PointEntry::kFound;
    const PositionRow p = found ? table.GetPosition(*entry) : PositionRow{};
    const double row = settings.height - p.y;
    const bool leaving = settings.edges != 0 && k == points - 1;
    if (leaving && spot.x > settings.width - 1)
        return !found || (p.x >= settings.width - 1 - kGenSpotRadius - 5 && std::abs(row - spot.y) <= 0.5);
    const long inside = std::min({spot.x, settings.width - 1 - spot.x, spot.y, settings.height - 1 - spot.y});
    const double tolerance = leaving && inside < kGenSpotRadius ? 2.0 : 0.5;
    return found && std::abs(p.x - spot.x) <= tolerance && std::abs(row - spot.y) <= tolerance;
}

// A left click on the view at the client point, as the mouse gives it.
void ClickView(CView* view, CPoint at) {
    const QPointF local(at.x, at.y);
    const QPointF global = view->GetWidget()->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(view->GetWidget(), &press);
    QCoreApplication::sendEvent(view->GetWidget(), &release);
}

CGenRecordingView* ViewOf(CDocument* doc) {
    POSITION pos = doc->GetFirstViewPosition();
    CView* view = pos != nullptr ? doc->GetNextView(pos) : nullptr;
    return view != nullptr && view->IsKindOf(RUNTIME_CLASS(CGenRecordingView))
               ? static_cast<CGenRecordingView*>(view)
               : nullptr;
}

CGenRecordingFrame* FrameOf(CDocument* doc) {
    CView* view = ViewOf(doc);
    CFrameWnd* frame = view != nullptr ? view->GetParentFrame() : nullptr;
    return frame != nullptr && frame->IsKindOf(RUNTIME_CLASS(CGenRecordingFrame))
               ? static_cast<CGenRecordingFrame*>(frame)
               : nullptr;
}

bool MenuHas(QMenuBar* bar, const QString& menu, const QString& item) {
    for (QAction* top : bar->actions()) {
        if (top->text() != menu || top->menu() == nullptr)
            continue;
        for (QAction* action : top->menu()->actions()) {
            if (action->text() == item)
                return true;
        }
    }
    return false;
}

// Counts the pixels of the colour inside the rectangle of the image.
int CountColour(const QImage& image, const QRect& area, QRgb colour) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++count;
        }
    }
    return count;
}

// Watches the screen while a run works (under Xvfb; off screen there is no screen to read): each time
// the view is about to paint, it reads what the screen shows of the view, which frame that is (from the
// picture's colour) and whether every point stored for that frame has its marker there. The frames
// whose results were all on the screen at some moment are kept.
class ScreenWatch : public QObject {
public:
    ScreenWatch(CGenRecordingDoc* doc, CGenRecordingView* view, std::string shotName)
        : m_doc(doc), m_view(view), m_shotName(std::move(shotName)) {}

    std::set<long> complete; // frames shown with the markers of all their found points
    std::set<long> seen;     // frames shown at all
    std::string shot;        // a screenshot taken half way

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            Look();
        return false;
    }

private:
    void Look() {
        QWidget* widget = m_view->GetWidget();
        const QPoint at = widget->mapToGlobal(QPoint(0, 0));
        QScreen* screen = QGuiApplication::primaryScreen();
        if (screen == nullptr)
            return;
        const QImage image = screen->grabWindow(0, at.x(), at.y(), widget->width(), widget->height())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        const GenRecordingSettings& settings = m_doc->GetSettings();
        // The picture's bottom right corner carries the frame's colour.
        const CPoint corner = m_view->TablePointToClient(settings.width - 3, 3);
        if (image.isNull() || !image.rect().contains(corner.x, corner.y))
            return;
        const QRgb colour = image.pixel(corner.x, corner.y);
        const long frame = GenFrameFromColour(qRed(colour), qGreen(colour), qBlue(colour));
        const FrameRecord* record = m_doc->GetPointFrameTable()->FindFrame(frame);
        if (record == nullptr)
            return;
        seen.insert(frame);
        bool all = true;
        for (int k = 0; k < record->EntryCount(); ++k) {
            const PointEntry* entry = record->GetEntry(k);
            if (entry->state == PointEntry::kNoPosition) {
                all = false; // not tracked yet: its result cannot be on the screen
                continue;
            }
            if (entry->state != PointEntry::kFound)
                continue;
            const PositionRow p = m_doc->GetPointFrameTable()->GetPosition(*entry);
            const CPoint c = m_view->TablePointToClient(p.x, p.y);
            all = all && CountColour(image, QRect(c.x - 8, c.y - 8, 17, 17), qRgb(255, 0, 0)) >= 4;
        }
        if (!all)
            return;
        complete.insert(frame);
        if (shot.empty() && frame >= kLastFrame / 2)
            KeepShot(nullptr, m_shotName, &shot);
    }

    CGenRecordingDoc* m_doc;
    CGenRecordingView* m_view;
    std::string m_shotName;
};

// Works the running program from its own event loop, step by step as a user would.
class Probe : public ProgramProbe {
public:
    Probe(CWqLinkApp& app, const ProgramCase& which) : ProgramProbe(app), m_case(which) {}

    std::vector<std::string> notes;
    bool closeRefusedWhileRunning = false;
    bool tracked = false;
    int closeAttempts = 0;

private:
    void Tick() override {
        ++m_ticks;
        CMainFrame* main = m_app.GetMainFrame();
        if (m_ticks > 1200) { // 60 s
            Fail("the steps did not finish in time (phase " + std::to_string(m_phase) + ")");
            Close(main);
            return;
        }
        switch (m_phase) {
        case 0:
            Open(main);
            break;
        case 1:
            SetUp(main);
            break;
        case 2:
            ClickSpots(main);
            break;
        case 3:
            if (QGuiApplication::platformName() == "xcb") {
                m_watch =
                    std::make_unique<ScreenWatch>(m_doc, ViewOf(m_doc), std::string("run_") + m_case.shot);
                ViewOf(m_doc)->GetWidget()->installEventFilter(m_watch.get());
            }
            // The run works inside the command and lets messages through between points.
            main->PostMessage(WM_COMMAND, ID_TRACK_START);
            m_startTick = m_ticks;
            if (m_case.closeWhileRunning)
                WatchRun(main);
            m_phase = 4;
            break;
        case 4:
            WhileRunning(main);
            break;
        case 5:
            Check(main);
            break;
        case 6:
            Reticle(main);
            break;
        default:
            break;
        }
    }

    void Open(CMainFrame* main) {
        const std::vector<CGenRecordingDoc*> docs = OpenRecordings(m_app);
        if (main == nullptr || docs.size() != 1 || FrameOf(docs[0]) == nullptr)
            return;
        m_doc = docs[0];
        auto* window = qobject_cast<QMainWindow*>(main->GetWidget());
        if (window == nullptr || window->menuBar() == nullptr ||
            !MenuHas(window->menuBar(), "&Tracking", "Setup 2D..."))
            Fail("the recording window's menu has no Tracking popup with \"Setup 2D...\"");
        FrameOf(m_doc)->GetSubWindow()->showMaximized();
        m_phase = 1;
    }

    void SetUp(CMainFrame* main) {
        // "Setup 2D..." as the menu sends it, the dialog answered with 2 points.
        const int points = m_case.points;
        AfxSetModalHook([points](CDialog* dialog) {
            dialog->SetDlgItemInt(CInit2dDlg::IDC_INIT2D_POINTS, static_cast<UINT>(points), TRUE);
            dialog->SendMessage(WM_COMMAND, IDOK, 0);
        });
        main->SendMessage(WM_COMMAND, ID_TRACK_SETUP_2D);
        AfxSetModalHook(nullptr);
        if (m_doc->GetPointCount() != m_case.points || !m_doc->IsTrackingInput()) {
            Fail("the 2-D setup did not make " + std::to_string(m_case.points) +
                 " points with point input on");
            Close(main);
            return;
        }
        ViewOf(m_doc)->SetZoom(m_case.zoom, 1, TRUE);
        ViewOf(m_doc)->ScrollToImage(0, 0, TRUE);
        FrameOf(m_doc)->ShowZoom(100 * m_case.zoom);
        m_phase = 2;
    }

    void ClickSpots(CMainFrame* main) {
        CGenRecordingView* view = ViewOf(m_doc);
        for (int k = 0; k < m_case.points; ++k) {
            if (main->GetPosBar()->GetSelectedRow() != k)
                Fail("row " + std::to_string(k) + " is not selected before its click");
            const POINT spot = GenSpotCentre(m_doc->GetSettings(), k, 0);
            ClickView(view, view->TablePointToClient(spot.x, m_doc->GetSettings().height - spot.y));
        }
        const FrameRecord* record = m_doc->GetPointFrameTable()->FindFrame(0);
        for (int k = 0; k < m_case.points; ++k) {
            const PointEntry* entry = record != nullptr ? record->GetEntry(k) : nullptr;
            if (entry == nullptr || entry->state != PointEntry::kFound || entry->flag != 1)
                Fail("the click on spot " + std::to_string(k + 1) + " did not set its point");
        }
        m_phase = 3;
    }

    // Looks at every message pump of the run; half way it tries to close the program.
    void WatchRun(CMainFrame* main) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this, main] {
                CGenRecordingFrame* frame = FrameOf(m_doc);
                if (!frame->IsRunning()) {
                    if (!m_sawRun)
                        WatchRun(main); // not started yet
                    return;
                }
                m_sawRun = true;
                if (m_doc->GetCurrentFrame() < 10) {
                    WatchRun(main);
                    return;
                }
                ++closeAttempts;
                main->SendMessage(WM_CLOSE);
                closeRefusedWhileRunning =
                    m_app.GetMainFrame() == main && main->GetSafeHwnd() != nullptr && frame->IsRunning();
            },
            Qt::QueuedConnection);
    }

    void WhileRunning(CMainFrame*) {
        if (!m_case.closeWhileRunning && m_ticks > m_startTick + 1)
            m_sawRun = true; // the run works inside the posted command, before this tick
        if (!m_sawRun || FrameOf(m_doc)->IsRunning())
            return;
        m_phase = 5;
    }

    void Check(CMainFrame* main) {
        int found = 0;
        int looked = 0;
        PointFrame& table = *m_doc->GetPointFrameTable();
        for (long f = 1; f <= kLastFrame; ++f) {
            const FrameRecord* record = table.FindFrame(f);
            for (int k = 0; k < m_case.points; ++k) {
                const PointEntry* entry = record != nullptr ? record->GetEntry(k) : nullptr;
                ++looked;
                if (AtSpot(m_doc->GetSettings(), k, m_case.points, f, entry, table)) {
                    ++found;
                    continue;
                }
                const POINT c = GenSpotCentre(m_doc->GetSettings(), k, f);
                const bool stored = entry != nullptr && entry->state == PointEntry::kFound;
                const PositionRow p = stored ? table.GetPosition(*entry) : PositionRow{};
                Fail("point " + std::to_string(k + 1) + " on frame " + std::to_string(f) + " is not at (" +
                     std::to_string(c.x) + ", " + std::to_string(c.y) + "): " +
                     (stored ? "found at (" + std::to_string(p.x) + ", " +
                                   std::to_string(m_doc->GetSettings().height - p.y) + ")"
                             : "not found"));
            }
        }
        tracked = found == looked && looked > 0;
        notes.push_back(std::to_string(found) + " of " + std::to_string(looked) +
                        " positions at their spots");
        if (m_doc->GetCurrentFrame() != kLastFrame)
            Fail("the run did not end on the last frame");
        CPosDlgBar* bar = main->GetPosBar();
        if (bar->GetRowCount() != m_case.points || bar->GetRowText(0, 1).Trim().IsEmpty() ||
            bar->GetRowText(1, 2).Trim().IsEmpty())
            Fail("the position list is not filled with the last frame's positions");
        // The rows are numbered as the matching-parameter dialog and the exported file number the
        // points: from 1.
        for (int k = 0; k < bar->GetRowCount(); ++k) {
            if (bar->GetRowText(k, 0) != CString(std::to_string(k + 1).c_str()))
                Fail("row " + std::to_string(k) + " of the position list is numbered \"" +
                     std::string(bar->GetRowText(k, 0).GetString()) + "\", not " + std::to_string(k + 1));
        }
        CheckScreenDuringRun();
        Screenshot(main);
        if (m_case.reticle) {
            m_phase = 6;
            return;
        }
        Close(main);
    }

    // Reticle points are written on the tracked recording: the reticle's point input takes the clicks
    // from the tracking point input, which leaves the tracked positions alone, and the tracking point
    // input takes them back.
    void Reticle(CMainFrame* main) {
        const std::string csv = (std::filesystem::current_path() / "reticle.csv").string();
        AfxSetFileDialogHook([&csv](CFileDialog* dialog) {
            dialog->SetPathName(csv.c_str());
            return static_cast<INT_PTR>(IDOK);
        });
        main->SendMessage(WM_COMMAND, ID_RETICLE_INPUT);
        AfxSetFileDialogHook(nullptr);
        if (!m_doc->IsPointInput() || m_doc->IsTrackingInput())
            Fail("the reticle's point input did not take the clicks from the tracking point input");
        PointFrame before(*m_doc->GetPointFrameTable());
        CGenRecordingView* view = ViewOf(m_doc);
        // Near the picture's bottom left corner, away from the spots.
        ClickView(view, view->TablePointToClient(10, 10));
        QCoreApplication::processEvents();
        const FrameRecord* was = before.FindFrame(kLastFrame);
        const FrameRecord* now = m_doc->GetPointFrameTable()->FindFrame(kLastFrame);
        for (int k = 0; was != nullptr && now != nullptr && k < m_case.points; ++k) {
            const PointEntry& a = *was->GetEntry(k);
            const PointEntry* b = now->GetEntry(k);
            if (b == nullptr || a.x != b->x || a.y != b->y || a.state != b->state || a.flag != b->flag)
                Fail("the click for a reticle point moved tracked point " + std::to_string(k + 1));
        }
        // A new setup (the rate, say) leaves the clicks where they are.
        AfxSetModalHook([](CDialog* dialog) { dialog->SendMessage(WM_COMMAND, IDOK, 0); });
        main->SendMessage(WM_COMMAND, ID_TRACK_SETUP_2D);
        AfxSetModalHook(nullptr);
        if (!m_doc->IsPointInput() || m_doc->IsTrackingInput())
            Fail("the 2-D setup took the clicks from the reticle's point input");
        KeepScreenshot(main->GetWidget(), "tracking_reticle.png");
        main->SendMessage(WM_COMMAND, ID_TRACK_POINT_INPUT);
        if (m_doc->IsPointInput() || !m_doc->IsTrackingInput())
            Fail("the tracking point input did not take the clicks back from the reticle");
        std::vector<std::string> lines;
        if (FILE* file = std::fopen(csv.c_str(), "r")) {
            char line[512];
            while (std::fgets(line, sizeof line, file) != nullptr)
                lines.emplace_back(line);
            std::fclose(file);
        }
        const std::string row = "29,290.00,";
        if (lines.size() != 2 || lines[0].rfind("Frame No.,Time,X,Y,X0,Y0,", 0) != 0 ||
            lines[1].rfind(row, 0) != 0)
            Fail("the reticle file does not hold the header and the click's row " + row +
                 "...: " + std::to_string(lines.size()) + " lines");
        Close(main);
    }

    // Every frame of the run but the last was on the screen with all its results at some moment.
    void CheckScreenDuringRun() {
        if (m_watch == nullptr) {
            notes.push_back("off screen: the screen during the run is not looked at");
            return;
        }
        ViewOf(m_doc)->GetWidget()->removeEventFilter(m_watch.get());
        std::string missing;
        for (long f = 1; f < kLastFrame; ++f) {
            if (m_watch->complete.count(f) == 0)
                missing += " " + std::to_string(f) + (m_watch->seen.count(f) != 0 ? "" : "(never shown)");
        }
        if (!missing.empty())
            Fail("during the run these frames were never on the screen with all their points:" + missing);
        notes.push_back(std::to_string(m_watch->complete.size()) + " frames on the screen with all points" +
                        (m_watch->shot.empty() ? "" : ", half way " + m_watch->shot));
    }

    void Screenshot(CMainFrame* main) {
        main->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
        QCoreApplication::processEvents();
        bool wholeScreen = false;
        const QPixmap pixmap = GrabShot(main->GetWidget(), &wholeScreen);
        QWidget* viewWidget = ViewOf(m_doc)->GetWidget();
        const QPoint viewAt = wholeScreen ? viewWidget->mapToGlobal(QPoint(0, 0))
                                          : viewWidget->mapTo(main->GetWidget(), QPoint(0, 0));
        if (!SaveShot(pixmap, m_case.shot, &shot))
            Fail("the screenshot could not be saved as " + shot);
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
        const QRect viewArea(viewAt, viewWidget->size());
        const int red = CountColour(image, viewArea, qRgb(255, 0, 0));
        const int green = CountColour(image, viewArea, qRgb(0, 255, 0));
        notes.push_back("screenshot: " + std::to_string(red) + " marker pixels, " + std::to_string(green) +
                        " template-frame pixels in the view");
        if (red < m_case.points * 10 || green < m_case.points * 2 * 20)
            Fail("the screenshot does not show both markers and template frames");
    }

    const ProgramCase m_case;
    int m_ticks = 0;
    int m_startTick = 0;
    int m_phase = 0;
    bool m_sawRun = false;
    CGenRecordingDoc* m_doc = nullptr;
    std::unique_ptr<ScreenWatch> m_watch;
};

// What a run of the program left: the probe's findings and the message boxes shown.
struct ProgramRun {
    std::vector<std::string> failures;
    std::vector<std::string> notes;
    std::vector<std::string> boxes;
    bool tracked = false;
    bool closeRefusedWhileRunning = false;
    int closeAttempts = 0;
    std::string shot;
};

ProgramRun RunProgram(const ProgramCase& which) {
    TempDir dir;
    const std::string start = dir.Path("start");
    std::filesystem::create_directories(start);
    setenv("KIVIC_INI", dir.Path("KivIc.ini").c_str(), 1);
    setenv("KIVIC_AFX_PROFILE", dir.Path("profile.ini").c_str(), 1);
    setenv("TMPDIR", dir.Path("").c_str(), 1); // the run's day log
    TempDir::WriteAll(start + "/spots.gen", which.settings);
    std::filesystem::current_path(start);

    ProgramRun run;
    SetMessageBoxNotifier([&run](HWND, const char* text, const char*, UINT) {
        run.boxes.emplace_back(text != nullptr ? text : "");
        return IDOK;
    });
    SetCommandLineArgs({"KivIc", "spots.gen"});
    {
        AfxEnsureQtApp();
        CWqLinkApp app;
        app.SetExtraTemplates([](CWinApp& a) { RegisterGenRecordingTemplate(&a); });
        Probe probe(app, which);
        QTimer::singleShot(0, [&probe] { probe.Start(50); });
        app.Run();
        run.failures = probe.failures;
        run.notes = probe.notes;
        run.tracked = probe.tracked;
        run.closeRefusedWhileRunning = probe.closeRefusedWhileRunning;
        run.closeAttempts = probe.closeAttempts;
        run.shot = probe.shot;
    }
    std::string notes;
    for (const std::string& note : run.notes)
        notes += note + "; ";
    std::printf("REPORT platform %s; %sscreenshot %s\n", QGuiApplication::platformName().toUtf8().constData(),
                notes.c_str(), run.shot.c_str());
    SetMessageBoxNotifier({});
    unsetenv("TMPDIR");
    std::filesystem::current_path(dir.Path(""));
    std::filesystem::current_path("/");
    return run;
}

} // namespace

TEST(KivIcTrackingProgram, SetUpClickTrackRefuseToCloseWhileTrackingThenWriteAReticlePoint) {
    const ProgramRun run = RunProgram(
        {"begin=0\nend=29\nrate=100\nwidth=320\nheight=240\nspots=2\n", 2, 2, true, "tracking.png", true});
    for (const std::string& failure : run.failures)
        ADD_FAILURE() << failure;
    EXPECT_TRUE(run.tracked);
    EXPECT_EQ(run.closeAttempts, 1);
    EXPECT_TRUE(run.closeRefusedWhileRunning);
    ASSERT_EQ(run.boxes.size(), 1u) << "only the refusal to close was told";
    EXPECT_NE(run.boxes[0].find("Tracking is running"), std::string::npos) << run.boxes[0];
}

TEST(KivIcTrackingProgram, SpotsAtTheEdgeAndInACornerStayAndOneLeavingIsFollowedToTheEdge) {
    // Still spots 0 to 5 pixels from the left edge and one in the top right corner, and one that moves
    // out through the right edge.
    const ProgramRun run = RunProgram({"begin=0\nend=29\nrate=100\nwidth=320\nheight=240\nspots=8\nedges=1\n",
                                       8, 1, false, "tracking_edges.png"});
    for (const std::string& failure : run.failures)
        ADD_FAILURE() << failure;
    EXPECT_TRUE(run.tracked);
    EXPECT_TRUE(run.boxes.empty()) << run.boxes.front();
}
