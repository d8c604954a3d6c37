#include "tests/support/program_shot.h"

#include <cstdlib>
#include <filesystem>

#include <algorithm>
#include <utility>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

std::string ShotPath(const std::string& name) {
    const char* folder = std::getenv("KIVIC_SHOT_DIR");
    const std::string dir = folder != nullptr && *folder != '\0' ? folder : KIVIC_BINARY_DIR "/shots";
    std::error_code error;
    std::filesystem::create_directories(dir, error); // a folder that cannot be made fails the save
    return dir + "/" + name;
}

QPixmap GrabShot(QWidget* widget, bool* wholeScreen) {
    QPixmap pixmap;
    if (QGuiApplication::platformName() == "xcb" && QGuiApplication::primaryScreen() != nullptr)
        pixmap = QGuiApplication::primaryScreen()->grabWindow(0);
    const bool screen = !pixmap.isNull();
    if (!screen && widget != nullptr)
        pixmap = widget->grab();
    if (wholeScreen != nullptr)
        *wholeScreen = screen;
    return pixmap;
}

bool SaveShot(const QPixmap& pixmap, const std::string& name, std::string* path) {
    const std::string target = ShotPath(name);
    if (path != nullptr)
        *path = target;
    return !pixmap.isNull() && pixmap.save(QString::fromStdString(target));
}

bool KeepShot(QWidget* widget, const std::string& name, std::string* path) {
    return SaveShot(GrabShot(widget), name, path);
}

void StackAsWindowManager() {
    if (QGuiApplication::platformName() != "xcb")
        return;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr)
        return;
    // Each window that stays on top, or is owned by one that does, with the number of its owners.
    std::vector<std::pair<int, QWidget*>> above;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->windowHandle() == nullptr)
            continue;
        int owners = 0;
        bool onTop = false;
        for (QWidget* o = w; o != nullptr;
             o = o->parentWidget() != nullptr ? o->parentWidget()->window() : nullptr) {
            onTop = onTop || o->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            ++owners;
        }
        if (onTop)
            above.emplace_back(owners, w);
    }
    std::stable_sort(above.begin(), above.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // Straight to the X server: Qt's own raise leaves a window that a modal box blocks where it is.
    for (const auto& a : above) {
        const uint32_t mode = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(connection, static_cast<xcb_window_t>(a.second->windowHandle()->winId()),
                             XCB_CONFIG_WINDOW_STACK_MODE, &mode);
    }
    xcb_flush(connection);
    QElapsedTimer redraw;
    redraw.start();
    while (redraw.elapsed() < 200) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

double ShareSeen(QWidget* window, const QPixmap& screen, bool wholeScreen) {
    if (!wholeScreen)
        return 1.0;
    const QImage own = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage shown = screen.toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint at = window->mapToGlobal(QPoint(0, 0));
    long same = 0;
    long all = 0;
    for (int y = 0; y < own.height(); ++y) {
        for (int x = 0; x < own.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            if (!shown.rect().contains(p))
                continue;
            ++all;
            same += own.pixel(x, y) == shown.pixel(p) ? 1 : 0;
        }
    }
    return all > 0 ? static_cast<double>(same) / static_cast<double>(all) : 0.0;
}
