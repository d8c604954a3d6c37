#include "KivIc/Bars/ExSlider2.h"

#include "KivIc/Bars/ExSliderWidget.h"

IMPLEMENT_DYNCREATE(CExSlider2, CWnd)

CExSlider2::~CExSlider2() {
    if (m_control != nullptr)
        m_control->SetEventSink(nullptr);
}

BOOL CExSlider2::Create(CWnd* pParentWnd, const RECT& rect, UINT nID) {
    if (m_control != nullptr)
        return FALSE;
    CExSliderCtrl* control = CExSliderCtrl::CreateInstance();
    auto* widget = new CExSliderWidget(control);
    if (!AttachWidget(widget, pParentWnd, nID, WS_CHILD | WS_VISIBLE, false)) {
        delete widget;
        control->Release();
        return FALSE;
    }
    MoveWindow(&rect, FALSE);
    m_control = control;
    // The driver takes over the creation reference; the widget holds its own.
    m_driver.AttachDispatch(control, TRUE);
    return TRUE;
}

void CExSlider2::SetEventSink(IExSliderEvents* sink) {
    if (m_control != nullptr)
        m_control->SetEventSink(sink);
}

long CExSlider2::GetLong(DISPID id) {
    LONG value = 0;
    m_driver.GetProperty(id, VT_I4, &value);
    return value;
}

long CExSlider2::GetValue() {
    return GetLong(EXSLIDER_VALUE);
}

void CExSlider2::SetValue(long value) {
    m_driver.SetProperty(EXSLIDER_VALUE, VT_I4, static_cast<LONG>(value));
}

long CExSlider2::GetMin() {
    return GetLong(EXSLIDER_MIN);
}

long CExSlider2::GetMax() {
    return GetLong(EXSLIDER_MAX);
}

long CExSlider2::GetSelStart() {
    return GetLong(EXSLIDER_SELSTART);
}

void CExSlider2::SetSelStart(long value) {
    m_driver.SetProperty(EXSLIDER_SELSTART, VT_I4, static_cast<LONG>(value));
}

long CExSlider2::GetSelEnd() {
    return GetLong(EXSLIDER_SELEND);
}

void CExSlider2::SetSelEnd(long value) {
    m_driver.SetProperty(EXSLIDER_SELEND, VT_I4, static_cast<LONG>(value));
}

BOOL CExSlider2::GetEnabled() {
    BOOL value = FALSE;
    m_driver.GetProperty(EXSLIDER_ENABLED, VT_BOOL, &value);
    return value;
}

void CExSlider2::SetEnabled(BOOL enabled) {
    SetBoolProperty(EXSLIDER_ENABLED, enabled);
}

void CExSlider2::SetLongProperty(DISPID id, long value) {
    m_driver.SetProperty(id, VT_I4, static_cast<LONG>(value));
}

void CExSlider2::SetBoolProperty(DISPID id, BOOL value) {
    m_driver.SetProperty(id, VT_BOOL, value ? TRUE : FALSE);
}

BOOL CExSlider2::SetRange(long low, long high) {
    BOOL result = FALSE;
    m_driver.InvokeHelper(EXSLIDER_SETRANGE, DISPATCH_METHOD, VT_BOOL, &result,
                          reinterpret_cast<const BYTE*>(VTS_I4 VTS_I4), static_cast<LONG>(low),
                          static_cast<LONG>(high));
    return result;
}

BOOL CExSlider2::SetSelection(long start, long end) {
    BOOL result = FALSE;
    m_driver.InvokeHelper(EXSLIDER_SETSELECTION, DISPATCH_METHOD, VT_BOOL, &result,
                          reinterpret_cast<const BYTE*>(VTS_I4 VTS_I4), static_cast<LONG>(start),
                          static_cast<LONG>(end));
    return result;
}

BOOL CExSlider2::SetValueSilent(long value) {
    BOOL result = FALSE;
    m_driver.InvokeHelper(EXSLIDER_SETVALUE, DISPATCH_METHOD, VT_BOOL, &result,
                          reinterpret_cast<const BYTE*>(VTS_I4), static_cast<LONG>(value));
    return result;
}
