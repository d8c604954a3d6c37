#include <mutex>
#include <string>

#include "platform/win32/system.h"

namespace {

std::mutex& NotifierMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

MessageBoxNotifier& InstalledNotifier() {
    static MessageBoxNotifier* notifier = new MessageBoxNotifier;
    return *notifier;
}

int FirstButton(UINT type) {
    switch (type & 0x0Fu) {
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}

} // namespace

MessageBoxNotifier SetMessageBoxNotifier(MessageBoxNotifier notifier) {
    std::lock_guard lock(NotifierMutex());
    MessageBoxNotifier previous = std::move(InstalledNotifier());
    InstalledNotifier() = std::move(notifier);
    return previous;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    MessageBoxNotifier notifier;
    {
        std::lock_guard lock(NotifierMutex());
        notifier = InstalledNotifier();
    }
    const char* shownText = text ? text : "";
    const char* shownCaption = caption ? caption : "Error";
    if (notifier) {
        return notifier(owner, shownText, shownCaption, type);
    }
    // Nobody can answer: record the box and take its first button, so library code never blocks.
    const std::string line = std::string("[") + shownCaption + "] " + shownText + "\n";
    OutputDebugStringA(line.c_str());
    return FirstButton(type);
}
