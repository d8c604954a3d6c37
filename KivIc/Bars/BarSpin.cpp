#include "KivIc/Bars/BarSpin.h"

#include <algorithm>
#include <cstdlib>

#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

IMPLEMENT_DYNAMIC(CBarSpin, CWnd)

BOOL CBarSpin::Create(CWnd* pParentWnd, const RECT& rect, UINT nID) {
    auto* widget = new QWidget;
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(widget);
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(widget);
    down->setArrowType(Qt::DownArrow);
    layout->addWidget(up);
    layout->addWidget(down);
    if (!AttachWidget(widget, pParentWnd, nID, WS_CHILD | WS_VISIBLE, false)) {
        delete widget;
        return FALSE;
    }
    QObject::connect(up, &QToolButton::clicked, widget, [this] { Step(1); });
    QObject::connect(down, &QToolButton::clicked, widget, [this] { Step(-1); });
    MoveWindow(&rect, FALSE);
    return TRUE;
}

void CBarSpin::SetRange(int lower, int upper) {
    m_lower = std::min(lower, upper);
    m_upper = std::max(lower, upper);
    m_pos = std::clamp(m_pos, m_lower, m_upper);
}

void CBarSpin::GetRange(int& lower, int& upper) const {
    lower = m_lower;
    upper = m_upper;
}

void CBarSpin::SetPos(int pos) {
    m_pos = std::clamp(pos, m_lower, m_upper);
    if (m_buddy != nullptr) {
        CString text;
        text.Format("%d", m_pos);
        m_buddy->SetWindowText(text);
    }
}

void CBarSpin::Step(int delta) {
    int from = m_pos;
    if (m_buddy != nullptr) {
        CString text;
        m_buddy->GetWindowText(text);
        char* end = nullptr;
        const long typed = std::strtol(text, &end, 10);
        if (end != static_cast<const char*>(text))
            from = static_cast<int>(std::clamp<long>(typed, m_lower, m_upper));
    }
    SetPos(from + delta);
    if (m_onChange)
        m_onChange(m_pos);
}
