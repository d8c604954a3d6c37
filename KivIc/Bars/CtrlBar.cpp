#include "KivIc/Bars/CtrlBar.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "KivIc/Bars/CommandIcons.h"

IMPLEMENT_DYNAMIC(CCtrlBar, CDialogBar)

BEGIN_MESSAGE_MAP(CCtrlBar, CDialogBar)
ON_EN_KILLFOCUS(IDC_CTRL_SPEED, OnKillFocusSpeed)
ON_EN_KILLFOCUS(IDC_CTRL_FRAME, OnKillFocusFrame)
ON_EN_KILLFOCUS(IDC_CTRL_PLAYBEGIN, OnKillFocusPlayBegin)
ON_EN_KILLFOCUS(IDC_CTRL_PLAYEND, OnKillFocusPlayEnd)
END_MESSAGE_MAP()

namespace {

// Where the speed field stands in the bar (dialog units); its spin follows it.
constexpr int kSpeedX = 372;

// The fields that hold a frame number the user may type.
constexpr UINT kFrameFields[] = {IDC_CTRL_FRAME, IDC_CTRL_PLAYBEGIN, IDC_CTRL_PLAYEND};

// A whole decimal number, signed or not, blanks around it allowed, within the 32 bits of a frame number.
bool ParseFrameNumber(const CString& text, long* value) {
    const char* begin = text.GetString();
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(begin, &end, 10);
    if (end == begin || errno != 0 || parsed < INT32_MIN || parsed > INT32_MAX)
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end != '\0')
        return false;
    *value = static_cast<long>(parsed);
    return true;
}

} // namespace

CCtrlBar::CCtrlBar() = default;

CCtrlBar::~CCtrlBar() {
    m_slider.SetEventSink(nullptr);
}

void CCtrlBar::RegisterTemplate() {
    if (AfxFindDialog(IDD_CTRLBAR) != nullptr)
        return;
    AFX_DLG_TEMPLATE dialog;
    dialog.cx = 470;
    dialog.cy = 48;
    auto add = [&](AfxControl kind, int id, const char* text, int x, int y, int cx, int cy) {
        dialog.items.emplace_back(kind, id, CString(text), x, y, cx, cy);
    };
    add(AfxControl::Static, -1, "Frame No.", 2, 4, 42, 10);
    add(AfxControl::Edit, IDC_CTRL_FRAME, "", 46, 2, 40, 12);
    int x = 90;
    for (const auto& pair : kPlaybackCommandPairs) {
        add(AfxControl::BitmapButton, static_cast<int>(pair[0]), "", x, 2, 16, 12);
        x += 18;
    }
    add(AfxControl::BitmapButton, IDC_CTRL_SETBEGIN, "", x + 4, 2, 16, 12);
    add(AfxControl::Edit, IDC_CTRL_PLAYBEGIN, "", x + 22, 2, 36, 12);
    add(AfxControl::BitmapButton, IDC_CTRL_SETEND, "", x + 62, 2, 16, 12);
    add(AfxControl::Edit, IDC_CTRL_PLAYEND, "", x + 80, 2, 36, 12);
    add(AfxControl::Edit, IDC_CTRL_SPEED, "", kSpeedX, 2, 18, 12);
    add(AfxControl::BitmapButton, IDC_CTRL_1037, "", kSpeedX + 32, 2, 14, 12);
    // Second row: the picture's own settings.
    add(AfxControl::Static, -1, "Zoom %", 2, 18, 42, 10);
    add(AfxControl::Edit, IDC_CTRL_ZOOM, "", 46, 16, 40, 12);
    add(AfxControl::BitmapButton, IDC_CTRL_POINTINPUT, "", 90, 16, 16, 12);
    add(AfxControl::BitmapButton, IDC_CTRL_FRAMERATE, "", 108, 16, 16, 12);
    add(AfxControl::BitmapButton, IDC_CTRL_2001, "", 126, 16, 16, 12);
    add(AfxControl::Static, -1, "Bright", 150, 18, 30, 10);
    add(AfxControl::Edit, IDC_CTRL_BRIGHTNESS, "", 182, 16, 30, 12);
    add(AfxControl::Static, -1, "Contrast", 218, 18, 40, 10);
    add(AfxControl::Edit, IDC_CTRL_CONTRAST, "", 260, 16, 30, 12);
    add(AfxControl::Static, -1, "Chroma", 296, 18, 36, 10);
    add(AfxControl::Edit, IDC_CTRL_CHROMA, "", 334, 16, 30, 12);
    AfxRegisterDialog(IDD_CTRLBAR, std::move(dialog));
}

CString CCtrlBar::FormatFrame(long frame) {
    CString text;
    text.Format("%+06ld", frame);
    return text;
}

long* CCtrlBar::ShownValue(UINT id) {
    switch (id) {
    case IDC_CTRL_FRAME:
        return &m_nFrame;
    case IDC_CTRL_PLAYBEGIN:
        return &m_nPlayBegin;
    case IDC_CTRL_PLAYEND:
        return &m_nPlayEnd;
    default:
        return nullptr;
    }
}

void CCtrlBar::SetField(UINT id, long frame) {
    if (long* shown = ShownValue(id))
        *shown = frame;
    SetDlgItemText(static_cast<int>(id), FormatFrame(frame));
}

int CCtrlBar::CreateBar(CWnd* pParent) {
    // The buttons show their commands' faces, which must exist before the buttons are made.
    RegisterCtrlBarIcons();
    RegisterTemplate();
    if (pParent == nullptr)
        pParent = AfxGetMainWnd();
    if (!Create(pParent, IDD_CTRLBAR, CBRS_BOTTOM, IDD_CTRLBAR))
        return -1;
    // The slider and the spin are this bar's own controls, made beside the template's.
    const CRect sliderRect(AfxDluX(2), AfxDluY(30), AfxDluX(468), AfxDluY(46));
    if (!m_slider.Create(this, sliderRect, IDC_CTRL_SLIDER))
        return -1;
    m_slider.SetEventSink(this);
    const int spinX = kSpeedX + 18;
    const CRect spinRect(AfxDluX(spinX), AfxDluY(2), AfxDluX(spinX + 10), AfxDluY(14));
    if (!m_spin.Create(this, spinRect, IDC_CTRL_SPEEDSPIN))
        return -1;
    m_spin.SetBuddy(GetDlgItem(IDC_CTRL_SPEED));
    // The range starts at 1: a speed of 0 would give no frame interval at all.
    m_spin.SetRange(kMinPlaySpeed, kMaxPlaySpeed);
    m_spin.SetOnChange([this](int speed) { m_nSpeed = speed; });

    UpdateData(FALSE);
    m_spin.SetPos(m_nSpeed);
    SetBarStyleBits(0xFFFFFFFFu, 0);
    m_slider.SetLongProperty(EXSLIDER_LARGECHANGE, 200);
    m_slider.SetLongProperty(EXSLIDER_TICKFREQUENCY, 200);
    m_slider.SetLongProperty(EXSLIDER_TICKSTYLE, 0);
    m_slider.SetLongProperty(EXSLIDER_BORDERSTYLE, 0);
    m_slider.SetBoolProperty(EXSLIDER_SHOWSELECTION, TRUE);
    return 0;
}

void CCtrlBar::DoDataExchange(CDataExchange* pDX) {
    if (pDX->m_bSaveAndValidate) {
        long frame = m_nFrame;
        DDX_Text(pDX, IDC_CTRL_FRAME, frame);
        int speed = m_nSpeed;
        DDX_Text(pDX, IDC_CTRL_SPEED, speed);
        DDV_MinMaxInt(pDX, speed, kMinPlaySpeed, kMaxPlaySpeed);
        m_nFrame = frame;
        m_nSpeed = speed;
    } else {
        SetField(IDC_CTRL_FRAME, m_nFrame);
        DDX_Text(pDX, IDC_CTRL_SPEED, m_nSpeed);
    }
}

BOOL CCtrlBar::UpdateSpeedFromField() {
    // The message box about a bad value takes the focus from the field, which would ask again.
    if (m_bValidatingSpeed)
        return FALSE;
    m_bValidatingSpeed = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_bValidatingSpeed};
    CDataExchange dx(this, TRUE);
    try {
        int speed = m_nSpeed;
        DDX_Text(&dx, IDC_CTRL_SPEED, speed);
        DDV_MinMaxInt(&dx, speed, kMinPlaySpeed, kMaxPlaySpeed);
        m_nSpeed = speed;
        m_spin.SetPos(speed);
        return TRUE;
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
}

void CCtrlBar::OnKillFocusSpeed() {
    UpdateSpeedFromField();
}

BOOL CCtrlBar::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        for (UINT id : kFrameFields) {
            CWnd* field = GetDlgItem(static_cast<int>(id));
            if (field != nullptr && field->GetSafeHwnd() == pMsg->hwnd)
                return ApplyTypedField(id);
        }
    }
    return CDialogBar::PreTranslateMessage(pMsg);
}

BOOL CCtrlBar::ApplyTypedField(UINT id) {
    long* shown = ShownValue(id);
    CWnd* field = GetDlgItem(static_cast<int>(id));
    if (shown == nullptr || field == nullptr)
        return FALSE;
    // A field without a recording to speak for takes nothing.
    if (!field->IsWindowEnabled() || !m_slider.GetEnabled())
        return TRUE;
    CString text;
    field->GetWindowText(text);
    long value = 0;
    if (!ParseFrameNumber(text, &value)) {
        RestoreField(id);
        return TRUE;
    }
    switch (id) {
    case IDC_CTRL_FRAME:
        // The slider keeps it to the record range and reports it; the recording then shows the frame
        // it took, which the field shows.
        GoToFrame(std::clamp(value, m_slider.GetMin(), std::max(m_slider.GetMin(), m_slider.GetMax())));
        break;
    case IDC_CTRL_PLAYBEGIN:
        SetPlayBeginAt(
            std::clamp(value, m_slider.GetMin(), std::max(m_slider.GetMin(), m_slider.GetSelEnd())));
        break;
    case IDC_CTRL_PLAYEND:
        SetPlayEndAt(
            std::clamp(value, std::min(m_slider.GetSelStart(), m_slider.GetMax()), m_slider.GetMax()));
        break;
    default:
        break;
    }
    RestoreField(id);
    return TRUE;
}

void CCtrlBar::RestoreField(UINT id) {
    long* shown = ShownValue(id);
    CWnd* field = GetDlgItem(static_cast<int>(id));
    if (shown == nullptr || field == nullptr || !field->IsWindowEnabled())
        return;
    CString text;
    field->GetWindowText(text);
    // An emptied field speaks for no recording; one that shows what holds stays as it is.
    if (!text.IsEmpty() && text != FormatFrame(*shown))
        SetField(id, *shown);
}

void CCtrlBar::OnKillFocusFrame() {
    RestoreField(IDC_CTRL_FRAME);
}

void CCtrlBar::OnKillFocusPlayBegin() {
    RestoreField(IDC_CTRL_PLAYBEGIN);
}

void CCtrlBar::OnKillFocusPlayEnd() {
    RestoreField(IDC_CTRL_PLAYEND);
}

void CCtrlBar::SetBarStyleBits(DWORD clearMask, DWORD setMask) {
    DWORD style = ((m_dwCtrlStyle & ~clearMask) | setMask) & 0x00FFFFFFu;
    if (style & 0x7Fu)
        style |= 0x01000000u;
    m_dwCtrlStyle = style;
    EnableSlider((style & 0x00800000u) != 0);
}

long CCtrlBar::GetFrame() {
    return m_slider.GetValue();
}

void CCtrlBar::GoToFrame(long frame) {
    m_slider.SetValue(frame);
}

void CCtrlBar::SetFrame(long frame) {
    SetField(IDC_CTRL_FRAME, frame);
    if (m_slider.GetValue() != frame)
        m_slider.SetValueSilent(frame);
}

void CCtrlBar::SetRecordRange(long begin, long end) {
    if (m_slider.GetMin() != begin || m_slider.GetMax() != end)
        m_slider.SetRange(begin, end);
}

void CCtrlBar::SetPlayRange(long begin, long end) {
    SetField(IDC_CTRL_PLAYBEGIN, begin);
    SetField(IDC_CTRL_PLAYEND, end);
    if (m_slider.GetSelStart() != begin || m_slider.GetSelEnd() != end)
        m_slider.SetSelection(begin, end);
}

void CCtrlBar::ShowNoRecording() {
    ClearFields({IDC_CTRL_FRAME, IDC_CTRL_PLAYBEGIN, IDC_CTRL_PLAYEND, IDC_CTRL_ZOOM});
    ShowColourFields(FALSE);
    EnableSlider(FALSE);
    // The speed stays shown: a window brings its own along when it becomes active.
    if (CWnd* speed = GetDlgItem(IDC_CTRL_SPEED))
        speed->EnableWindow(FALSE);
    if (m_spin.GetSafeHwnd() != nullptr)
        m_spin.EnableWindow(FALSE);
}

void CCtrlBar::EnableRecordingFields() {
    EnableFields({IDC_CTRL_FRAME, IDC_CTRL_PLAYBEGIN, IDC_CTRL_PLAYEND, IDC_CTRL_ZOOM});
}

void CCtrlBar::ShowColourFields(BOOL shown) {
    if (shown)
        EnableFields({IDC_CTRL_BRIGHTNESS, IDC_CTRL_CONTRAST, IDC_CTRL_CHROMA});
    else
        ClearFields({IDC_CTRL_BRIGHTNESS, IDC_CTRL_CONTRAST, IDC_CTRL_CHROMA});
}

void CCtrlBar::ClearFields(std::initializer_list<UINT> ids) {
    for (UINT id : ids) {
        if (CWnd* field = GetDlgItem(static_cast<int>(id))) {
            field->SetWindowText("");
            field->EnableWindow(FALSE);
        }
    }
}

void CCtrlBar::EnableFields(std::initializer_list<UINT> ids) {
    for (UINT id : ids) {
        if (CWnd* field = GetDlgItem(static_cast<int>(id)))
            field->EnableWindow(TRUE);
    }
}

BOOL CCtrlBar::CanEdit() {
    return TRUE;
}

void CCtrlBar::EnableSlider(BOOL enable) {
    if (m_slider.GetControl() != nullptr)
        m_slider.SetEnabled(enable);
}

void CCtrlBar::SetPlayBeginAt(long frame) {
    if (m_slider.GetSelStart() == frame)
        return;
    m_slider.SetSelStart(frame);
    SetField(IDC_CTRL_PLAYBEGIN, frame);
    if (m_owner != nullptr)
        m_owner->SyncSetPlayBegin(frame);
}

void CCtrlBar::SetPlayEndAt(long frame) {
    if (m_slider.GetSelEnd() == frame)
        return;
    m_slider.SetSelEnd(frame);
    SetField(IDC_CTRL_PLAYEND, frame);
    if (m_owner != nullptr)
        m_owner->SyncSetPlayEnd(frame);
}

void CCtrlBar::SetPlaySpeed(int speed) {
    m_nSpeed = std::clamp(speed, kMinPlaySpeed, kMaxPlaySpeed);
    if (m_spin.GetSafeHwnd() != nullptr)
        m_spin.SetPos(m_nSpeed);
    else
        SetDlgItemInt(IDC_CTRL_SPEED, static_cast<UINT>(m_nSpeed));
}

int CCtrlBar::GetPlaySpeed() {
    return m_nSpeed;
}

UINT CCtrlBar::MapPlaybackCommand(UINT id, int mode) {
    if (mode != 1 && mode != 2)
        return id;
    const int from = mode == 2 ? 0 : 1;
    for (const auto& pair : kPlaybackCommandPairs) {
        if (pair[from] == id)
            return pair[1 - from];
    }
    return id;
}

void CCtrlBar::SetCommandMode(int mode) {
    if (mode != 1 && mode != 2)
        return;
    const int from = mode == 2 ? 0 : 1;
    for (const auto& pair : kPlaybackCommandPairs) {
        if (CWnd* button = GetDlgItem(static_cast<int>(pair[from])))
            button->SetDlgCtrlID(static_cast<int>(MapPlaybackCommand(pair[from], mode)));
    }
}

void CCtrlBar::OnSliderEvent(int eventId, long value) {
    switch (eventId) {
    case EXSLIDER_EVT_VALUE:
        SetField(IDC_CTRL_FRAME, value);
        if (m_owner != nullptr)
            m_owner->SyncSetCurrentFrame(value);
        break;
    case EXSLIDER_EVT_SELSTART:
        SetField(IDC_CTRL_PLAYBEGIN, value);
        if (m_owner != nullptr)
            m_owner->SyncSetPlayBegin(value);
        break;
    case EXSLIDER_EVT_SELEND:
        SetField(IDC_CTRL_PLAYEND, value);
        if (m_owner != nullptr)
            m_owner->SyncSetPlayEnd(value);
        break;
    default:
        break;
    }
}
