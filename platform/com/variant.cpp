#include "platform/com/variant.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "platform/com/interfaces.h"

void VariantInit(VARIANT* v) {
    std::memset(v, 0, sizeof *v);
    v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v)
        return E_INVALIDARG;
    switch (v->vt) {
    case VT_BSTR:
        SysFreeString(v->bstrVal);
        break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
        if (v->punkVal)
            v->punkVal->Release();
        break;
    default:
        break;
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
    if (!dest || !src)
        return E_INVALIDARG;
    if (dest == src)
        return S_OK;
    VariantClear(dest);
    *dest = *src;
    if (src->vt == VT_BSTR && src->bstrVal) {
        dest->bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
        if (!dest->bstrVal) {
            VariantInit(dest);
            return E_OUTOFMEMORY;
        }
    } else if ((src->vt == VT_UNKNOWN || src->vt == VT_DISPATCH) && src->punkVal) {
        src->punkVal->AddRef();
    }
    return S_OK;
}

namespace {
// Reads an integer-like value (following one level of reference); false when it is not one.
bool IntegerOf(const VARIANT& v, long long* out) {
    const bool ref = (v.vt & VT_BYREF) != 0;
    const VARTYPE base = v.vt & VT_TYPEMASK;
    if (ref && !v.byref)
        return false;
    switch (base) {
    case VT_I2:
        *out = ref ? *v.piVal : v.iVal;
        return true;
    case VT_I4:
        *out = ref ? *v.plVal : v.lVal;
        return true;
    case VT_INT:
        *out = ref ? *v.pintVal : v.intVal;
        return true;
    case VT_UINT:
    case VT_UI4:
        *out = ref ? *static_cast<UINT*>(v.byref) : v.uintVal;
        return true;
    case VT_UI1:
        *out = ref ? *static_cast<BYTE*>(v.byref) : v.bVal;
        return true;
    case VT_BOOL:
        *out = ref ? *static_cast<VARIANT_BOOL*>(v.byref) : v.boolVal;
        return true;
    default:
        return false;
    }
}

bool StringOf(const VARIANT& v, BSTR* out) {
    if (v.vt == VT_BSTR) {
        *out = v.bstrVal;
        return true;
    }
    if (v.vt == (VT_BSTR | VT_BYREF) && v.pbstrVal) {
        *out = *v.pbstrVal;
        return true;
    }
    return false;
}

template <class T> bool Fits(long long x) {
    return x >= static_cast<long long>(std::numeric_limits<T>::min()) &&
           x <= static_cast<long long>(std::numeric_limits<T>::max());
}
} // namespace

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, unsigned short, VARTYPE vt) {
    if (!dest || !src)
        return E_INVALIDARG;
    long long value = 0;
    BSTR text = nullptr;
    VARIANT result;
    VariantInit(&result);
    if (IntegerOf(*src, &value)) {
        switch (vt) {
        case VT_I2:
            if (!Fits<SHORT>(value))
                return DISP_E_OVERFLOW;
            result.iVal = static_cast<SHORT>(value);
            break;
        case VT_I4:
            if (!Fits<LONG>(value))
                return DISP_E_OVERFLOW;
            result.lVal = static_cast<LONG>(value);
            break;
        case VT_INT:
            if (!Fits<INT>(value))
                return DISP_E_OVERFLOW;
            result.intVal = static_cast<INT>(value);
            break;
        case VT_UINT:
        case VT_UI4:
            if (!Fits<UINT>(value))
                return DISP_E_OVERFLOW;
            result.uintVal = static_cast<UINT>(value);
            break;
        case VT_UI1:
            if (!Fits<BYTE>(value))
                return DISP_E_OVERFLOW;
            result.bVal = static_cast<BYTE>(value);
            break;
        case VT_BOOL:
            result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case VT_BSTR:
            result.bstrVal = BstrFromUtf8(std::to_string(value).c_str());
            if (!result.bstrVal)
                return E_OUTOFMEMORY;
            break;
        default:
            return DISP_E_TYPEMISMATCH;
        }
    } else if (StringOf(*src, &text)) {
        if (vt == VT_BSTR) {
            result.bstrVal = SysAllocStringLen(text, SysStringLen(text));
            if (text && !result.bstrVal)
                return E_OUTOFMEMORY;
        } else {
            const std::string utf8 = Utf8FromBstr(text);
            char* end = nullptr;
            errno = 0;
            const long long parsed = std::strtoll(utf8.c_str(), &end, 10);
            if (utf8.empty() || *end != '\0' || errno == ERANGE)
                return DISP_E_TYPEMISMATCH;
            VARIANT tmp = MakeVariantI4(0);
            tmp.vt = VT_I4;
            if (!Fits<LONG>(parsed))
                return DISP_E_OVERFLOW;
            tmp.lVal = static_cast<LONG>(parsed);
            return VariantChangeType(dest, &tmp, 0, vt);
        }
    } else if (src->vt == VT_BUFFER && vt == VT_BUFFER) {
        result.buffer = src->buffer;
    } else {
        return DISP_E_TYPEMISMATCH;
    }
    result.vt = vt;
    VariantClear(dest);
    *dest = result;
    return S_OK;
}

VARIANT MakeVariantI2(SHORT value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

VARIANT MakeVariantI4(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT MakeVariantInt(INT value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_INT;
    v.intVal = value;
    return v;
}

VARIANT MakeVariantBstr(const char* utf8) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = BstrFromUtf8(utf8 ? utf8 : "");
    return v;
}

VARIANT MakeVariantBuffer(void* data, ULONG_PTR capacity) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BUFFER;
    v.buffer.pvData = data;
    v.buffer.cbCapacity = capacity;
    return v;
}

VARIANT MakeVariantRef(VARTYPE vt, void* target) {
    VARIANT v;
    VariantInit(&v);
    v.vt = static_cast<VARTYPE>(vt | VT_BYREF);
    v.byref = target;
    return v;
}
