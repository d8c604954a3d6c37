// The arguments of one late-bound call, as a server member takes them, and the setting of its result.
#pragma once

#include <string>

#include "platform/com/interfaces.h"

// Thrown by the argument accessors: the HRESULT to return and the argument at fault (its natural
// index; Count() for the value of a put).
struct DispArgError {
    HRESULT hr;
    UINT index;
};

// The arguments of one call, in natural order (0 is the first argument). Values are coerced as
// automation does (an I4 passed where an INT or I2 is declared is accepted when it fits). The value of
// a property put follows the positional arguments: its index is Count().
class DispArgs {
public:
    DispArgs(DISPPARAMS* params, WORD flags) : m_params(params), m_flags(flags) {}
    UINT Count() const;
    void Expect(UINT count) const; // DISP_E_BADPARAMCOUNT otherwise

    SHORT I2(UINT index) const;
    LONG I4(UINT index) const;
    INT Int(UINT index) const;
    std::string Utf8(UINT index) const; // a BSTR argument as UTF-8
    BSTR Bstr(UINT index) const;        // borrowed
    SHORT* RefI2(UINT index) const;     // by-reference arguments (never null)
    LONG* RefI4(UINT index) const;
    INT* RefInt(UINT index) const;
    // A caller's buffer: address (may be null when the call asks only for a size) and capacity. A
    // plain integer 0 stands for a null address.
    void* Buffer(UINT index, ULONG_PTR* capacity) const;

    // The value of a property put (the named DISPID_PROPERTYPUT argument).
    const VARIANT& PutValue() const;
    SHORT PutI2() const;
    LONG PutI4() const;

private:
    bool IsPut() const;
    const VARIANT& At(UINT index) const;
    DISPPARAMS* m_params;
    WORD m_flags;
};

// Replace whatever result holds (nothing when it is null).
void SetResultI2(VARIANT* result, SHORT value);
void SetResultI4(VARIANT* result, LONG value);
void SetResultInt(VARIANT* result, INT value);
void SetResultBstr(VARIANT* result, const std::string& utf8);
// Hands text over to result, which then owns it; frees it when result is null.
void SetResultOwnedBstr(VARIANT* result, BSTR text);
