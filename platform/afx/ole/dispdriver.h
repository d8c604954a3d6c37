// The client side of automation: a dispatch driver that creates a server object by ProgID and calls
// its members by DISPID with the parameter types written out, throwing framework exceptions when a
// call fails.
#pragma once

#include <cstdarg>

#include "platform/afx/core/afxcore.h"
#include "platform/com/com.h"

using LPDISPATCH = IDispatch*;

// Parameter type codes for InvokeHelper: one byte per parameter, in order.
#define VTS_NONE ""
#define VTS_I2 "\x02"     // SHORT (passed as int)
#define VTS_I4 "\x03"     // LONG
#define VTS_BSTR "\x08"   // const char* (UTF-8), sent as a BSTR
#define VTS_BOOL "\x0B"   // BOOL
#define VTS_INT "\x16"    // int
#define VTS_PI2 "\x42"    // SHORT*
#define VTS_PI4 "\x43"    // LONG*
#define VTS_PINT "\x56"   // int*
#define VTS_BUFFER "\x7E" // void* data, then size_t capacity: a caller's memory block

// A failed call whose cause is not a server exception (creation, wrong arguments, ...).
class COleException : public CException {
    DECLARE_DYNAMIC(COleException)
public:
    explicit COleException(SCODE sc = S_OK) : m_sc(sc) {}
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;
    // The SCODE of any framework exception (E_OUTOFMEMORY for memory, E_UNEXPECTED otherwise).
    static SCODE Process(const CException* e);

    SCODE m_sc;
};

// A server reported a failure: its description, source and code.
class COleDispatchException : public CException {
    DECLARE_DYNAMIC(COleDispatchException)
public:
    COleDispatchException(LPCTSTR description, UINT helpId, WORD code);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;

    WORD m_wCode;
    CString m_strDescription;
    DWORD m_dwHelpContext;
    CString m_strHelpFile;
    CString m_strSource;
    SCODE m_scError;
};

[[noreturn]] void AfxThrowOleException(SCODE sc);
[[noreturn]] void AfxThrowOleDispatchException(WORD code, LPCTSTR description, UINT helpId = 0);

class COleDispatchDriver {
public:
    COleDispatchDriver() = default;
    explicit COleDispatchDriver(LPDISPATCH dispatch, BOOL autoRelease = TRUE);
    virtual ~COleDispatchDriver();
    COleDispatchDriver(const COleDispatchDriver&) = delete;
    COleDispatchDriver& operator=(const COleDispatchDriver&) = delete;

    // Creates the object; on failure returns FALSE and, when given, fills error->m_sc.
    BOOL CreateDispatch(LPCTSTR progId, COleException* error = nullptr);
    BOOL CreateDispatch(REFCLSID clsid, COleException* error = nullptr);
    void AttachDispatch(LPDISPATCH dispatch, BOOL autoRelease = TRUE);
    LPDISPATCH DetachDispatch();
    void ReleaseDispatch();

    // Calls member id. vtRet is VT_EMPTY (no result), VT_I2 (SHORT*), VT_I4 (LONG*), VT_INT (int*),
    // VT_BOOL (BOOL*) or VT_BSTR (CString*); the variable arguments follow paramInfo.
    // Throws COleDispatchException* when the server reports a failure, COleException* otherwise.
    void InvokeHelper(DISPID id, WORD flags, VARTYPE vtRet, void* ret, const BYTE* paramInfo, ...);
    void InvokeHelperV(DISPID id, WORD flags, VARTYPE vtRet, void* ret, const BYTE* paramInfo, va_list args);
    void GetProperty(DISPID id, VARTYPE vtProp, void* value);
    // The type is an int-sized parameter: it is the last one before the variable arguments.
    void SetProperty(DISPID id, UINT vtProp, ...);

    LPDISPATCH m_lpDispatch = nullptr;
    BOOL m_bAutoRelease = TRUE;
};
