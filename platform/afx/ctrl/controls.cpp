#include "platform/afx/ctrl/controls.h"

#include <algorithm>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextBlock>

#include "platform/afx/afxwin.h"
#include "platform/afx/ctrl/progressctrl.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CBitmapButton, CButton)

namespace {

void NotifyParent(CWnd* ctrl, int code) {
    CWnd* parent = ctrl->GetParent();
    if (parent != nullptr)
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(ctrl->GetDlgCtrlID(), code),
                            reinterpret_cast<LPARAM>(ctrl->GetSafeHwnd()));
}

void Place(QWidget* w, const RECT& rect) {
    if (rect.right > rect.left && rect.bottom > rect.top)
        w->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

} // namespace

// --- Button --------------------------------------------------------------------------------------------

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    const QString caption = QString::fromUtf8(lpszCaption != nullptr ? lpszCaption : "");
    const DWORD kind = dwStyle & 0x0Fu;
    if (kind == BS_GROUPBOX) {
        auto* box = new QGroupBox(caption);
        Place(box, rect);
        if (!AttachWidget(box, pParentWnd, nID, dwStyle | WS_CHILD, false)) {
            delete box;
            return FALSE;
        }
        // The frame lies behind the controls it surrounds, whatever order the template lists them in.
        box->lower();
        return TRUE;
    }
    QAbstractButton* button = nullptr;
    if (kind == BS_AUTOCHECKBOX) {
        button = new QCheckBox(caption);
    } else if (kind == BS_AUTORADIOBUTTON) {
        auto* radio = new QRadioButton(caption);
        // Groups follow WS_GROUP, not the parent widget; a group may also have no button checked.
        radio->setAutoExclusive(false);
        button = radio;
    } else {
        auto* push = new QPushButton(caption);
        push->setAutoDefault(false);
        push->setDefault(kind == BS_DEFPUSHBUTTON);
        button = push;
    }
    Place(button, rect);
    if (!AttachWidget(button, pParentWnd, nID, dwStyle | WS_CHILD, false)) {
        delete button;
        return FALSE;
    }
    QObject::connect(button, &QAbstractButton::clicked, button, [this, kind]() {
        // A click on the checked radio button leaves it checked (Qt would have cleared it).
        if (kind == BS_AUTORADIOBUTTON) {
            SetCheck(BST_CHECKED);
            for (CButton* other : AfxGetRadioGroup(this))
                if (other != this)
                    other->SetCheck(BST_UNCHECKED);
        }
        NotifyParent(this, BN_CLICKED);
    });
    return TRUE;
}

BOOL CButton::IsRadioButton() const {
    return qobject_cast<QRadioButton*>(GetWidget()) != nullptr;
}

int CButton::GetCheck() const {
    auto* b = qobject_cast<QAbstractButton*>(GetWidget());
    return b != nullptr && b->isCheckable() && b->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck) {
    if (auto* b = qobject_cast<QAbstractButton*>(GetWidget())) {
        if (nCheck != 0)
            b->setCheckable(true);
        b->setChecked(nCheck != 0);
    }
}

void CButton::SetWindowText(LPCTSTR lpszString) {
    const QString text = QString::fromUtf8(lpszString != nullptr ? lpszString : "");
    if (auto* b = qobject_cast<QAbstractButton*>(GetWidget()))
        b->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(GetWidget()))
        box->setTitle(text);
}

void CButton::GetWindowText(CString& rString) const {
    if (auto* b = qobject_cast<QAbstractButton*>(GetWidget()))
        rString = b->text().toUtf8().constData();
    else if (auto* box = qobject_cast<QGroupBox*>(GetWidget()))
        rString = box->title().toUtf8().constData();
    else
        rString.Empty();
}

void CButton::Click() {
    if (auto* b = qobject_cast<QAbstractButton*>(GetWidget()))
        b->click();
}

// --- Edit ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CEdit, CWnd)
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    m_bMultiLine = (dwStyle & ES_MULTILINE) != 0;
    QWidget* widget = nullptr;
    if (m_bMultiLine) {
        auto* edit = new QPlainTextEdit;
        edit->setReadOnly((dwStyle & ES_READONLY) != 0);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this]() {
            if (GetWidget() != nullptr && GetWidget()->hasFocus())
                NotifyParent(this, EN_CHANGE);
        });
        widget = edit;
    } else {
        auto* edit = new QLineEdit;
        edit->setReadOnly((dwStyle & ES_READONLY) != 0);
        QObject::connect(edit, &QLineEdit::textEdited, edit, [this]() { NotifyParent(this, EN_CHANGE); });
        widget = edit;
    }
    Place(widget, rect);
    if (!AttachWidget(widget, pParentWnd, nID, dwStyle | WS_CHILD, false)) {
        delete widget;
        return FALSE;
    }
    return TRUE;
}

void CEdit::OnKillFocus(CWnd*) {
    NotifyParent(this, EN_KILLFOCUS);
}

void CEdit::SetWindowText(LPCTSTR lpszString) {
    const QString text = QString::fromUtf8(lpszString != nullptr ? lpszString : "");
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget())) {
        line->setText(text);
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(GetWidget())) {
        // CR LF ends a line; a lone CR or LF breaks it too, as the control would show it.
        QString normal = text;
        normal.replace("\r\n", "\n");
        normal.replace('\r', '\n');
        multi->setPlainText(normal);
    }
}

void CEdit::GetWindowText(CString& rString) const {
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget())) {
        rString = line->text().toUtf8().constData();
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(GetWidget())) {
        QString text = multi->toPlainText();
        text.replace("\n", "\r\n");
        rString = text.toUtf8().constData();
    } else {
        rString.Empty();
    }
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL) {
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget())) {
        if (nStartChar == 0 && nEndChar == -1)
            line->selectAll();
        else
            line->setSelection(nStartChar, nEndChar - nStartChar);
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(GetWidget())) {
        if (nStartChar == 0 && nEndChar == -1)
            multi->selectAll();
    }
}

void CEdit::SetReadOnly(BOOL bReadOnly) {
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget()))
        line->setReadOnly(bReadOnly != FALSE);
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(GetWidget()))
        multi->setReadOnly(bReadOnly != FALSE);
}

int CEdit::GetLineCount() const {
    if (auto* multi = qobject_cast<QPlainTextEdit*>(GetWidget()))
        return multi->document()->blockCount();
    return 1;
}

// --- Static --------------------------------------------------------------------------------------------

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    auto* label = new QLabel(QString::fromUtf8(lpszText != nullptr ? lpszText : ""));
    Place(label, rect);
    if (!AttachWidget(label, pParentWnd, nID, dwStyle | WS_CHILD, false)) {
        delete label;
        return FALSE;
    }
    return TRUE;
}

void CStatic::SetWindowText(LPCTSTR lpszString) {
    if (auto* label = qobject_cast<QLabel*>(GetWidget()))
        label->setText(QString::fromUtf8(lpszString != nullptr ? lpszString : ""));
}

void CStatic::GetWindowText(CString& rString) const {
    auto* label = qobject_cast<QLabel*>(GetWidget());
    rString = label != nullptr ? label->text().toUtf8().constData() : "";
}

// --- Combo box -----------------------------------------------------------------------------------------

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    auto* combo = new QComboBox;
    combo->setEditable(false);
    if (rect.right > rect.left && rect.bottom > rect.top)
        combo->setGeometry(rect.left, rect.top, rect.right - rect.left, combo->sizeHint().height());
    if (!AttachWidget(combo, pParentWnd, nID, dwStyle | WS_CHILD, false)) {
        delete combo;
        return FALSE;
    }
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [this](int) {
        if (!m_bQuiet)
            NotifyParent(this, CBN_SELCHANGE);
    });
    return TRUE;
}

int CComboBox::AddString(LPCTSTR lpszString) {
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    if (combo == nullptr)
        return CB_ERR;
    m_bQuiet = true;
    const int selected = combo->currentIndex();
    combo->addItem(QString::fromUtf8(lpszString != nullptr ? lpszString : ""));
    // Qt selects the first entry added to an empty list; the list control leaves it unselected.
    if (selected < 0)
        combo->setCurrentIndex(-1);
    m_bQuiet = false;
    return combo->count() - 1;
}

void CComboBox::ResetContent() {
    if (auto* combo = qobject_cast<QComboBox*>(GetWidget())) {
        m_bQuiet = true;
        combo->clear();
        m_bQuiet = false;
    }
}

int CComboBox::GetCount() const {
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    return combo != nullptr ? combo->count() : 0;
}

int CComboBox::GetCurSel() const {
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    return combo != nullptr && combo->currentIndex() >= 0 ? combo->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int nSelect) {
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    if (combo == nullptr)
        return CB_ERR;
    const bool valid = nSelect >= 0 && nSelect < combo->count();
    m_bQuiet = true;
    combo->setCurrentIndex(valid ? nSelect : -1);
    m_bQuiet = false;
    return valid ? nSelect : CB_ERR;
}

int CComboBox::GetLBText(int nIndex, CString& rString) const {
    rString.Empty();
    auto* combo = qobject_cast<QComboBox*>(GetWidget());
    if (combo == nullptr || nIndex < 0 || nIndex >= combo->count())
        return CB_ERR;
    rString = combo->itemText(nIndex).toUtf8().constData();
    return rString.GetLength();
}

void CComboBox::GetWindowText(CString& rString) const {
    const int selected = GetCurSel();
    if (selected == CB_ERR)
        rString.Empty();
    else
        GetLBText(selected, rString);
}

// --- Spin ---------------------------------------------------------------------------------------------

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton;
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton;
    down->setArrowType(Qt::DownArrow);
    layout->addWidget(up);
    layout->addWidget(down);
    Place(box, rect);
    if (!AttachWidget(box, pParentWnd, nID, dwStyle | WS_CHILD, false)) {
        delete box;
        return FALSE;
    }
    QObject::connect(up, &QToolButton::clicked, box, [this]() { Step(1); });
    QObject::connect(down, &QToolButton::clicked, box, [this]() { Step(-1); });
    return TRUE;
}

void CSpinButtonCtrl::SetRange32(int nLower, int nUpper) {
    m_nLower = nLower;
    m_nUpper = nUpper;
}

void CSpinButtonCtrl::GetRange32(int& lower, int& upper) const {
    lower = m_nLower;
    upper = m_nUpper;
}

int CSpinButtonCtrl::SetPos(int nPos) {
    const int old = m_nPos;
    m_nPos = std::clamp(nPos, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
    if (m_pBuddy != nullptr) {
        CString text;
        text.Format("%d", m_nPos);
        m_pBuddy->SetWindowText(text);
    }
    return old;
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy) {
    CWnd* old = m_pBuddy;
    m_pBuddy = pWndBuddy;
    return old;
}

void CSpinButtonCtrl::Step(int nDelta) {
    // The buddy's text is the position the user sees; steps start from it.
    if (m_pBuddy != nullptr) {
        CString text;
        m_pBuddy->GetWindowText(text);
        m_nPos = std::atoi(text);
    }
    const int direction = m_nUpper >= m_nLower ? 1 : -1;
    SetPos(m_nPos + nDelta * direction);
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(m_nPos)),
                            reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

// --- Slider -------------------------------------------------------------------------------------------

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    m_dwStyle = dwStyle;
    const bool vertical = (dwStyle & TBS_VERT) != 0;
    auto* slider = new QSlider(vertical ? Qt::Vertical : Qt::Horizontal);
    // The lower end lies at the top of a vertical slider, and the down arrow moves toward the upper end.
    slider->setInvertedAppearance(vertical);
    slider->setInvertedControls(vertical);
    if (dwStyle & TBS_NOTICKS)
        slider->setTickPosition(QSlider::NoTicks);
    else if (dwStyle & TBS_BOTH)
        slider->setTickPosition(QSlider::TicksBothSides);
    else
        slider->setTickPosition((dwStyle & TBS_TOP) ? QSlider::TicksAbove : QSlider::TicksBelow);
    Place(slider, rect);
    if (!AttachWidget(slider, pParentWnd, nID, dwStyle | WS_CHILD, false)) {
        delete slider;
        return FALSE;
    }
    SyncWidget();
    QObject::connect(slider, &QAbstractSlider::actionTriggered, slider,
                     [this](int action) { OnUserAction(action); });
    QObject::connect(slider, &QAbstractSlider::sliderReleased, slider, [this]() {
        if (!m_bQuiet)
            Report(TB_THUMBPOSITION);
    });
    // A value put straight into the widget (accessibility tools do) is a move of the user's as well.
    QObject::connect(slider, &QAbstractSlider::valueChanged, slider, [this](int value) {
        if (!m_bQuiet && value != m_nPos) {
            m_nPos = value;
            Report(TB_THUMBPOSITION);
        }
    });
    return TRUE;
}

void CSliderCtrl::SyncWidget() {
    auto* slider = qobject_cast<QSlider*>(GetWidget());
    if (slider == nullptr)
        return;
    m_bQuiet = true;
    slider->setRange(m_nMin, m_nMax);
    slider->setValue(m_nPos);
    slider->setSingleStep(m_nLine);
    slider->setPageStep(GetPageSize());
    const long long span = static_cast<long long>(m_nMax) - m_nMin;
    slider->setTickInterval(
        (m_dwStyle & TBS_AUTOTICKS) ? m_nTicFreq : static_cast<int>(std::clamp(span, 1LL, 0x7FFFFFFFLL)));
    m_bQuiet = false;
}

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL) {
    m_nMin = nMin;
    m_nMax = std::max(nMin, nMax);
    m_nPos = std::clamp(m_nPos, m_nMin, m_nMax);
    SyncWidget();
}

void CSliderCtrl::GetRange(int& nMin, int& nMax) const {
    nMin = m_nMin;
    nMax = m_nMax;
}

void CSliderCtrl::SetPos(int nPos) {
    m_nPos = std::clamp(nPos, m_nMin, m_nMax);
    SyncWidget();
}

void CSliderCtrl::SetTicFreq(int nFreq) {
    m_nTicFreq = std::max(1, nFreq);
    SyncWidget();
}

UINT CSliderCtrl::GetNumTics() const {
    if (m_dwStyle & TBS_NOTICKS)
        return 0;
    const long long span = static_cast<long long>(m_nMax) - m_nMin;
    if (span == 0)
        return 1;
    // The marks strictly between the ends, then the two ends.
    const long long inner = (m_dwStyle & TBS_AUTOTICKS) ? (span - 1) / m_nTicFreq : 0;
    return static_cast<UINT>(inner + 2);
}

int CSliderCtrl::SetPageSize(int nSize) {
    const int old = GetPageSize();
    m_nPage = std::max(1, nSize);
    SyncWidget();
    return old;
}

int CSliderCtrl::GetPageSize() const {
    if (m_nPage > 0)
        return m_nPage;
    const long long fifth = (static_cast<long long>(m_nMax) - m_nMin) / 5;
    return static_cast<int>(std::clamp(fifth, 1LL, 0x7FFFFFFFLL));
}

int CSliderCtrl::SetLineSize(int nSize) {
    const int old = m_nLine;
    m_nLine = std::max(1, nSize);
    SyncWidget();
    return old;
}

void CSliderCtrl::OnUserAction(int action) {
    auto* slider = qobject_cast<QSlider*>(GetWidget());
    if (m_bQuiet || slider == nullptr)
        return;
    // The widget has moved its thumb but not yet its value; the parent must already see the new one.
    m_nPos = std::clamp(slider->sliderPosition(), m_nMin, m_nMax);
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        Report(TB_LINEDOWN);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        Report(TB_LINEUP);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Report(TB_PAGEDOWN);
        break;
    case QAbstractSlider::SliderPageStepSub:
        Report(TB_PAGEUP);
        break;
    case QAbstractSlider::SliderToMinimum:
        Report(TB_TOP);
        break;
    case QAbstractSlider::SliderToMaximum:
        Report(TB_BOTTOM);
        break;
    case QAbstractSlider::SliderMove:
        // A drag ends on the release; a jump without the thumb held is over at once.
        if (slider->isSliderDown()) {
            ReportOne(TB_THUMBTRACK);
            break;
        }
        Report(TB_THUMBPOSITION);
        break;
    default:
        break;
    }
}

void CSliderCtrl::Report(int code) {
    const HWND self = GetSafeHwnd();
    ReportOne(code);
    // The parent may have closed the dialog and with it this control.
    if (CWnd::FromHandle(self) == this)
        ReportOne(TB_ENDTRACK);
}

void CSliderCtrl::ReportOne(int code) {
    CWnd* parent = GetParent();
    if (parent == nullptr)
        return;
    const bool withPos = code == TB_THUMBTRACK || code == TB_THUMBPOSITION;
    parent->SendMessage((m_dwStyle & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL,
                        MAKEWPARAM(code, withPos ? static_cast<WORD>(static_cast<short>(m_nPos)) : 0),
                        reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

// --- Bitmap button -------------------------------------------------------------------------------------

namespace {

// A push button that paints one of its four faces for its state.
class FaceButton : public QPushButton {
public:
    QImage faces[4]; // up, selected, focus, disabled

protected:
    void paintEvent(QPaintEvent* event) override {
        const QImage* face = &faces[0];
        if (!isEnabled() && !faces[3].isNull())
            face = &faces[3];
        else if ((isDown() || isChecked()) && !faces[1].isNull())
            face = &faces[1];
        else if (hasFocus() && !faces[2].isNull())
            face = &faces[2];
        if (face->isNull()) {
            QPushButton::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.drawImage(rect(), *face);
    }
};

} // namespace

BOOL CBitmapButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    auto* button = new FaceButton;
    button->setText(QString::fromUtf8(lpszCaption != nullptr ? lpszCaption : ""));
    button->setAutoDefault(false);
    Place(button, rect);
    if (!AttachWidget(button, pParentWnd, nID, dwStyle | WS_CHILD, false)) {
        delete button;
        return FALSE;
    }
    QObject::connect(button, &QAbstractButton::clicked, button, [this]() { NotifyParent(this, BN_CLICKED); });
    return TRUE;
}

BOOL CBitmapButton::LoadBitmaps(UINT up, UINT sel, UINT focus, UINT disabled) {
    auto* button = dynamic_cast<FaceButton*>(GetWidget());
    const QImage* face = AfxFindBitmap(up);
    if (button == nullptr || face == nullptr)
        return FALSE;
    const UINT ids[4] = {up, sel, focus, disabled};
    for (int i = 0; i < 4; ++i) {
        const QImage* image = ids[i] != 0 ? AfxFindBitmap(ids[i]) : nullptr;
        button->faces[i] = image != nullptr ? *image : QImage();
    }
    button->update();
    return TRUE;
}

void CBitmapButton::SizeToContent() {
    auto* button = dynamic_cast<FaceButton*>(GetWidget());
    if (button != nullptr && !button->faces[0].isNull())
        button->resize(button->faces[0].size());
}

BOOL CBitmapButton::SetCommandIcon(UINT nID) {
    auto* button = dynamic_cast<FaceButton*>(GetWidget());
    const QIcon icon = AfxFindIcon(nID);
    if (button == nullptr || icon.isNull())
        return FALSE;
    if (!button->text().isEmpty() && button->toolTip().isEmpty())
        button->setToolTip(button->text());
    button->setText(QString());
    button->setIcon(icon);
    // The icon fills the button but for a margin for the frame.
    const int side = std::max(8, std::min(button->width(), button->height()) - 6);
    button->setIconSize(QSize(side, side));
    return TRUE;
}

BOOL CBitmapButton::AutoLoad(UINT nID, CWnd* pParent, UINT up, UINT sel, UINT focus, UINT disabled) {
    CWnd* old = pParent->GetDlgItem(static_cast<int>(nID));
    CRect rc(0, 0, 0, 0);
    if (old != nullptr && old->GetWidget() != nullptr) {
        const QRect g = old->GetWidget()->geometry();
        rc = CRect(g.left(), g.top(), g.right() + 1, g.bottom() + 1);
        old->ShowWindow(SW_HIDE);
        old->SetDlgCtrlID(0);
    }
    if (!Create(nullptr, WS_CHILD | WS_VISIBLE, rc, pParent, nID))
        return FALSE;
    return LoadBitmaps(up, sel, focus, disabled);
}

// --- Radio groups ------------------------------------------------------------------------------------

std::vector<CButton*> AfxGetRadioGroup(CWnd* pCtrl) {
    std::vector<CButton*> group;
    CWnd* parent = pCtrl != nullptr ? pCtrl->GetParent() : nullptr;
    if (parent == nullptr)
        return group;
    const std::vector<CWnd*>& siblings = parent->GetChildren();
    const auto at = std::find(siblings.begin(), siblings.end(), pCtrl);
    if (at == siblings.end())
        return group;
    auto first = at;
    while (first != siblings.begin() && !((*first)->GetStyle() & WS_GROUP))
        --first;
    for (auto it = first; it != siblings.end(); ++it) {
        if (it != first && ((*it)->GetStyle() & WS_GROUP))
            break;
        if ((*it)->IsKindOf(RUNTIME_CLASS(CButton)) && static_cast<CButton*>(*it)->IsRadioButton())
            group.push_back(static_cast<CButton*>(*it));
    }
    return group;
}

// --- Templates -----------------------------------------------------------------------------------------

void AfxCreateDialogControls(CWnd* pParent, const AFX_DLG_TEMPLATE& dialog,
                             std::vector<std::unique_ptr<CWnd>>& owned) {
    for (const AFX_DLG_ITEM& item : dialog.items) {
        const CRect rc(AfxDluX(item.x), AfxDluY(item.y), AfxDluX(item.x + item.cx),
                       AfxDluY(item.y + item.cy));
        const DWORD style = WS_CHILD | WS_VISIBLE | item.style;
        const UINT id = static_cast<UINT>(item.id);
        switch (item.kind) {
        case AfxControl::PushButton:
        case AfxControl::DefPushButton:
        case AfxControl::CheckBox:
        case AfxControl::RadioButton:
        case AfxControl::GroupBox: {
            auto button = std::make_unique<CButton>();
            const DWORD kind = item.kind == AfxControl::DefPushButton ? BS_DEFPUSHBUTTON
                               : item.kind == AfxControl::CheckBox    ? BS_AUTOCHECKBOX
                               : item.kind == AfxControl::RadioButton ? BS_AUTORADIOBUTTON
                               : item.kind == AfxControl::GroupBox    ? BS_GROUPBOX
                                                                      : BS_PUSHBUTTON;
            if (button->Create(item.text, style | kind, rc, pParent, id))
                owned.push_back(std::move(button));
            break;
        }
        case AfxControl::Edit:
        case AfxControl::MultiLineEdit: {
            auto edit = std::make_unique<CEdit>();
            const DWORD extra = item.kind == AfxControl::MultiLineEdit ? ES_MULTILINE : 0u;
            if (edit->Create(style | extra, rc, pParent, id)) {
                edit->SetWindowText(item.text);
                owned.push_back(std::move(edit));
            }
            break;
        }
        case AfxControl::BitmapButton: {
            auto button = std::make_unique<CBitmapButton>();
            if (button->Create(item.text, style, rc, pParent, id)) {
                button->SetCommandIcon(id);
                owned.push_back(std::move(button));
            }
            break;
        }
        case AfxControl::Spin: {
            auto spin = std::make_unique<CSpinButtonCtrl>();
            if (spin->Create(style, rc, pParent, id)) {
                if ((item.style & UDS_AUTOBUDDY) && !owned.empty())
                    spin->SetBuddy(owned.back().get());
                owned.push_back(std::move(spin));
            }
            break;
        }
        case AfxControl::ComboBox: {
            auto combo = std::make_unique<CComboBox>();
            if (combo->Create(style | CBS_DROPDOWNLIST, rc, pParent, id))
                owned.push_back(std::move(combo));
            break;
        }
        case AfxControl::Slider: {
            auto slider = std::make_unique<CSliderCtrl>();
            if (slider->Create(style, rc, pParent, id))
                owned.push_back(std::move(slider));
            break;
        }
        case AfxControl::Progress: {
            auto bar = std::make_unique<CProgressCtrl>();
            if (bar->Create(style, rc, pParent, id))
                owned.push_back(std::move(bar));
            break;
        }
        case AfxControl::ListCtrl: {
            auto list = std::make_unique<CListCtrl>();
            if (list->Create(style | LVS_REPORT, rc, pParent, id))
                owned.push_back(std::move(list));
            break;
        }
        case AfxControl::Static: {
            auto label = std::make_unique<CStatic>();
            if (label->Create(item.text, style, rc, pParent, id))
                owned.push_back(std::move(label));
            break;
        }
        default:
            break;
        }
    }
}
