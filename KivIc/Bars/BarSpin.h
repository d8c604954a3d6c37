// The up-down arrows beside a numeric field of a bar: each press steps the number in its buddy field
// within the range and reports the new value.
#pragma once

#include <functional>

#include "platform/afx/afxwin.h"

class CBarSpin : public CWnd {
    DECLARE_DYNAMIC(CBarSpin)
public:
    BOOL Create(CWnd* pParentWnd, const RECT& rect, UINT nID);
    void SetBuddy(CWnd* buddy) { m_buddy = buddy; }
    void SetRange(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    // Kept to the range; shown in the buddy field.
    void SetPos(int pos);
    int GetPos() const { return m_pos; }
    // A press of an arrow (+1 up, -1 down): steps from the number in the buddy field when it holds one.
    void Step(int delta);
    void SetOnChange(std::function<void(int)> onChange) { m_onChange = std::move(onChange); }

private:
    CWnd* m_buddy = nullptr;
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
    std::function<void(int)> m_onChange;
};
