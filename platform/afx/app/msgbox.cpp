#include "platform/afx/app/msgbox.h"

#include <string>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/afx/afxwin.h"

namespace {

struct BoxButton {
    QMessageBox::StandardButton qt;
    int id;
};

// The buttons of each box type, left to right.
std::vector<BoxButton> ButtonsOf(UINT nType) {
    switch (nType & 0x0Fu) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {
            {QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(UINT nType) {
    switch (nType & 0xF0u) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

bool StaysOnTop(const QWidget* window) {
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// The owner's window, or one of the windows that own it.
bool IsOwnedBy(QWidget* window, const QWidget* owner) {
    for (QWidget* w = window; w != nullptr;
         w = w->parentWidget() != nullptr ? w->parentWidget()->window() : nullptr) {
        if (w == owner)
            return true;
    }
    return false;
}

QWidget* OwnerWindowOf(HWND owner) {
    if (CWnd* wnd = CWnd::FromHandle(owner); wnd != nullptr && wnd->GetWidget() != nullptr)
        return wnd->GetWidget()->window();
    if (CWnd* main = AfxGetMainWnd(); main != nullptr && main->GetWidget() != nullptr)
        return main->GetWidget()->window();
    return QApplication::activeWindow();
}

// The box's parent: its owner's window, unless a window of the program stays on top (the progress
// window of a conversion), which would cover a box owned by any other: then that window owns the box,
// so that it opens above it, readable and answerable where it stands.
QWidget* ParentOf(HWND owner) {
    QWidget* parent = OwnerWindowOf(owner);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && StaysOnTop(w) && !IsOwnedBy(parent, w))
            return w;
    }
    return parent;
}

int ShowBox(HWND owner, const char* text, const char* caption, UINT nType) {
    const std::vector<BoxButton> buttons = ButtonsOf(nType);
    if (!AfxIsGuiThread() || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        OutputDebugStringA((std::string("[") + caption + "] " + text + "\n").c_str());
        return buttons.front().id;
    }
    QMessageBox box(IconOf(nType), QString::fromUtf8(caption), QString::fromUtf8(text), QMessageBox::NoButton,
                    ParentOf(owner));
    for (const BoxButton& b : buttons)
        box.addButton(b.qt);
    const size_t defaultIndex = (nType & 0x300u) >> 8;
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0].qt);
    // Escape and the close box answer Cancel, the only button, or No, Abort (Qt's choice of the
    // escape button).
    // Over a window that stays on top, the box stays on top too.
    QWidget* parent = box.parentWidget();
    if ((nType & (MB_TOPMOST | MB_SYSTEMMODAL)) || (parent != nullptr && StaysOnTop(parent)))
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const BoxButton& b : buttons) {
        if (b.qt == clicked)
            return b.id;
    }
    return buttons.size() == 1 ? buttons.front().id : IDCANCEL;
}

} // namespace

MessageBoxNotifier AfxInstallQtMessageBoxNotifier() {
    return SetMessageBoxNotifier(ShowBox);
}
