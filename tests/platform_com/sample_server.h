// The interface of the test server module "Kivic.Sample": a counter property, a method with
// by-reference results, a buffer-filling method, a failing and a throwing method, and a method with a
// result.
#pragma once

#include "platform/com/interfaces.h"

inline constexpr CLSID CLSID_Sample = {0x5A1B2C3D, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
inline constexpr IID IID_ISample = {0x5A1B2C3D, 0x0002, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x02}};
inline constexpr GUID LIBID_SampleLib = {0x5A1B2C3D, 0x0003, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x03}};

struct ISample : IDispatch {
    virtual HRESULT get_Counter(LONG* value) = 0;
    virtual HRESULT put_Counter(LONG value) = 0;
    virtual HRESULT Split(INT value, SHORT* high, SHORT* low) = 0;
    // Writes "sample" when it fits; a null block asks only for the size.
    virtual HRESULT Fill(ComBuffer block, LONG* written) = 0;
    virtual HRESULT Fail() = 0;
    virtual HRESULT Throw() = 0;
    virtual HRESULT Echo(BSTR text, BSTR* echoed) = 0;

protected:
    ~ISample() = default;
};
