// The probe of a program test: it works the running program from the program's own event loop, one
// step on every tick of its timer, as a user would, collects what went wrong and closes the program
// at the end as the user does.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <QTimer>

#include "KivIc/App/WqLinkApp.h"

class CMainFrame;
class QWidget;

class ProgramProbe {
public:
    explicit ProgramProbe(CWqLinkApp& app) : m_app(app) {}
    virtual ~ProgramProbe() = default;
    ProgramProbe(const ProgramProbe&) = delete;
    ProgramProbe& operator=(const ProgramProbe&) = delete;

    // Ticks every interval milliseconds from now on; called once the program's event loop runs.
    void Start(int intervalMs);

    std::vector<std::string> failures;
    // Where the screenshot went.
    std::string shot;

protected:
    // One step of the probe.
    virtual void Tick() = 0;
    void Fail(const std::string& text) { failures.push_back(text); }
    // Seconds since Start.
    double Elapsed() const;
    // The screenshot (tests/support/program_shot.h) under that name; a failure when it cannot be saved.
    void KeepScreenshot(QWidget* widget, const std::string& name);
    // Stops ticking and closes the program: the main window as the user closes it, or the application
    // when it has none.
    void Close(CMainFrame* main);

    CWqLinkApp& m_app;
    QTimer m_timer;

private:
    std::chrono::steady_clock::time_point m_begin{};
};
