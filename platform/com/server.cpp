#include "platform/com/server.h"

#include <strings.h>

// --- DispatchBase -----------------------------------------------------------------------------------

DispatchBase::DispatchBase(const IID& iid, const char* source, ComModuleState* module)
    : m_iid(iid), m_source(source ? source : ""), m_module(module) {
    if (m_module)
        m_module->ObjectCreated();
}

DispatchBase::~DispatchBase() {
    if (m_module)
        m_module->ObjectDestroyed();
}

ULONG DispatchBase::ReleaseObject() {
    const ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT DispatchBase::Answer(REFIID riid, void** object, IDispatch* dispatch,
                             ISupportErrorInfo* support) const {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_iid) {
        *object = dispatch;
    } else if (riid == IID_ISupportErrorInfo) {
        *object = support;
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    dispatch->AddRef();
    return S_OK;
}

HRESULT DispatchBase::ReportException(std::exception_ptr error) const noexcept {
    std::string text;
    try {
        text = DescribeException(error);
    } catch (...) {
        text = "unknown error";
    }
    try {
        return Error(text, DISP_E_EXCEPTION);
    } catch (...) {
        return DISP_E_EXCEPTION;
    }
}

std::string DispatchBase::DescribeException(std::exception_ptr error) const {
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

HRESULT DispatchBase::Error(const std::string& description, HRESULT hr) const {
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

bool IsPut(WORD flags) {
    return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
}
} // namespace

HRESULT DispatchBase::InvokeCall(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* excepInfo, UINT* argErr) {
    DISPPARAMS empty{nullptr, nullptr, 0, 0};
    if (!params)
        params = &empty;
    if ((params->cArgs > 0 && !params->rgvarg) || params->cNamedArgs > params->cArgs ||
        (params->cNamedArgs > 0 && !params->rgdispidNamedArgs))
        return E_INVALIDARG;
    if (!HasMember(id, flags))
        return DISP_E_MEMBERNOTFOUND;
    // The only named argument taken is the value of a property put.
    if (params->cNamedArgs > (IsPut(flags) ? 1u : 0u) ||
        (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
        return DISP_E_NONAMEDARGS;
    SetErrorInfo(0, nullptr);
    HRESULT hr = E_FAIL;
    try {
        hr = RunMember(id, flags, DispArgs(params, flags), result);
    } catch (const DispArgError& bad) {
        // The caller counts in rgvarg, where the arguments stand last-first and a put's value first.
        const UINT positional = DispArgs(params, flags).Count();
        if (argErr)
            *argErr = bad.index < positional ? params->cArgs - 1 - bad.index : 0;
        return bad.hr;
    } catch (...) {
        hr = ReportException(std::current_exception());
    }
    if (FAILED(hr)) {
        FillExcepInfo(excepInfo, hr);
        return DISP_E_EXCEPTION;
    }
    return hr;
}

// --- The table ----------------------------------------------------------------------------------------

HRESULT ComRunFunc(const ComFuncDesc& func, IDispatch* self, const DispArgs& args, VARIANT* result) {
    // The value of a put is the row's last parameter, passed as the named argument.
    const UINT positional = func.paramCount - (IsPut(func.invkind) && func.paramCount > 0 ? 1u : 0u);
    args.Expect(positional);
    return func.invoke(self, func, args, result);
}

// --- DispatchObject ---------------------------------------------------------------------------------

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

bool DispatchObject::HasMember(DISPID id, WORD) const {
    for (const DispMember& member : m_members)
        if (member.id == id)
            return true;
    return false;
}
