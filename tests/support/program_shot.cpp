#include "tests/support/program_shot.h"

#include <cstdlib>
#include <filesystem>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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
