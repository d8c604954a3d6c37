#include "platform/afx/ctrl/progressctrl.h"

#include <algorithm>

#include <QProgressBar>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

namespace {

LRESULT PackRange(int lower, int upper) {
    return static_cast<LRESULT>(
        static_cast<DWORD>(MAKELONG(static_cast<WORD>(lower), static_cast<WORD>(upper))));
}

} // namespace

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    auto* bar = new QProgressBar;
    bar->setOrientation((dwStyle & PBS_VERTICAL) ? Qt::Vertical : Qt::Horizontal);
    // The bar shows how far, not a percentage text.
    bar->setTextVisible(false);
    if (rect.right > rect.left && rect.bottom > rect.top)
        bar->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (!AttachWidget(bar, pParentWnd, nID, dwStyle | WS_CHILD, false)) {
        delete bar;
        return FALSE;
    }
    SyncWidget();
    return TRUE;
}

void CProgressCtrl::SyncWidget() {
    auto* bar = qobject_cast<QProgressBar*>(GetWidget());
    if (bar == nullptr)
        return;
    if (m_nUpper == m_nLower) {
        // Qt shows an empty range as a busy animation; here it is simply an empty bar.
        bar->setRange(0, 1);
        bar->setValue(0);
        return;
    }
    bar->setRange(m_nLower, m_nUpper);
    bar->setValue(m_nPos);
}

void CProgressCtrl::SetRange32(int nLower, int nUpper) {
    m_nLower = nLower;
    m_nUpper = std::max(nLower, nUpper);
    m_nPos = std::clamp(m_nPos, m_nLower, m_nUpper);
    SyncWidget();
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const {
    nLower = m_nLower;
    nUpper = m_nUpper;
}

int CProgressCtrl::SetPos(int nPos) {
    const int old = m_nPos;
    m_nPos = std::clamp(nPos, m_nLower, m_nUpper);
    SyncWidget();
    return old;
}

int CProgressCtrl::OffsetPos(int nPos) {
    const long long target = static_cast<long long>(m_nPos) + nPos;
    return SetPos(static_cast<int>(std::clamp<long long>(target, m_nLower, m_nUpper)));
}

int CProgressCtrl::SetStep(int nStep) {
    const int old = m_nStep;
    m_nStep = nStep;
    return old;
}

int CProgressCtrl::StepIt() {
    const int old = m_nPos;
    const long long span = static_cast<long long>(m_nUpper) - m_nLower;
    long long next = static_cast<long long>(m_nPos) + m_nStep;
    if (span == 0)
        next = m_nLower;
    else if (next > m_nUpper)
        next = m_nLower + (next - m_nLower) % span;
    else if (next < m_nLower)
        next = m_nUpper - (m_nLower - next) % span;
    m_nPos = static_cast<int>(next);
    SyncWidget();
    return old;
}

LRESULT CProgressCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case PBM_SETRANGE: {
        const LRESULT old = PackRange(m_nLower, m_nUpper);
        SetRange32(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return old;
    }
    case PBM_SETRANGE32: {
        const LRESULT old = PackRange(m_nLower, m_nUpper);
        SetRange32(static_cast<int>(wParam), static_cast<int>(lParam));
        return old;
    }
    case PBM_GETRANGE:
        if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) {
            range->iLow = m_nLower;
            range->iHigh = m_nUpper;
        }
        return wParam != 0 ? m_nLower : m_nUpper;
    case PBM_SETPOS:
        return SetPos(static_cast<int>(wParam));
    case PBM_DELTAPOS:
        return OffsetPos(static_cast<int>(wParam));
    case PBM_SETSTEP:
        return SetStep(static_cast<int>(wParam));
    case PBM_STEPIT:
        return StepIt();
    case PBM_GETPOS:
        return m_nPos;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
