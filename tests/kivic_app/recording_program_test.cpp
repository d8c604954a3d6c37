// The program as a user starts it on files of every kind it opens: a raw camera recording and a
// numbered BMP sequence named on the command line, with the real servers registered, and an AVI movie
// opened while a progress window has the focus, as a conversion opens its result. It checks that each
// opens in its own kind of window with a picture, that one window at a time shows the active title bar
// and it is the one the menus and commands act on, also after a click on another window's title bar
// or picture, that no two top-level menu items share a letter, opens the raw window's Image menu
// (screenshot while it is open), chooses +12dB from it and sees the picture brighten, then B/W and
// Reload and sees the chroma field show the recording's own chroma again, zooms out in a maximised
// window with nothing of the larger picture left around the smaller one, plays the
// recording, closes every window (the control bar then speaks for none) and closes the program. A
// recording whose frames cannot all be read, played together with -SPlay and -SLPlay, shows its failure
// once, stops and lets the program close, naming the file and frame. A recording whose frame numbers
// leave the 32-bit range and a movie whose frames no picture can be are refused, each named with its
// reason in a message box (screenshot), and leave no window. Run under Xvfb when there is one (else
// off screen).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QKeySequence>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include "KivIc/App/WqLinkApp.h"
#include "KivIc/Documents/AviDoc.h"
#include "KivIc/Documents/BmpDoc.h"
#include "KivIc/Documents/KivDoc.h"
#include "KivIc/Main/MainFrame.h"
#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Bars/DlgBarImgList.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "afx/afx_test_app.h"
#include "afx_core/temp_dir.h"
#include "platform/afx/app/msgbox.h"
#include "platform/com/objects.h"
#include "platform/win32/command_line.h"
#include "tests/support/program_probe.h"
#include "tests/support/program_shot.h"
#include "tools/cm8gen/cm8_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

// The document's display bitmap as 32-bit pixels, top row first; empty when it has none.
std::vector<BYTE> DisplayPixels(CVesloDoc* doc, BITMAP& info) {
    HBITMAP bitmap = doc->GetFrameBitmap();
    info = BITMAP{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) != static_cast<int>(sizeof info))
        return {};
    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> pixels(4 * static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = GetDC(nullptr);
    const int lines =
        GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return lines == info.bmHeight ? pixels : std::vector<BYTE>();
}

// Mean of all colour channels of the document's display bitmap.
double MeanLevel(CVesloDoc* doc) {
    BITMAP info{};
    const std::vector<BYTE> pixels = DisplayPixels(doc, info);
    if (pixels.empty())
        return -1.0;
    double sum = 0.0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
    return sum / (3.0 * info.bmWidth * info.bmHeight);
}

// The frame number a generated recording's picture carries in its top rows (40 blocks: 32 bits of the
// number and a check byte), read from the document's display bitmap as the screen shows it; nothing
// when the picture carries no valid number.
std::optional<long> ShownFrameNumber(CVesloDoc* doc) {
    BITMAP info{};
    const std::vector<BYTE> pixels = DisplayPixels(doc, info);
    if (pixels.empty() || info.bmWidth < 40 || info.bmHeight < 4)
        return std::nullopt;
    const int block = info.bmWidth / 40;
    std::uint64_t bits = 0;
    for (int i = 0; i < 40; ++i) {
        const BYTE* p = pixels.data() + 4 * (static_cast<size_t>(info.bmWidth) + i * block + block / 2);
        bits = bits << 1 | ((p[0] + p[1] + p[2]) / 3 > 128 ? 1u : 0u);
    }
    const auto number = static_cast<std::uint32_t>(bits >> 8);
    const auto check =
        static_cast<std::uint8_t>((number >> 24) ^ (number >> 16) ^ (number >> 8) ^ number ^ 0xA5u);
    if (check != static_cast<std::uint8_t>(bits))
        return std::nullopt;
    return static_cast<std::int32_t>(number);
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

// The items of a registered menu bar, at every level, that share their mnemonic with an earlier item of
// the same menu: Alt and the letter would land on the earlier one. "Zoom &Out" and "Zoom &Original" come
// with their letters, and O steps between the two.
void SharedMnemonics(const std::vector<AFX_MENU_ITEM>& items, const std::string& path,
                     std::vector<std::string>& shared) {
    std::vector<QKeySequence> seen;
    for (const AFX_MENU_ITEM& item : items) {
        const QKeySequence key = QKeySequence::mnemonic(QString::fromUtf8(item.text.GetString()));
        if (!key.isEmpty() && item.text != "Zoom &Original") {
            if (std::find(seen.begin(), seen.end(), key) != seen.end())
                shared.push_back(path + item.text.GetString());
            seen.push_back(key);
        }
        SharedMnemonics(item.children, path + item.text.GetString() + " > ", shared);
    }
}

std::vector<std::string> SharedMnemonics(UINT menuId) {
    const std::vector<AFX_MENU_ITEM>* bar = AfxFindMenu(menuId);
    if (bar == nullptr)
        return {"menu " + std::to_string(menuId) + " is not registered"};
    std::vector<std::string> shared;
    SharedMnemonics(*bar, "", shared);
    return shared;
}

// A left click at a place of the widget, through the window system as the user's mouse gives it.
void Click(QWidget* widget, QPoint at) {
    QTest::mouseMove(widget, at);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

class Probe : public ProgramProbe {
public:
    Probe(CWqLinkApp& app, std::string movie) : ProgramProbe(app), m_movie(std::move(movie)) {}

    std::vector<std::string> kinds;
    double levelBefore = -1.0;
    double levelAfter = -1.0;
    long playedFrom = 0;
    long playedTo = 0;
    int zoomShown = 0;
    // The chroma field and the document's chroma after B/W and Reload.
    int chromaAfterReload = -1;
    int chromaOfReloaded = -2;
    // Pixels of the maximised view that are not background after zooming out, and the picture's own.
    long paintedAfterZoomOut = -1;
    long pictureAfterZoomOut = 0;

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
            const bool all = main != nullptr && m_kiv != nullptr && m_bmp != nullptr;
            if (!all && Elapsed() < 15.0)
                return;
            if (!all) {
                Fail("the program did not open the recording and the sequence within 15 s");
                return Close(main);
            }
            CheckActive(main, FrameOf(m_bmp), "after the command line's files opened");
            for (UINT menu : MenuBars()) {
                for (const std::string& text : SharedMnemonics(menu))
                    Fail("menu bar " + std::to_string(menu) + ": \"" + text +
                         "\" repeats a letter of its menu");
            }
            // A modeless progress window takes the focus while the main window is disabled, as during
            // a conversion.
            main->EnableWindow(FALSE);
            m_progress = new QDialog(main->GetWidget(), Qt::Window);
            m_progress->setWindowTitle("Converting");
            m_progress->resize(240, 80);
            m_progress->show();
            m_progress->activateWindow();
            m_phase = 10;
            m_wait = 6;
            return;
        }
        case 10: { // the result opens while the progress window has the focus, which then closes
            if (--m_wait > 0)
                return;
            if (QApplication::activeWindow() != m_progress)
                Fail("the progress window did not take the focus");
            m_app.OpenDocumentFile(m_movie.c_str());
            m_progress->close();
            main->EnableWindow(TRUE);
            main->GetWidget()->activateWindow();
            m_phase = 11;
            m_wait = 6;
            return;
        }
        case 11: { // the result is the one active window; a click on the source's title bar
            if (--m_wait > 0)
                return;
            Collect();
            if (m_avi == nullptr || m_avi->GetFrameBitmap() == nullptr) {
                Fail("the movie did not open with a picture");
                return Close(main);
            }
            if (m_bmp->GetFrameBitmap() == nullptr)
                Fail("the sequence's frame in 5-6-5 bit fields shows no picture");
            CheckActive(main, FrameOf(m_avi), "after the movie opened behind the progress window");
            KeepScreenshot(main->GetWidget(), "kivic_activation_opened_" +
                                                  QGuiApplication::platformName().toStdString() + ".png");
            QMdiSubWindow* sub = static_cast<CMDIChildWnd*>(FrameOf(m_bmp))->GetSubWindow();
            Click(sub, QPoint(sub->width() / 2, sub->style()->pixelMetric(QStyle::PM_TitleBarHeight) / 2));
            m_phase = 12;
            m_wait = 4;
            return;
        }
        case 12: { // the sequence is active; a click on the raw recording's picture
            if (--m_wait > 0)
                return;
            CheckActive(main, FrameOf(m_bmp), "after a click on the sequence's title bar");
            KeepScreenshot(main->GetWidget(), "kivic_activation_clicked_" +
                                                  QGuiApplication::platformName().toStdString() + ".png");
            POSITION pos = m_kiv->GetFirstViewPosition();
            CWnd* view = m_kiv->GetNextView(pos);
            Click(view->GetWidget(), view->GetWidget()->rect().center());
            m_phase = 13;
            m_wait = 4;
            return;
        }
        case 13: {
            if (--m_wait > 0)
                return;
            CheckActive(main, FrameOf(m_kiv), "after a click on the raw recording's picture");
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
            // Black and white, then Reload: the recording comes back with its recorded colour.
            QAction* blackWhite = FindAction(m_imageMenu, "B/W");
            QAction* reload = FindAction(m_imageMenu, "&Reload");
            if (blackWhite == nullptr || reload == nullptr) {
                Fail("the Image menu offers no B/W or no Reload");
                return Close(main);
            }
            blackWhite->trigger();
            reload->trigger();
            m_phase = 34;
            m_wait = 4;
            return;
        }
        case 34: { // the chroma field shows the reloaded recording's chroma
            if (--m_wait > 0)
                return;
            BOOL ok = FALSE;
            chromaAfterReload =
                static_cast<int>(main->GetCtrlBar()->GetDlgItemInt(IDC_CTRL_CHROMA, &ok, TRUE));
            chromaOfReloaded = m_kiv->GetChroma();
            static_cast<CMDIChildWnd*>(FrameOf(m_kiv))->GetSubWindow()->showMaximized();
            m_phase = 32;
            m_wait = 6;
            return;
        }
        case 32: // maximised, zoomed out one step
            if (--m_wait > 0)
                return;
            FrameOf(m_kiv)->SendMessage(WM_COMMAND, ID_ZOOM_OUT);
            m_phase = 33;
            m_wait = 6;
            return;
        case 33: {
            if (--m_wait > 0)
                return;
            BOOL ok = FALSE;
            zoomShown = static_cast<int>(main->GetCtrlBar()->GetDlgItemInt(IDC_CTRL_ZOOM, &ok, TRUE));
            POSITION pos = m_kiv->GetFirstViewPosition();
            CWnd* view = m_kiv->GetNextView(pos);
            const QImage shown = view->GetWidget()->grab().toImage();
            const QRgb background = shown.pixel(shown.width() - 1, shown.height() - 1);
            paintedAfterZoomOut = 0;
            for (int y = 0; y < shown.height(); ++y) {
                for (int x = 0; x < shown.width(); ++x)
                    paintedAfterZoomOut += shown.pixel(x, y) != background ? 1 : 0;
            }
            BITMAP frame{};
            GetObjectA(m_kiv->GetFrameBitmap(), sizeof frame, &frame);
            pictureAfterZoomOut = static_cast<long>(frame.bmWidth / 2) * (frame.bmHeight / 2);
            KeepScreenshot(main->GetWidget(),
                           "kivic_zoom_out_" + QGuiApplication::platformName().toStdString() + ".png");
            playedFrom = m_kiv->GetCurrentFrame();
            FrameOf(m_kiv)->SendMessage(WM_COMMAND, ID_PLAY_PLAY);
            m_playStart = Clock::now();
            m_phase = 4;
            return;
        }
        case 4: // plays for a second, then every window closes while it plays
            if (std::chrono::duration<double>(Clock::now() - m_playStart).count() < 1.0)
                return;
            playedTo = m_kiv->GetCurrentFrame();
            m_app.CloseAllDocuments(FALSE);
            m_phase = 5;
            m_wait = 4;
            return;
        case 5:
            if (--m_wait > 0)
                return;
            CheckNoRecording(main);
            return Close(main);
        default:
            return;
        }
    }

    // Every menu bar of the program: the main frame's and each document template's.
    std::vector<UINT> MenuBars() {
        std::vector<UINT> ids{IDR_MAINFRAME};
        for (POSITION pos = m_app.GetFirstDocTemplatePosition(); pos != nullptr;)
            ids.push_back(m_app.GetNextDocTemplate(pos)->GetResourceID());
        return ids;
    }

    // Exactly one window shows the active title bar, the framework's active child, and its menu is up.
    void CheckActive(CMainFrame* main, CFrameWnd* expected, const std::string& when) {
        QMdiArea* area = main->GetMdiArea();
        int titled = 0;
        for (QMdiSubWindow* sub : area->subWindowList()) {
            if (sub->isVisible() && (sub->windowState() & Qt::WindowActive) != 0)
                ++titled;
        }
        CMDIChildWnd* active = main->MDIGetActive();
        QMdiSubWindow* expectedSub = static_cast<CMDIChildWnd*>(expected)->GetSubWindow();
        if (titled != 1)
            Fail(when + ": " + std::to_string(titled) + " windows show an active title bar");
        if (active != expected)
            Fail(when + ": the commands act on another window than expected");
        if (area->activeSubWindow() != expectedSub)
            Fail(when + ": another window shows the active title bar than the one the commands act on");
        if ((expectedSub->windowState() & Qt::WindowActive) == 0)
            Fail(when + ": the expected window's title bar is not active");
        if (active != nullptr && main->GetMenu() != active->m_pMenuShared)
            Fail(when + ": the menu is not the active window's");
        CBarReportList& list = main->GetImgListBar()->GetList();
        const int selected = list.GetSelectedItem();
        auto* listed = static_cast<IImgListDocument*>(static_cast<CVesloDoc*>(expected->GetActiveDocument()));
        if (selected < 0 || list.GetItemData(selected) != reinterpret_cast<DWORD_PTR>(listed))
            Fail(when + ": the image list selects another recording");
        // Only the raw recording has colour settings; the other windows show none.
        const bool colour = expected->GetActiveDocument()->IsKindOf(RUNTIME_CLASS(CKivDoc));
        CWnd* chroma = main->GetCtrlBar()->GetDlgItem(IDC_CTRL_CHROMA);
        CString text;
        chroma->GetWindowText(text);
        if (colour != (!text.IsEmpty() && chroma->IsWindowEnabled()))
            Fail(when + ": the chroma field shows \"" + text.GetString() + "\" for this window");
    }

    // With no window left the bar's fields are empty and disabled.
    void CheckNoRecording(CMainFrame* main) {
        for (UINT id : {IDC_CTRL_FRAME, IDC_CTRL_PLAYBEGIN, IDC_CTRL_PLAYEND, IDC_CTRL_ZOOM,
                        IDC_CTRL_BRIGHTNESS, IDC_CTRL_CONTRAST, IDC_CTRL_CHROMA}) {
            CWnd* field = main->GetCtrlBar()->GetDlgItem(static_cast<int>(id));
            CString text;
            field->GetWindowText(text);
            if (!text.IsEmpty() || field->IsWindowEnabled())
                Fail("with no window, field " + std::to_string(id) + " shows \"" + text.GetString() + "\"" +
                     (field->IsWindowEnabled() ? " and takes input" : ""));
        }
    }

    std::string m_movie;
    QDialog* m_progress = nullptr;
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

// Plays two recordings synchronised over a play range given on the command line and watches where it
// stops; then, each window on its own, types a frame number and a play begin into the control bar,
// cascades the windows, switches between them with the Window menu, plays them together again, brings
// the other one to the front (the colour fields then speak for it) and closes them while they play.
class RangeProbe : public ProgramProbe {
public:
    explicit RangeProbe(CWqLinkApp& app) : ProgramProbe(app) {}

    bool played = false;
    long stoppedAt = 0;                // the recording's frame
    std::optional<long> pictureAtStop; // the frame its picture shows
    CString fieldAtStop;
    long typedFrame = 0;
    std::optional<long> pictureAfterTyping;
    CString fieldAfterTyping;
    long playBeginAfterTyping = 0;
    CString beginFieldAfterTyping;
    std::vector<QRect> cascaded;
    // The windows the Window menu lists, each time it opened.
    std::vector<std::vector<std::string>> windowLists;
    bool playedAgain = false;
    // The chroma field, and the chroma of the window brought to the front while they play together.
    CString chromaFieldInSync = "not seen";
    CString chromaInSync;
    CString frameFieldAfterClosing = "not seen";
    bool syncModeAfterClosing = true;

private:
    CVesloDoc* First() {
        CVesloDoc* first = nullptr;
        ForEachDoc([&first](CVesloDoc* doc) {
            if (first == nullptr && doc->GetRecordBegin() < 0)
                first = doc;
        });
        return first;
    }
    template <class F> void ForEachDoc(F f) {
        for (POSITION pos = m_app.GetFirstDocTemplatePosition(); pos != nullptr;) {
            CDocTemplate* docTemplate = m_app.GetNextDocTemplate(pos);
            for (POSITION d = docTemplate->GetFirstDocPosition(); d != nullptr;)
                f(static_cast<CVesloDoc*>(docTemplate->GetNextDoc(d)));
        }
    }
    // Types the text into a field of the control bar and presses Enter, as the user does.
    static void Type(CMainFrame* main, UINT id, const char* text) {
        auto* edit =
            qobject_cast<QLineEdit*>(main->GetCtrlBar()->GetDlgItem(static_cast<int>(id))->GetWidget());
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void OpenWindowMenu(CMainFrame* main) {
        auto* window = qobject_cast<QMainWindow*>(main->GetWidget());
        for (QAction* action : window->menuBar()->actions()) {
            if (action->text() == "&Window")
                m_windowMenu = action->menu();
        }
        if (m_windowMenu == nullptr)
            return Fail("the menu has no Window popup");
        const QRect place = window->menuBar()->actionGeometry(m_windowMenu->menuAction());
        m_windowMenu->popup(window->menuBar()->mapToGlobal(place.bottomLeft()));
    }
    static CString FieldText(CMainFrame* main, UINT id) {
        CString text;
        main->GetCtrlBar()->GetDlgItemText(static_cast<int>(id), text);
        return text;
    }

    void Tick() override {
        CMainFrame* main = m_app.GetMainFrame();
        if (main == nullptr)
            return;
        CVesloDoc* doc = First();
        switch (m_phase) {
        case 0: // synchronised playback runs, and stops by itself at the end of the range
            played = played || main->IsSyncPlaying();
            if ((!played || main->IsSyncPlaying()) && Elapsed() < 20.0)
                return;
            if (--m_wait > 0)
                return;
            if (doc == nullptr) {
                Fail("the recording did not open");
                return Close(main);
            }
            stoppedAt = doc->GetCurrentFrame();
            pictureAtStop = ShownFrameNumber(doc);
            fieldAtStop = FieldText(main, IDC_CTRL_FRAME);
            KeepScreenshot(main->GetWidget(),
                           "kivic_sync_range_end_" + QGuiApplication::platformName().toStdString() + ".png");
            main->SendMessage(WM_COMMAND, ID_SYNC_MODE);
            doc->ActivateFirstView();
            m_phase = 1;
            m_wait = 4;
            return;
        case 1: // a frame number typed into the frame field
            if (--m_wait > 0)
                return;
            Type(main, IDC_CTRL_FRAME, "25");
            m_phase = 2;
            m_wait = 4;
            return;
        case 2: // and a play begin typed into its field
            if (--m_wait > 0)
                return;
            typedFrame = doc->GetCurrentFrame();
            pictureAfterTyping = ShownFrameNumber(doc);
            fieldAfterTyping = FieldText(main, IDC_CTRL_FRAME);
            Type(main, IDC_CTRL_PLAYBEGIN, "-3");
            m_phase = 3;
            m_wait = 4;
            return;
        case 3:
            if (--m_wait > 0)
                return;
            playBeginAfterTyping = doc->GetPlayBegin();
            beginFieldAfterTyping = FieldText(main, IDC_CTRL_PLAYBEGIN);
            KeepScreenshot(main->GetWidget(),
                           "kivic_typed_frame_" + QGuiApplication::platformName().toStdString() + ".png");
            main->SendMessage(WM_COMMAND, ID_WINDOW_CASCADE);
            m_phase = 4;
            m_wait = 4;
            return;
        case 4: { // cascaded: each window as large as the area leaves it, not its title bar alone
            if (--m_wait > 0)
                return;
            const QRect area = main->GetMdiArea()->viewport()->rect();
            for (QMdiSubWindow* sub : main->GetMdiArea()->subWindowList()) {
                cascaded.push_back(sub->geometry());
                if (!area.contains(sub->geometry()) || sub->width() < area.width() / 2 ||
                    sub->height() < area.height() / 2)
                    Fail("a cascaded window has " + std::to_string(sub->width()) + " x " +
                         std::to_string(sub->height()) + " of an area of " + std::to_string(area.width()) +
                         " x " + std::to_string(area.height()));
            }
            // The active window in front, stepped below the others, so their title bars show.
            const QMdiSubWindow* active = main->MDIGetActive()->GetSubWindow();
            for (QMdiSubWindow* sub : main->GetMdiArea()->subWindowList()) {
                if (sub != active && sub->y() >= active->y())
                    Fail("the active window covers the title bar of another");
            }
            KeepScreenshot(main->GetWidget(),
                           "kivic_cascade_" + QGuiApplication::platformName().toStdString() + ".png");
            OpenWindowMenu(main);
            m_phase = 5;
            m_wait = 6;
            return;
        }
        case 5: // the Window menu lists the windows, the active one checked; the other one is chosen
        case 6: {
            if (--m_wait > 0)
                return;
            std::vector<std::string> listed;
            QAction* other = nullptr;
            for (QAction* action : m_windowMenu->actions()) {
                if (action->isSeparator() || action->text() == "&Tile" || action->text() == "&Cascade")
                    continue;
                listed.push_back(action->text().toStdString() + (action->isChecked() ? " (checked)" : ""));
                if (!action->isChecked())
                    other = action;
            }
            windowLists.push_back(listed);
            if (m_phase == 5)
                KeepScreenshot(main->GetWidget(),
                               "kivic_window_menu_" + QGuiApplication::platformName().toStdString() + ".png");
            m_windowMenu->hide();
            if (m_phase == 6) {
                // Played together once more, and every window closes while they play.
                main->SendMessage(WM_COMMAND, ID_SYNC_MODE);
                main->SendMessage(WM_COMMAND, ID_SYNC_PLAY);
                m_phase = 7;
                m_wait = 6;
                return;
            }
            if (other != nullptr)
                other->trigger();
            OpenWindowMenu(main);
            m_phase = 6;
            m_wait = 6;
            return;
        }
        case 7: // the other window comes to the front while they play together
            if (--m_wait > 0)
                return;
            playedAgain = main->IsSyncPlaying();
            doc->ActivateFirstView();
            m_phase = 9;
            m_wait = 4;
            return;
        case 9: // its colour shows in the bar; every window closes while they play
            if (--m_wait > 0)
                return;
            chromaFieldInSync = FieldText(main, IDC_CTRL_CHROMA);
            chromaInSync.Format("%d", static_cast<int>(static_cast<CKivDoc*>(doc)->GetChroma()));
            m_app.CloseAllDocuments(FALSE);
            m_phase = 8;
            m_wait = 10;
            return;
        case 8: { // nothing plays on: the bar speaks for no recording
            if (--m_wait > 0)
                return;
            frameFieldAfterClosing = FieldText(main, IDC_CTRL_FRAME);
            syncModeAfterClosing = main->IsSyncMode() || main->IsSyncPlaying();
            KeepScreenshot(main->GetWidget(),
                           "kivic_sync_closed_" + QGuiApplication::platformName().toStdString() + ".png");
            return Close(main);
        }
        default:
            return;
        }
    }

    int m_phase = 0;
    int m_wait = 6;
    QMenu* m_windowMenu = nullptr;
};

// Reads the program's message boxes as the user does: each one, once drawn, is shot with the screen
// around it and answered with its button; when no box has come for two seconds the program is closed.
class MessageProbe : public ProgramProbe {
public:
    MessageProbe(CWqLinkApp& app, std::string shotName)
        : ProgramProbe(app), m_shotName(std::move(shotName)) {}

    std::vector<std::string> texts;
    std::vector<std::string> shots;
    int documentsLeft = -1;

private:
    void Tick() override {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (++m_ticksShown < 10)
                return;
            m_ticksShown = 0;
            texts.push_back(box->text().toStdString());
            StackAsWindowManager();
            std::string path;
            if (!SaveShot(GrabShot(box), m_shotName + std::to_string(texts.size()) + ".png", &path))
                Fail("the screenshot could not be saved as " + path);
            shots.push_back(path);
            box->buttons().front()->click();
            m_quietFrom = Elapsed();
            return;
        }
        CMainFrame* main = m_app.GetMainFrame();
        if (main == nullptr || Elapsed() < m_quietFrom + 2.0)
            return;
        documentsLeft = main->GetImgListBar()->GetItemCount();
        Close(main);
    }

    std::string m_shotName;
    int m_ticksShown = 0;
    double m_quietFrom = 0.0;
};

// A BMP of 37 x 21 in one colour with a white square whose place moves with n: 24 bits, or 16 bits
// in 5-6-5 bit fields as ImageMagick and other programs write them.
void WriteBmp(const std::string& path, int n, bool rgb565 = false) {
    const int width = 37, height = 21, bytes = rgb565 ? 2 : 3, stride = (width * bytes + 3) & ~3;
    const DWORD offset = rgb565 ? 66 : 54, masks[3] = {0xF800, 0x07E0, 0x001F};
    std::string file(offset + static_cast<size_t>(stride) * height, '\0');
    BITMAPFILEHEADER fh{MAKEWORD('B', 'M'), static_cast<DWORD>(file.size()), 0, 0, offset};
    BITMAPINFOHEADER ih{40, width, height, 1, static_cast<WORD>(8 * bytes), rgb565 ? BI_BITFIELDS : BI_RGB, 0,
                        0,  0,     0,      0};
    std::memcpy(file.data(), &fh, sizeof fh);
    std::memcpy(file.data() + 14, &ih, sizeof ih);
    std::memcpy(file.data() + 54, masks, rgb565 ? sizeof masks : 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            char* p = file.data() + offset + static_cast<size_t>(y) * stride + bytes * x;
            const bool square = x >= 3 * n && x < 3 * n + 6 && y >= 8 && y < 14;
            if (rgb565) {
                const WORD v = square ? 0xFFFF : (0x20 >> 3) << 11 | (0x60 >> 2) << 5 | 0xC0 >> 3;
                std::memcpy(p, &v, 2);
                continue;
            }
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

// An uncompressed movie of ffmpeg's test picture at 25 frames per second; size is "<width>x<height>".
bool WriteTestMovie(const std::string& path, const char* size, int frames) {
    return std::system(("ffmpeg -loglevel error -y -f lavfi -i testsrc=size=" + std::string(size) +
                        ":rate=25 -frames:v " + std::to_string(frames) + " -c:v rawvideo -pix_fmt bgr24 '" +
                        path + "'")
                           .c_str()) == 0;
}

// A raw recording of 160 x 120 frames.
bool WriteTestRecording(const std::string& path, int frames, std::int32_t begin, std::string& error,
                        std::int32_t rate = 500, std::uint8_t recChroma = 5) {
    cm8::Recording rec;
    rec.recChroma = recChroma;
    rec.width = 160;
    rec.height = 120;
    rec.frames = frames;
    rec.begin = begin;
    rec.rate = rate;
    return cm8::WriteRecording(path, rec, error);
}

} // namespace

TEST(KivIcRecordingProgram, OpensEveryKindTunesFromTheImageMenuAndPlays) {
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed (it makes the AVI movie)";
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SetUpProgram(dir, &error)) << error;

    const std::string raw = dir.Path("shot.cm8");
    ASSERT_TRUE(WriteTestRecording(raw, 200, -20, error)) << error;
    const std::string movie = dir.Path("movie.avi");
    ASSERT_TRUE(WriteTestMovie(movie, "120x90", 10));
    std::filesystem::create_directories(dir.Path("seq"));
    for (int n = 0; n < 5; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "run%08d.bmp", n);
        WriteBmp(dir.Path("seq/") + name, n, n == 0); // the frame shown first in 5-6-5 bit fields
    }
    std::filesystem::current_path(dir.Path("seq"));

    MessageBoxRecorder boxes;
    SetCommandLineArgs({"KivIc", raw, dir.Path("seq/run00000002.bmp")});

    AfxEnsureQtApp();
    CWqLinkApp app;
    Probe probe(app, movie);
    QTimer::singleShot(0, [&probe] { probe.Start(50); });
    app.Run();

    for (const std::string& failure : probe.failures)
        ADD_FAILURE() << failure;
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.front();
    EXPECT_EQ(probe.kinds.size(), 3u);
    EXPECT_GT(probe.levelBefore, 0.0);
    EXPECT_GT(probe.levelAfter, probe.levelBefore + 5.0) << "+12dB did not brighten the picture";
    EXPECT_GT(probe.playedTo, probe.playedFrom) << "the recording did not play";
    EXPECT_EQ(probe.zoomShown, 50) << "Zoom Out from 100 %";
    EXPECT_EQ(probe.chromaAfterReload, probe.chromaOfReloaded)
        << "after B/W and Reload the chroma field does not show the recording's chroma";
    EXPECT_GT(probe.paintedAfterZoomOut, 0) << "the zoomed-out picture is not shown";
    EXPECT_LT(probe.paintedAfterZoomOut, probe.pictureAfterZoomOut * 3 / 2)
        << "more of the view is painted than the zoomed-out picture: the larger one is left around it";
    std::printf("REPORT mean level %.1f -> %.1f after +12dB; played frames %ld -> %ld; after Zoom Out %ld "
                "pixels painted for a picture of %ld; screenshot %s\n",
                probe.levelBefore, probe.levelAfter, probe.playedFrom, probe.playedTo,
                probe.paintedAfterZoomOut, probe.pictureAfterZoomOut, probe.shot.c_str());
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
        MessageBoxRecorder boxes;
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
            std::printf("REPORT %s: %zu message(s); screenshot %s\n", option, boxes.texts.size(),
                        probe.shot.c_str());
        }
        ASSERT_EQ(boxes.texts.size(), 1u)
            << (boxes.texts.empty() ? "" : boxes.texts.front() + " / " + boxes.texts.back());
        EXPECT_EQ(boxes.texts[0].rfind("Can't read frame 3 of " + raw + "\n", 0), 0u) << boxes.texts[0];
    }
    unsetenv("KIVIC_REGISTRY");
    unsetenv("KIVIC_BREMFC_PARAM");
}

TEST(KivIcRecordingProgram, FilesWhoseFramesCannotBeShownOrNumberedAreRefusedWithTheirReason) {
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed (it makes the AVI movie)";
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SetUpProgram(dir, &error)) << error;

    // A recording whose second frame would be numbered past the 32-bit range, and a movie whose frames
    // are the lowest height a 32-bit value holds.
    const std::string raw = dir.Path("numbered.cm8");
    ASSERT_TRUE(WriteTestRecording(raw, 2, INT32_MAX, error)) << error;
    const std::string movie = dir.Path("tall.avi");
    ASSERT_TRUE(WriteTestMovie(movie, "64x48", 2));
    std::string bytes = TempDir::ReadAll(movie);
    const std::size_t strf = bytes.find("strf");
    ASSERT_NE(strf, std::string::npos);
    const std::int32_t lowest = INT32_MIN;
    std::memcpy(bytes.data() + strf + 8 + 8, &lowest, 4); // biHeight
    TempDir::WriteAll(movie, bytes);
    std::filesystem::current_path(dir.Path(""));

    AfxEnsureQtApp();
    const MessageBoxNotifier previous = AfxInstallQtMessageBoxNotifier();
    SetCommandLineArgs({"KivIc", raw, movie});
    {
        CWqLinkApp app;
        MessageProbe probe(app, "kivic_refused_" + QGuiApplication::platformName().toStdString() + "_");
        QTimer::singleShot(0, [&probe] { probe.Start(50); });
        app.Run();
        for (const std::string& failure : probe.failures)
            ADD_FAILURE() << failure;
        ASSERT_EQ(probe.texts.size(), 2u) << (probe.texts.empty() ? "" : probe.texts.front());
        EXPECT_EQ(probe.texts[0],
                  "Can't open" + raw +
                      "\nthe recording's frame numbering or count is out of range: first frame "
                      "2147483647, 2 frames");
        EXPECT_EQ(probe.texts[1],
                  "Can't open" + movie +
                      "\nファイルが破損しているか、フォーマットが不明のため、読み取りできませんでした。");
        EXPECT_EQ(probe.documentsLeft, 0) << "a refused file left a window";
        for (const std::string& shot : probe.shots)
            std::printf("REPORT message shown; screenshot %s\n", shot.c_str());
    }
    SetMessageBoxNotifier(previous);
    unsetenv("KIVIC_REGISTRY");
    unsetenv("KIVIC_BREMFC_PARAM");
}

TEST(KivIcRecordingProgram,
     SynchronisedPlaybackStopsAtItsPlayEndTypedFramesAreTakenAndTheWindowMenuArranges) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SetUpProgram(dir, &error)) << error;
    // Frames -5 to 54 at 1000 frames per second, and 0 to 19 at 500: one axis of 1000 frames per second.
    // The first recorded with chroma 50, the second with 100.
    ASSERT_TRUE(WriteTestRecording(dir.Path("fast.cm8"), 60, -5, error, 1000, 3)) << error;
    ASSERT_TRUE(WriteTestRecording(dir.Path("s&low.cm8"), 20, 0, error)) << error;
    std::filesystem::current_path(dir.Path(""));

    AfxEnsureQtApp();
    MessageBoxRecorder boxes;
    SetCommandLineArgs({"KivIc", "fast.cm8", "s&low.cm8", "-SPlay", "-SetRange", "10", "16"});
    CWqLinkApp app;
    RangeProbe probe(app);
    QTimer::singleShot(0, [&probe] { probe.Start(50); });
    app.Run();

    for (const std::string& failure : probe.failures)
        ADD_FAILURE() << failure;
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.front();
    EXPECT_TRUE(probe.played) << "synchronised playback did not start";
    // Stopped at the end of the play range: the picture, the recording and the bar all at frame 16.
    EXPECT_EQ(probe.stoppedAt, 16);
    EXPECT_EQ(probe.pictureAtStop, std::optional<long>(16));
    EXPECT_STREQ(probe.fieldAtStop, "+00016");
    // The typed frame is shown, and the typed play begin holds.
    EXPECT_EQ(probe.typedFrame, 25);
    EXPECT_EQ(probe.pictureAfterTyping, std::optional<long>(25));
    EXPECT_STREQ(probe.fieldAfterTyping, "+00025");
    EXPECT_EQ(probe.playBeginAfterTyping, -3);
    EXPECT_STREQ(probe.beginFieldAfterTyping, "-00003");
    ASSERT_EQ(probe.cascaded.size(), 2u);
    EXPECT_NE(probe.cascaded[0].topLeft(), probe.cascaded[1].topLeft()) << "the windows are not stepped";
    // The Window menu lists both windows in the order they opened (an ampersand of a title shown as it
    // is); choosing the other one activates it.
    using List = std::vector<std::string>;
    // Closing every window while they play together ends it: no frame number goes on counting.
    EXPECT_TRUE(probe.playedAgain);
    EXPECT_STREQ(probe.chromaFieldInSync, probe.chromaInSync)
        << "the chroma field shows another window's chroma than the active one's";
    EXPECT_STREQ(probe.frameFieldAfterClosing, "");
    EXPECT_FALSE(probe.syncModeAfterClosing) << "synchronised playback goes on without a recording";
    EXPECT_EQ(probe.windowLists,
              (std::vector<List>{{"&1 fast (checked)", "&2 s&&low"}, {"&1 fast", "&2 s&&low (checked)"}}));
    std::printf(
        "REPORT stopped at frame %ld, picture %ld, field %s; typed 25: frame %ld, picture %ld, field %s; "
        "screenshot %s\n",
        probe.stoppedAt, probe.pictureAtStop.value_or(-999), probe.fieldAtStop.GetString(), probe.typedFrame,
        probe.pictureAfterTyping.value_or(-999), probe.fieldAfterTyping.GetString(), probe.shot.c_str());
    unsetenv("KIVIC_REGISTRY");
    unsetenv("KIVIC_BREMFC_PARAM");
}
