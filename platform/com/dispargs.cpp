#include "platform/com/dispargs.h"

UINT DispArgs::Count() const {
    if (!m_params)
        return 0;
    // The value of a property put is a named argument, not one of the positional ones.
    return m_params->cArgs - (IsPut() && m_params->cNamedArgs > 0 ? 1u : 0u);
}

void DispArgs::Expect(UINT count) const {
    if (Count() != count)
        throw DispArgError{DISP_E_BADPARAMCOUNT, 0};
}

bool DispArgs::IsPut() const {
    return (m_flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
}

const VARIANT& DispArgs::At(UINT index) const {
    const UINT count = Count();
    if (index == count && IsPut())
        return PutValue();
    if (index >= count)
        throw DispArgError{DISP_E_BADPARAMCOUNT, index};
    // Positional arguments are stored last-first; a named put value, when present, comes first.
    return m_params->rgvarg[m_params->cArgs - 1 - index];
}

namespace {
VARIANT Coerce(const VARIANT& v, VARTYPE vt, UINT index) {
    VARIANT out;
    VariantInit(&out);
    const HRESULT hr = VariantChangeType(&out, &v, 0, vt);
    if (FAILED(hr))
        throw DispArgError{hr, index};
    return out;
}

template <class T> T* Ref(const VARIANT& v, VARTYPE want, UINT index) {
    if (v.vt != (want | VT_BYREF) || !v.byref)
        throw DispArgError{DISP_E_TYPEMISMATCH, index};
    return static_cast<T*>(v.byref);
}
} // namespace

SHORT DispArgs::I2(UINT index) const {
    return Coerce(At(index), VT_I2, index).iVal;
}
LONG DispArgs::I4(UINT index) const {
    return Coerce(At(index), VT_I4, index).lVal;
}
INT DispArgs::Int(UINT index) const {
    return Coerce(At(index), VT_INT, index).intVal;
}

BSTR DispArgs::Bstr(UINT index) const {
    const VARIANT& v = At(index);
    if (v.vt == VT_BSTR)
        return v.bstrVal;
    if (v.vt == (VT_BSTR | VT_BYREF) && v.pbstrVal)
        return *v.pbstrVal;
    throw DispArgError{DISP_E_TYPEMISMATCH, index};
}

std::string DispArgs::Utf8(UINT index) const {
    return Utf8FromBstr(Bstr(index));
}

SHORT* DispArgs::RefI2(UINT index) const {
    return Ref<SHORT>(At(index), VT_I2, index);
}
LONG* DispArgs::RefI4(UINT index) const {
    return Ref<LONG>(At(index), VT_I4, index);
}

INT* DispArgs::RefInt(UINT index) const {
    const VARIANT& v = At(index);
    // INT and I4 have the same size here; a caller may declare either.
    if ((v.vt == (VT_INT | VT_BYREF) || v.vt == (VT_I4 | VT_BYREF)) && v.byref)
        return static_cast<INT*>(v.byref);
    throw DispArgError{DISP_E_TYPEMISMATCH, index};
}

void* DispArgs::Buffer(UINT index, ULONG_PTR* capacity) const {
    const VARIANT& v = At(index);
    if (capacity)
        *capacity = 0;
    if (v.vt != VT_BUFFER) {
        // A caller without an address to give writes the number 0.
        const bool zero = (v.vt == VT_I2 && v.iVal == 0) || (v.vt == VT_I4 && v.lVal == 0) ||
                          (v.vt == VT_INT && v.intVal == 0);
        if (!zero)
            throw DispArgError{DISP_E_TYPEMISMATCH, index};
        return nullptr;
    }
    if (capacity)
        *capacity = v.buffer.pvData ? v.buffer.cbCapacity : 0;
    return v.buffer.pvData;
}

const VARIANT& DispArgs::PutValue() const {
    if (!m_params || m_params->cArgs == 0 || m_params->cNamedArgs == 0 || !m_params->rgdispidNamedArgs ||
        m_params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        throw DispArgError{DISP_E_PARAMNOTFOUND, Count()};
    return m_params->rgvarg[0];
}

SHORT DispArgs::PutI2() const {
    return Coerce(PutValue(), VT_I2, Count()).iVal;
}
LONG DispArgs::PutI4() const {
    return Coerce(PutValue(), VT_I4, Count()).lVal;
}

void SetResultI2(VARIANT* result, SHORT value) {
    if (result) {
        VariantClear(result);
        *result = MakeVariantI2(value);
    }
}

void SetResultI4(VARIANT* result, LONG value) {
    if (result) {
        VariantClear(result);
        *result = MakeVariantI4(value);
    }
}

void SetResultInt(VARIANT* result, INT value) {
    if (result) {
        VariantClear(result);
        *result = MakeVariantInt(value);
    }
}

void SetResultBstr(VARIANT* result, const std::string& utf8) {
    if (result) {
        VariantClear(result);
        *result = MakeVariantBstr(utf8.c_str());
    }
}

void SetResultOwnedBstr(VARIANT* result, BSTR text) {
    if (!result) {
        SysFreeString(text);
        return;
    }
    VariantClear(result);
    result->vt = VT_BSTR;
    result->bstrVal = text;
}
