// Shared pieces of the window-framework tests: the Qt application (offscreen), a recorder of
// message boxes, and pumping of queued work.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QWidget>

#include "platform/afx/afxwin.h"

// Installs itself as the message-box notifier for its lifetime and keeps every text shown.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK) {
        m_old = SetMessageBoxNotifier([this, answer](HWND, const char* text, const char*, UINT) {
            texts.emplace_back(text != nullptr ? text : "");
            return answer;
        });
    }
    ~MessageBoxRecorder() { SetMessageBoxNotifier(m_old); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
    std::vector<std::string> texts;

private:
    MessageBoxNotifier m_old;
};

inline void EnsureQt() {
    AfxEnsureQtApp();
}

inline void Pump() {
    for (int i = 0; i < 3; ++i)
        AfxPumpMessages();
}
