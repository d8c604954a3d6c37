// Window icons: the big and the small icon of a window merged into its one Qt window icon.
#include <QIcon>
#include <QMdiSubWindow>
#include <QWidget>

#include "platform/afx/afxwin.h"

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    const int which = bBigIcon ? 0 : 1;
    const HICON previous = m_hIcon[which];
    m_hIcon[which] = hIcon;
    const QIcon big = AfxIconFromHandle(m_hIcon[0]);
    const QIcon small = AfxIconFromHandle(m_hIcon[1]);
    // Each icon brings its own sizes; where both have one, the later (small) one is shown.
    QIcon shown;
    for (const QIcon& part : {big, small}) {
        for (const QSize& size : part.availableSizes())
            shown.addPixmap(part.pixmap(size));
    }
    if (shown.isNull())
        shown = !big.isNull() ? big : small;
    if (m_pWidget != nullptr) {
        m_pWidget->setWindowIcon(shown);
        // A child window's title bar belongs to the sub-window of the child-window area around it.
        if (auto* sub = qobject_cast<QMdiSubWindow*>(m_pWidget->parentWidget()))
            sub->setWindowIcon(shown);
    }
    return previous;
}
