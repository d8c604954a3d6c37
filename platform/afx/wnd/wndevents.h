// The bridge from a window's Qt widget to its messages (internal to the window layer).
#pragma once

#include <QObject>

class CWnd;
class QEvent;
class QTimerEvent;

namespace kivic::afx {

class WndEvents : public QObject {
public:
    explicit WndEvents(CWnd* wnd) : m_wnd(wnd) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Nesting depth of events being handled for this window (the widget must outlive them).
    int depth() const { return m_depth; }
    void detach() { m_wnd = nullptr; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    bool Deliver(QEvent* event);
    CWnd* m_wnd;
    int m_depth = 0;
};

// Key codes of Qt as virtual-key numbers.
UINT VirtualKeyFromQt(int key);

} // namespace kivic::afx
