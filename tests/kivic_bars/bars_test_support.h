// Shared pieces of the bar tests: the Qt application and a recorder of message boxes.
#pragma once

#include <string>
#include <vector>

#include "platform/afx/afxwin.h"

inline void EnsureBarsApp() {
    AfxEnsureQtApp();
}

// Keeps every message-box text shown while it lives.
class BoxRecorder {
public:
    BoxRecorder() {
        m_old = SetMessageBoxNotifier([this](HWND, const char* text, const char*, UINT) {
            texts.emplace_back(text != nullptr ? text : "");
            return IDOK;
        });
    }
    ~BoxRecorder() { SetMessageBoxNotifier(m_old); }
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;
    std::vector<std::string> texts;

private:
    MessageBoxNotifier m_old;
};
