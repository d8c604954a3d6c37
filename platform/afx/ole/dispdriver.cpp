#include "platform/afx/ole/dispdriver.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(COleException, CException)
IMPLEMENT_DYNAMIC(COleDispatchException, CException)

namespace {
void CopyMessage(const CString& text, LPTSTR out, UINT max) {
    if (!out || max == 0)
        return;
    const UINT n =
        static_cast<UINT>(text.GetLength()) < max - 1 ? static_cast<UINT>(text.GetLength()) : max - 1;
    std::memcpy(out, static_cast<LPCTSTR>(text), n);
    out[n] = '\0';
}

CString FromBstr(BSTR text) {
    return CString(Utf8FromBstr(text).c_str());
}
} // namespace

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    CString text;
    text.Format("automation call failed (0x%08X)", static_cast<unsigned>(m_sc));
    CopyMessage(text, lpszError, nMaxError);
    if (pnHelpContext)
        *pnHelpContext = 0;
    return TRUE;
}

SCODE COleException::Process(const CException* e) {
    if (!e)
        return E_UNEXPECTED;
    if (e->IsKindOf(RUNTIME_CLASS(COleException)))
        return static_cast<const COleException*>(e)->m_sc;
    if (e->IsKindOf(RUNTIME_CLASS(COleDispatchException)))
        return static_cast<const COleDispatchException*>(e)->m_scError;
    if (e->IsKindOf(RUNTIME_CLASS(CMemoryException)))
        return E_OUTOFMEMORY;
    return E_UNEXPECTED;
}

COleDispatchException::COleDispatchException(LPCTSTR description, UINT helpId, WORD code)
    : m_wCode(code), m_strDescription(description ? description : ""), m_dwHelpContext(helpId),
      m_scError(code ? S_OK : DISP_E_EXCEPTION) {}

BOOL COleDispatchException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    CopyMessage(m_strDescription, lpszError, nMaxError);
    if (pnHelpContext)
        *pnHelpContext = m_dwHelpContext;
    return TRUE;
}

void AfxThrowOleException(SCODE sc) {
    throw new COleException(sc);
}

void AfxThrowOleDispatchException(WORD code, LPCTSTR description, UINT helpId) {
    throw new COleDispatchException(description, helpId, code);
}

COleDispatchDriver::COleDispatchDriver(LPDISPATCH dispatch, BOOL autoRelease)
    : m_lpDispatch(dispatch), m_bAutoRelease(autoRelease) {}

COleDispatchDriver::~COleDispatchDriver() {
    ReleaseDispatch();
}

BOOL COleDispatchDriver::CreateDispatch(LPCTSTR progId, COleException* error) {
    CLSID clsid{};
    const HRESULT hr = CLSIDFromProgIDA(progId, &clsid);
    if (FAILED(hr)) {
        if (error)
            error->m_sc = hr;
        return FALSE;
    }
    return CreateDispatch(clsid, error);
}

BOOL COleDispatchDriver::CreateDispatch(REFCLSID clsid, COleException* error) {
    ReleaseDispatch();
    LPDISPATCH dispatch = nullptr;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                        reinterpret_cast<void**>(&dispatch));
    if (FAILED(hr) || !dispatch) {
        if (error)
            error->m_sc = FAILED(hr) ? hr : E_NOINTERFACE;
        return FALSE;
    }
    AttachDispatch(dispatch, TRUE);
    return TRUE;
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH dispatch, BOOL autoRelease) {
    ReleaseDispatch();
    m_lpDispatch = dispatch;
    m_bAutoRelease = autoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch() {
    LPDISPATCH dispatch = m_lpDispatch;
    m_lpDispatch = nullptr;
    return dispatch;
}

void COleDispatchDriver::ReleaseDispatch() {
    if (m_lpDispatch && m_bAutoRelease)
        m_lpDispatch->Release();
    m_lpDispatch = nullptr;
}

void COleDispatchDriver::InvokeHelper(DISPID id, WORD flags, VARTYPE vtRet, void* ret, const BYTE* paramInfo,
                                      ...) {
    va_list args;
    va_start(args, paramInfo);
    try {
        InvokeHelperV(id, flags, vtRet, ret, paramInfo, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

void COleDispatchDriver::InvokeHelperV(DISPID id, WORD flags, VARTYPE vtRet, void* ret, const BYTE* paramInfo,
                                       va_list args) {
    if (!m_lpDispatch)
        AfxThrowOleException(E_POINTER);
    std::vector<VARIANT> values;
    for (const BYTE* p = paramInfo; p && *p; ++p) {
        VARIANT v;
        VariantInit(&v);
        switch (*p) {
        case 0x02:
            v = MakeVariantI2(static_cast<SHORT>(va_arg(args, int)));
            break;
        case 0x03:
            v = MakeVariantI4(static_cast<LONG>(va_arg(args, int)));
            break;
        case 0x16:
            v = MakeVariantInt(va_arg(args, int));
            break;
        case 0x0B:
            v.vt = VT_BOOL;
            v.boolVal = va_arg(args, int) ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case 0x08:
            v = MakeVariantBstr(va_arg(args, const char*));
            break;
        case 0x42:
            v = MakeVariantRef(VT_I2, va_arg(args, SHORT*));
            break;
        case 0x43:
            v = MakeVariantRef(VT_I4, va_arg(args, LONG*));
            break;
        case 0x56:
            v = MakeVariantRef(VT_INT, va_arg(args, int*));
            break;
        case 0x7E: {
            void* data = va_arg(args, void*);
            const size_t capacity = va_arg(args, size_t);
            v = MakeVariantBuffer(data, capacity);
            break;
        }
        default:
            for (VARIANT& made : values)
                VariantClear(&made);
            AfxThrowOleException(DISP_E_BADVARTYPE);
        }
        values.push_back(v);
    }
    // Arguments travel last-first.
    std::vector<VARIANT> reversed(values.rbegin(), values.rend());
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr,
                      static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    UINT argErr = 0;
    const HRESULT hr = m_lpDispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                            vtRet == VT_EMPTY ? nullptr : &result, &info, &argErr);
    for (VARIANT& v : values)
        VariantClear(&v);
    if (FAILED(hr)) {
        VariantClear(&result);
        if (hr == DISP_E_EXCEPTION) {
            auto* e = new COleDispatchException(nullptr, info.dwHelpContext, info.wCode);
            e->m_strDescription = FromBstr(info.bstrDescription);
            e->m_strSource = FromBstr(info.bstrSource);
            e->m_strHelpFile = FromBstr(info.bstrHelpFile);
            e->m_scError = info.scode ? info.scode : DISP_E_EXCEPTION;
            SysFreeString(info.bstrDescription);
            SysFreeString(info.bstrSource);
            SysFreeString(info.bstrHelpFile);
            throw e;
        }
        AfxThrowOleException(hr);
    }
    if (vtRet == VT_EMPTY || !ret) {
        VariantClear(&result);
        return;
    }
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT hrConvert =
        VariantChangeType(&converted, &result, 0, vtRet == VT_BOOL ? static_cast<VARTYPE>(VT_I4) : vtRet);
    VariantClear(&result);
    if (FAILED(hrConvert))
        AfxThrowOleException(hrConvert);
    switch (vtRet) {
    case VT_I2:
        *static_cast<SHORT*>(ret) = converted.iVal;
        break;
    case VT_I4:
        *static_cast<LONG*>(ret) = converted.lVal;
        break;
    case VT_INT:
        *static_cast<int*>(ret) = converted.intVal;
        break;
    case VT_BOOL:
        *static_cast<BOOL*>(ret) = converted.lVal != 0;
        break;
    case VT_BSTR:
        *static_cast<CString*>(ret) = FromBstr(converted.bstrVal);
        break;
    default:
        VariantClear(&converted);
        AfxThrowOleException(DISP_E_BADVARTYPE);
    }
    VariantClear(&converted);
}

void COleDispatchDriver::GetProperty(DISPID id, VARTYPE vtProp, void* value) {
    InvokeHelper(id, DISPATCH_PROPERTYGET, vtProp, value, nullptr);
}

void COleDispatchDriver::SetProperty(DISPID id, UINT vtProp, ...) {
    va_list args;
    va_start(args, vtProp);
    const char* info = vtProp == VT_I2     ? VTS_I2
                       : vtProp == VT_I4   ? VTS_I4
                       : vtProp == VT_BSTR ? VTS_BSTR
                                           : VTS_INT;
    try {
        InvokeHelperV(id, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(info), args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}
