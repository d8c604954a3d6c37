// Shared pieces of the tracking dialog tests: a modal hook that is taken away again, pressing a
// dialog's button and reading a field.
#pragma once

#include "afx/afx_test_app.h"

// Answers the modal dialogs run while it lives.
class ModalAnswer {
public:
    explicit ModalAnswer(AfxModalHook hook) { AfxSetModalHook(std::move(hook)); }
    ~ModalAnswer() { AfxSetModalHook(nullptr); }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;
};

// Presses the dialog's button as the user would.
inline void Press(CDialog* d, int id) {
    static_cast<CButton*>(d->GetDlgItem(id))->Click();
}

inline CString FieldText(CDialog* d, int id) {
    CString text;
    d->GetDlgItemText(id, text);
    return text;
}
