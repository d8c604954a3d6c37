// The control bar's wrapper of the extended slider: a window whose calls reach the slider only by
// dispatch id, as the program would drive any automation control.
#pragma once

#include "KivIc/Bars/ExSliderCtrl.h"
#include "platform/afx/afxwin.h"
#include "platform/afx/ole/dispdriver.h"

class CExSlider2 : public CWnd {
    DECLARE_DYNCREATE(CExSlider2)
public:
    CExSlider2() = default;
    ~CExSlider2() override;

    // Makes the slider and its widget as child nID of the parent.
    BOOL Create(CWnd* pParentWnd, const RECT& rect, UINT nID);
    // Where the slider's events go (the control bar).
    void SetEventSink(IExSliderEvents* sink);

    long GetValue();
    void SetValue(long value);
    long GetMin();
    long GetMax();
    long GetSelStart();
    void SetSelStart(long value);
    long GetSelEnd();
    void SetSelEnd(long value);
    BOOL GetEnabled();
    void SetEnabled(BOOL enabled);
    void SetLongProperty(DISPID id, long value);
    void SetBoolProperty(DISPID id, BOOL value);
    // The silent methods: limits, selection and value without an event.
    BOOL SetRange(long low, long high);
    BOOL SetSelection(long start, long end);
    BOOL SetValueSilent(long value);

    // The slider object itself (null before Create).
    CExSliderCtrl* GetControl() const { return m_control; }

private:
    long GetLong(DISPID id);

    COleDispatchDriver m_driver;
    CExSliderCtrl* m_control = nullptr;
};
