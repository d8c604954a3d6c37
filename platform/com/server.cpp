#include "platform/com/server.h"

#include <strings.h>

#include <stdexcept>

// --- DispArgs ---------------------------------------------------------------------------------------

UINT DispArgs::Count() const {
    if (!m_params)
        return 0;
    // The value of a property put is a named argument, not one of the positional ones.
    const bool put = (m_flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    return m_params->cArgs - (put && m_params->cNamedArgs > 0 ? 1u : 0u);
}

void DispArgs::Expect(UINT count) const {
    if (Count() != count)
        throw DispArgError{DISP_E_BADPARAMCOUNT, 0};
}

const VARIANT& DispArgs::At(UINT index) const {
    const UINT count = Count();
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

namespace {
template <class T> T* Ref(const VARIANT& v, VARTYPE want, UINT index) {
    if (v.vt != (want | VT_BYREF) || !v.byref)
        throw DispArgError{DISP_E_TYPEMISMATCH, index};
    return static_cast<T*>(v.byref);
}
} // namespace

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
    if (v.vt != VT_BUFFER)
        throw DispArgError{DISP_E_TYPEMISMATCH, index};
    if (capacity)
        *capacity = v.buffer.pvData ? v.buffer.cbCapacity : 0;
    return v.buffer.pvData;
}

const VARIANT& DispArgs::PutValue() const {
    if (!m_params || m_params->cArgs == 0 || m_params->cNamedArgs == 0 || !m_params->rgdispidNamedArgs ||
        m_params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        throw DispArgError{DISP_E_PARAMNOTFOUND, 0};
    return m_params->rgvarg[0];
}

SHORT DispArgs::PutI2() const {
    return Coerce(PutValue(), VT_I2, 0).iVal;
}
LONG DispArgs::PutI4() const {
    return Coerce(PutValue(), VT_I4, 0).lVal;
}

// --- DispatchObject ---------------------------------------------------------------------------------

DispatchObject::DispatchObject(const IID& iid, std::span<const DispMember> members, const char* source,
                               ComModuleState* module)
    : m_iid(iid), m_members(members), m_source(source ? source : ""), m_module(module) {
    if (m_module)
        m_module->ObjectCreated();
}

DispatchObject::~DispatchObject() {
    if (m_module)
        m_module->ObjectDestroyed();
}

HRESULT DispatchObject::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_iid) {
        *object = static_cast<IDispatch*>(this);
    } else if (riid == IID_ISupportErrorInfo) {
        *object = static_cast<ISupportErrorInfo*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG DispatchObject::AddRef() {
    return ++m_refs;
}

ULONG DispatchObject::Release() {
    const ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids)
        return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (i > 0) { // named parameters are not supported
            hr = DISP_E_UNKNOWNNAME;
            continue;
        }
        const std::string name = Utf8FromBstr(names[i]);
        for (const DispMember& member : m_members) {
            if (strcasecmp(member.name, name.c_str()) == 0) {
                ids[i] = member.id;
                break;
            }
        }
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

namespace {
void FillExcepInfo(EXCEPINFO* info, HRESULT hr) {
    if (!info)
        return;
    *info = EXCEPINFO{};
    info->scode = hr;
    IErrorInfo* error = nullptr;
    if (GetErrorInfo(0, &error) == S_OK && error) {
        error->GetSource(&info->bstrSource);
        error->GetDescription(&info->bstrDescription);
        error->GetHelpFile(&info->bstrHelpFile);
        error->GetHelpContext(&info->dwHelpContext);
        error->Release();
    }
}
} // namespace

HRESULT DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* excepInfo, UINT* argErr) {
    DISPPARAMS empty{nullptr, nullptr, 0, 0};
    if (!params)
        params = &empty;
    if (params->cArgs > 0 && !params->rgvarg)
        return E_INVALIDARG;
    bool known = false;
    for (const DispMember& member : m_members)
        known = known || member.id == id;
    if (!known)
        return DISP_E_MEMBERNOTFOUND;
    SetErrorInfo(0, nullptr);
    HRESULT hr = E_FAIL;
    try {
        hr = InvokeMember(id, flags, DispArgs(params, flags), result);
    } catch (const DispArgError& bad) {
        if (argErr)
            *argErr = bad.index;
        return bad.hr;
    } catch (...) {
        std::string text;
        try {
            text = DescribeException(std::current_exception());
        } catch (...) {
            text = "unknown error";
        }
        hr = Error(text, DISP_E_EXCEPTION);
    }
    if (FAILED(hr)) {
        // A member's failure reaches a late-bound caller as an exception carrying the member's code
        // and the error information it set.
        FillExcepInfo(excepInfo, hr);
        return DISP_E_EXCEPTION;
    }
    return hr;
}

HRESULT DispatchObject::InterfaceSupportsErrorInfo(REFIID riid) {
    return riid == m_iid ? S_OK : S_FALSE;
}

std::string DispatchObject::DescribeException(std::exception_ptr error) const {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

HRESULT DispatchObject::Error(const std::string& description, HRESULT hr) const {
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        const std::u16string source = Utf16FromUtf8(m_source.c_str());
        const std::u16string text = Utf16FromUtf8(description.c_str());
        create->SetGUID(m_iid);
        create->SetSource(const_cast<LPOLESTR>(source.c_str()));
        create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return hr;
}

void DispatchObject::SetResultI2(VARIANT* result, SHORT value) {
    if (result) {
        VariantClear(result);
        *result = MakeVariantI2(value);
    }
}

void DispatchObject::SetResultI4(VARIANT* result, LONG value) {
    if (result) {
        VariantClear(result);
        *result = MakeVariantI4(value);
    }
}

void DispatchObject::SetResultBstr(VARIANT* result, const std::string& utf8) {
    if (result) {
        VariantClear(result);
        *result = MakeVariantBstr(utf8.c_str());
    }
}
