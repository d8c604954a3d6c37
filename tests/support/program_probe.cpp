#include "tests/support/program_probe.h"

#include "KivIc/Main/MainFrame.h"
#include "tests/support/program_shot.h"

void ProgramProbe::Start(int intervalMs) {
    m_begin = std::chrono::steady_clock::now();
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    m_timer.start(intervalMs);
}

double ProgramProbe::Elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_begin).count();
}

void ProgramProbe::KeepScreenshot(QWidget* widget, const std::string& name) {
    if (!KeepShot(widget, name, &shot))
        Fail("the screenshot could not be saved as " + shot);
}

void ProgramProbe::Close(CMainFrame* main) {
    m_timer.stop();
    if (main != nullptr)
        main->PostMessage(WM_CLOSE);
    else
        m_app.PostQuit();
}
