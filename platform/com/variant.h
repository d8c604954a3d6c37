// The automation value type: the subset of VARIANT that the servers and their callers use.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/hresult.h"

struct IUnknown;
struct IDispatch;

using VARTYPE = unsigned short;
using VARIANT_BOOL = short;
#define VARIANT_TRUE (static_cast<VARIANT_BOOL>(-1))
#define VARIANT_FALSE (static_cast<VARIANT_BOOL>(0))

enum VARENUM : unsigned short {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    // A caller's memory block: its address and its capacity in bytes. Automation on this platform
    // passes buffer addresses this way, since a 32-bit integer cannot hold an address here.
    VT_BUFFER = 0x0F00,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

// A caller's memory block as it travels in a VT_BUFFER value and in a dual interface's parameter.
struct ComBuffer {
    void* pvData;
    ULONG_PTR cbCapacity;
};

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        SHORT iVal;
        INT intVal;
        UINT uintVal;
        BYTE bVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        SHORT* piVal;
        LONG* plVal;
        INT* pintVal;
        BSTR* pbstrVal;
        VARIANT* pvarVal;
        void* byref;
        ComBuffer buffer;
    };
};
using VARIANTARG = VARIANT;
using LPVARIANT = VARIANT*;

void VariantInit(VARIANT* v);
// Frees what the value owns (a BSTR, an interface reference) and leaves it VT_EMPTY.
HRESULT VariantClear(VARIANT* v);
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Converts between VT_I2, VT_I4, VT_INT, VT_UINT, VT_UI1, VT_BOOL and VT_BSTR (also through VT_BYREF
// sources); DISP_E_OVERFLOW when the value does not fit, DISP_E_TYPEMISMATCH otherwise.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, unsigned short flags, VARTYPE vt);

// Small constructors for callers.
VARIANT MakeVariantI2(SHORT value);
VARIANT MakeVariantI4(LONG value);
VARIANT MakeVariantInt(INT value);
VARIANT MakeVariantBstr(const char* utf8); // allocates; VariantClear frees
VARIANT MakeVariantBuffer(void* data, ULONG_PTR capacity);
VARIANT MakeVariantRef(VARTYPE vt, void* target);
