#include "KivIc/Bars/ExSliderCtrl.h"

#include <algorithm>

#include <QWidget>

namespace {

constexpr IID kIidExSlider = {0x6B1E5C10, 0x0104, 0x4E1D, {0x9A, 0x11, 0, 0, 0, 0, 0x01, 0x04}};

ComModuleState& SliderModule() {
    static ComModuleState module;
    return module;
}

constexpr DispMember kMembers[] = {
    {"Value", EXSLIDER_VALUE},
    {"Min", EXSLIDER_MIN},
    {"Max", EXSLIDER_MAX},
    {"SelStart", EXSLIDER_SELSTART},
    {"SelEnd", EXSLIDER_SELEND},
    {"Enabled", EXSLIDER_ENABLED},
    {"LargeChange", EXSLIDER_LARGECHANGE},
    {"TickFrequency", EXSLIDER_TICKFREQUENCY},
    {"BorderStyle", EXSLIDER_BORDERSTYLE},
    {"TickStyle", EXSLIDER_TICKSTYLE},
    {"ShowSelection", EXSLIDER_SHOWSELECTION},
    {"SetRange", EXSLIDER_SETRANGE},
    {"SetSelection", EXSLIDER_SETSELECTION},
    {"SetValue", EXSLIDER_SETVALUE},
};

} // namespace

CExSliderCtrl::CExSliderCtrl() : DispatchObject(kIidExSlider, kMembers, "KivIc.ExSlider", &SliderModule()) {}

CExSliderCtrl* CExSliderCtrl::CreateInstance() {
    return new CExSliderCtrl;
}

LONG CExSliderCtrl::Extra(DISPID id) const {
    const auto found = m_extra.find(id);
    return found != m_extra.end() ? found->second : 0;
}

long CExSliderCtrl::Clamp(long value) const {
    return std::clamp(value, m_min, std::max(m_min, m_max));
}

void CExSliderCtrl::Changed() {
    if (m_widget != nullptr)
        m_widget->update();
}

void CExSliderCtrl::Fire(int eventId, long value) {
    if (m_sink != nullptr)
        m_sink->OnSliderEvent(eventId, value);
}

void CExSliderCtrl::SetResultBool(VARIANT* result, BOOL value) {
    if (result == nullptr)
        return;
    VariantInit(result);
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void CExSliderCtrl::UserMoveValue(long value) {
    if (!m_enabled)
        return;
    value = Clamp(value);
    if (value == m_value)
        return;
    m_value = value;
    Changed();
    Fire(EXSLIDER_EVT_VALUE, m_value);
}

void CExSliderCtrl::UserMoveSelStart(long value) {
    if (!m_enabled)
        return;
    value = std::min(Clamp(value), m_selEnd);
    if (value == m_selStart)
        return;
    m_selStart = value;
    Changed();
    Fire(EXSLIDER_EVT_SELSTART, m_selStart);
}

void CExSliderCtrl::UserMoveSelEnd(long value) {
    if (!m_enabled)
        return;
    value = std::max(Clamp(value), m_selStart);
    if (value == m_selEnd)
        return;
    m_selEnd = value;
    Changed();
    Fire(EXSLIDER_EVT_SELEND, m_selEnd);
}

HRESULT CExSliderCtrl::InvokeMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) {
    const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    switch (id) {
    case EXSLIDER_VALUE:
        if (put) {
            // Written by the program: the new value is reported like a user's move, even when it is
            // the same, so that writing it always positions the document.
            m_value = Clamp(args.PutI4());
            Changed();
            Fire(EXSLIDER_EVT_VALUE, m_value);
            return S_OK;
        }
        SetResultI4(result, m_value);
        return S_OK;
    case EXSLIDER_MIN:
    case EXSLIDER_MAX:
        if (put)
            return DISP_E_MEMBERNOTFOUND; // the limits change through SetRange only
        SetResultI4(result, id == EXSLIDER_MIN ? m_min : m_max);
        return S_OK;
    case EXSLIDER_SELSTART:
    case EXSLIDER_SELEND: {
        long& field = id == EXSLIDER_SELSTART ? m_selStart : m_selEnd;
        if (put) {
            field = Clamp(args.PutI4());
            Changed();
            return S_OK;
        }
        SetResultI4(result, field);
        return S_OK;
    }
    case EXSLIDER_ENABLED:
        if (put) {
            m_enabled = args.PutI4() != 0;
            if (m_widget != nullptr)
                m_widget->setEnabled(m_enabled != FALSE);
            return S_OK;
        }
        SetResultBool(result, m_enabled);
        return S_OK;
    case EXSLIDER_LARGECHANGE:
    case EXSLIDER_TICKFREQUENCY:
    case EXSLIDER_BORDERSTYLE:
    case EXSLIDER_TICKSTYLE:
    case EXSLIDER_SHOWSELECTION:
        if (put) {
            m_extra[id] = args.PutI4();
            Changed();
            return S_OK;
        }
        if (id == EXSLIDER_SHOWSELECTION)
            SetResultBool(result, Extra(id));
        else
            SetResultI4(result, Extra(id));
        return S_OK;
    case EXSLIDER_SETRANGE: {
        args.Expect(2);
        const long low = args.I4(0);
        const long high = args.I4(1);
        if (high < low) {
            SetResultBool(result, FALSE);
            return S_OK;
        }
        m_min = low;
        m_max = high;
        m_value = Clamp(m_value);
        m_selStart = Clamp(m_selStart);
        m_selEnd = Clamp(m_selEnd);
        Changed();
        SetResultBool(result, TRUE);
        return S_OK;
    }
    case EXSLIDER_SETSELECTION: {
        args.Expect(2);
        m_selStart = Clamp(args.I4(0));
        m_selEnd = Clamp(args.I4(1));
        Changed();
        SetResultBool(result, TRUE);
        return S_OK;
    }
    case EXSLIDER_SETVALUE:
        args.Expect(1);
        m_value = Clamp(args.I4(0));
        Changed();
        SetResultBool(result, TRUE);
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
