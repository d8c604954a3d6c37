// The extended slider of the control bar: a value between two limits and a selection (the play
// range) inside them, reached through IDispatch by dispatch id. Writing the value property reports
// the value through event 1; the three set-methods change the slider silently; the user's drags
// report the value (event 1), the selection start (event 2) and the selection end (event 3).
#pragma once

#include <map>

#include "platform/com/server.h"

class QWidget;

// Dispatch ids of the slider.
enum : DISPID {
    EXSLIDER_VALUE = 1,
    EXSLIDER_MIN = 2,
    EXSLIDER_MAX = 3,
    EXSLIDER_SELSTART = 4,
    EXSLIDER_SELEND = 5,
    EXSLIDER_ENABLED = 6,
    EXSLIDER_LARGECHANGE = 8,   // the PageUp/PageDown step
    EXSLIDER_TICKFREQUENCY = 9, // frames between tick marks
    EXSLIDER_BORDERSTYLE = 12,
    EXSLIDER_TICKSTYLE = 14,
    EXSLIDER_SHOWSELECTION = 15,
    EXSLIDER_SETRANGE = 17,     // (long min, long max) returns BOOL
    EXSLIDER_SETSELECTION = 18, // (long start, long end) returns BOOL
    EXSLIDER_SETVALUE = 20,     // (long value) returns BOOL
};

// Event ids, each with the new position.
enum : int {
    EXSLIDER_EVT_VALUE = 1,
    EXSLIDER_EVT_SELSTART = 2,
    EXSLIDER_EVT_SELEND = 3,
};

class IExSliderEvents {
public:
    virtual ~IExSliderEvents() = default;
    virtual void OnSliderEvent(int eventId, long value) = 0;
};

class CExSliderCtrl final : public DispatchObject {
public:
    // A new slider with one reference held by the caller.
    static CExSliderCtrl* CreateInstance();

    void SetEventSink(IExSliderEvents* sink) { m_sink = sink; }
    // The widget that shows the slider (repainted on every change); null detaches it.
    void SetWidget(QWidget* widget) { m_widget = widget; }

    // What the user does: the position is kept to the limits, stored and reported.
    void UserMoveValue(long value);
    void UserMoveSelStart(long value);
    void UserMoveSelEnd(long value);

    long Value() const { return m_value; }
    long Min() const { return m_min; }
    long Max() const { return m_max; }
    long SelStart() const { return m_selStart; }
    long SelEnd() const { return m_selEnd; }
    BOOL Enabled() const { return m_enabled; }
    LONG Extra(DISPID id) const;

protected:
    HRESULT InvokeMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) override;

private:
    CExSliderCtrl();
    ~CExSliderCtrl() override = default;

    long Clamp(long value) const;
    void Changed();
    void Fire(int eventId, long value);
    static void SetResultBool(VARIANT* result, BOOL value);

    long m_value = 0;
    long m_min = 0;
    long m_max = 100;
    long m_selStart = 0;
    long m_selEnd = 0;
    BOOL m_enabled = TRUE;
    std::map<DISPID, LONG> m_extra;
    IExSliderEvents* m_sink = nullptr;
    QWidget* m_widget = nullptr;
};
