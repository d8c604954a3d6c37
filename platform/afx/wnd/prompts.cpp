#include "platform/afx/wnd/prompts.h"

#include <QEvent>
#include <QWidget>

#include "platform/afx/afxwin.h"

namespace {

// Splits the prompt string of a command at its first line feed.
CString PromptPart(UINT nID, bool tip) {
    CString prompt;
    if (nID == 0 || !AfxLoadString(nID, prompt))
        return CString();
    const int nl = prompt.Find('\n');
    if (tip)
        return nl >= 0 ? prompt.Mid(nl + 1) : CString();
    return nl >= 0 ? prompt.Left(nl) : prompt;
}

void TellFrame(HWND hWndBar, UINT nID) {
    CWnd* bar = CWnd::FromHandle(hWndBar);
    CFrameWnd* frame = bar != nullptr ? bar->GetTopLevelFrame() : nullptr;
    if (frame == nullptr && bar != nullptr && bar->GetOwner() != nullptr)
        frame = bar->GetOwner()->GetTopLevelFrame();
    if (frame != nullptr)
        frame->SendMessage(WM_SETMESSAGESTRING, nID, 0);
}

class PromptFilter : public QObject {
public:
    PromptFilter(QWidget* widget, HWND hWndBar, std::function<UINT()> currentId)
        : QObject(widget), m_hWndBar(hWndBar), m_currentId(std::move(currentId)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Enter) {
            const UINT id = m_currentId();
            const CString tip = AfxCommandToolTip(id);
            if (!tip.IsEmpty())
                static_cast<QWidget*>(watched)->setToolTip(QString::fromUtf8(tip.GetString()));
            if (id != 0)
                TellFrame(m_hWndBar, id);
        } else if (event->type() == QEvent::Leave) {
            TellFrame(m_hWndBar, AFX_IDS_IDLEMESSAGE);
        }
        return false;
    }

private:
    HWND m_hWndBar;
    std::function<UINT()> m_currentId;
};

} // namespace

CString AfxCommandStatusText(UINT nID) {
    if (nID == AFX_IDS_IDLEMESSAGE) {
        const CString idle = AfxString(AFX_IDS_IDLEMESSAGE);
        return idle.IsEmpty() ? CString("Ready") : idle;
    }
    return PromptPart(nID, false);
}

CString AfxCommandToolTip(UINT nID) {
    return PromptPart(nID, true);
}

void AfxAttachCommandPrompt(QWidget* widget, HWND hWndBar, std::function<UINT()> currentId) {
    if (widget != nullptr)
        widget->installEventFilter(new PromptFilter(widget, hWndBar, std::move(currentId)));
}
