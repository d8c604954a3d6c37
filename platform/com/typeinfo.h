// Type information of an automation server: its library (name, version, GUID, help text), its dual
// interface (every member with its DISPID, invoke kind, parameter and result types) and its class.
// A server describes all of it once, as a constant table (ComLibraryDesc); its IDispatch answers
// GetIDsOfNames and Invoke from that table, and callers read it through ITypeLib and ITypeInfo.
#pragma once

#include <span>

#include "platform/com/interfaces.h"

class DispArgs;

#define MEMBERID_NIL DISPID_UNKNOWN

enum TYPEKIND {
    TKIND_ENUM = 0,
    TKIND_RECORD = 1,
    TKIND_MODULE = 2,
    TKIND_INTERFACE = 3,
    TKIND_DISPATCH = 4,
    TKIND_COCLASS = 5,
};

enum INVOKEKIND {
    INVOKE_FUNC = DISPATCH_METHOD,
    INVOKE_PROPERTYGET = DISPATCH_PROPERTYGET,
    INVOKE_PROPERTYPUT = DISPATCH_PROPERTYPUT,
    INVOKE_PROPERTYPUTREF = DISPATCH_PROPERTYPUTREF,
};

enum FUNCKIND {
    FUNC_PUREVIRTUAL = 1,
    FUNC_DISPATCH = 4,
};

#define TYPEFLAG_FCANCREATE 0x2
#define TYPEFLAG_FDUAL 0x40
#define TYPEFLAG_FOLEAUTOMATION 0x100
#define TYPEFLAG_FDISPATCHABLE 0x1000

#define PARAMFLAG_NONE 0x0
#define PARAMFLAG_FIN 0x1
#define PARAMFLAG_FOUT 0x2
#define PARAMFLAG_FRETVAL 0x8

// A parameter's or result's type: VT_BYREF marks what the caller passes by address; VT_BUFFER is a
// caller's memory block (address and capacity); VT_VOID is no result.
struct TYPEDESC {
    VARTYPE vt;
};
struct PARAMDESC {
    USHORT wParamFlags;
};
struct ELEMDESC {
    TYPEDESC tdesc;
    PARAMDESC paramdesc;
};

struct TYPEATTR {
    GUID guid;
    LCID lcid;
    TYPEKIND typekind;
    WORD cFuncs;
    WORD cVars;
    WORD cImplTypes;
    WORD wTypeFlags;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
};

// One member as late-bound callers see it: a property get has no parameters and the property's type
// as its result; a put has the new value as its one parameter.
struct FUNCDESC {
    MEMBERID memid;
    FUNCKIND funckind;
    INVOKEKIND invkind;
    SHORT cParams;
    SHORT cParamsOpt;
    ELEMDESC* lprgelemdescParam;
    ELEMDESC elemdescFunc;
    WORD wFuncFlags;
};

struct TLIBATTR {
    GUID guid;
    LCID lcid;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    WORD wLibFlags;
};

struct ITypeLib;

// The description of one interface or class. What Get...Attr and GetFuncDesc hand out belongs to the
// type information and stays valid until the matching Release... call.
struct ITypeInfo : IUnknown {
    virtual HRESULT GetTypeAttr(TYPEATTR** attr) = 0;
    virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) = 0;
    // The member's name followed by its parameters' names.
    virtual HRESULT GetNames(MEMBERID memid, BSTR* names, UINT maxNames, UINT* count) = 0;
    virtual HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) = 0;
    // MEMBERID_NIL describes the type itself. Any out pointer may be null.
    virtual HRESULT GetDocumentation(MEMBERID memid, BSTR* name, BSTR* docString, DWORD* helpContext,
                                     BSTR* helpFile) = 0;
    virtual HRESULT GetContainingTypeLib(ITypeLib** lib, UINT* index) = 0;
    virtual void ReleaseTypeAttr(TYPEATTR* attr) = 0;
    virtual void ReleaseFuncDesc(FUNCDESC* desc) = 0;

protected:
    ~ITypeInfo() = default;
};

struct ITypeLib : IUnknown {
    virtual UINT GetTypeInfoCount() = 0;
    virtual HRESULT GetTypeInfo(UINT index, ITypeInfo** info) = 0;
    virtual HRESULT GetTypeInfoType(UINT index, TYPEKIND* kind) = 0;
    virtual HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) = 0;
    virtual HRESULT GetLibAttr(TLIBATTR** attr) = 0;
    // Index -1 describes the library itself. Any out pointer may be null.
    virtual HRESULT GetDocumentation(INT index, BSTR* name, BSTR* docString, DWORD* helpContext,
                                     BSTR* helpFile) = 0;
    virtual void ReleaseTLibAttr(TLIBATTR* attr) = 0;

protected:
    ~ITypeLib() = default;
};

inline constexpr IID IID_ITypeInfo = {0x00020401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_ITypeLib = {0x00020402, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// --- The server's table ------------------------------------------------------------------------------

inline constexpr UINT kComMaxParams = 6;

struct ComParamDesc {
    const char* name;
    VARTYPE vt;
};

struct ComFuncDesc;
// Runs one member for Invoke: takes the arguments from args as the row declares them, calls the
// interface's member function on self and stores its result.
using ComInvokeFn = HRESULT (*)(IDispatch* self, const ComFuncDesc& func, const DispArgs& args,
                                VARIANT* result);

// One row: a method, or one access (get, put, putref) of a property. A property's rows share its DISPID.
// Its help text is "method <name>" or "property <name>".
struct ComFuncDesc {
    DISPID id;
    WORD invkind; // DISPATCH_METHOD, _PROPERTYGET, _PROPERTYPUT or _PROPERTYPUTREF
    const char* name;
    VARTYPE result; // VT_VOID when the member gives no value
    UINT paramCount;
    ComParamDesc params[kComMaxParams];
    ComInvokeFn invoke;
};

struct ComInterfaceDesc {
    IID iid;
    const char* name;
    const char* docString;
    std::span<const ComFuncDesc> funcs;
};

struct ComClassDesc {
    CLSID clsid;
    const char* name;
    const char* docString;
};

// A server's library: its one dual interface and the class that implements it.
struct ComLibraryDesc {
    GUID libid;
    const char* name;
    const char* docString;
    WORD majorVersion;
    WORD minorVersion;
    const ComInterfaceDesc* dual;
    ComClassDesc coclass;
};

// The row that Invoke runs for id and flags, or null. A value put and a reference put stand in for
// each other when the member declares only one of them.
const ComFuncDesc* ComFindFunc(const ComInterfaceDesc& desc, DISPID id, WORD flags);
// Whether any row has this DISPID.
bool ComHasMember(const ComInterfaceDesc& desc, DISPID id);
// names[0] is a member (case ignored), the further names its parameters (their 0-based positions).
HRESULT ComIDsOfNames(const ComInterfaceDesc& desc, LPOLESTR* names, UINT count, DISPID* ids);

// The library's type information, as refcounted objects that read the server's table. A server
// module stays loaded for the life of the process, so the table outlives them.
HRESULT ComCreateTypeLib(const ComLibraryDesc& library, ITypeLib** lib);
HRESULT ComGetTypeInfoOfGuid(const ComLibraryDesc& library, REFGUID guid, ITypeInfo** info);
