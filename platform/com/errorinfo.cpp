// Per-thread error information, as servers report it and callers read it after a failed call.
#include <atomic>

#include "platform/com/interfaces.h"

namespace {
class ErrorInfo final : public IErrorInfo, public ICreateErrorInfo {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IErrorInfo) {
            *object = static_cast<IErrorInfo*>(this);
        } else if (riid == IID_ICreateErrorInfo) {
            *object = static_cast<ICreateErrorInfo*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT GetGUID(GUID* guid) override {
        if (!guid)
            return E_POINTER;
        *guid = m_guid;
        return S_OK;
    }
    HRESULT GetSource(BSTR* source) override { return Copy(m_source, source); }
    HRESULT GetDescription(BSTR* description) override { return Copy(m_description, description); }
    HRESULT GetHelpFile(BSTR* helpFile) override { return Copy(m_helpFile, helpFile); }
    HRESULT GetHelpContext(DWORD* helpContext) override {
        if (!helpContext)
            return E_POINTER;
        *helpContext = m_helpContext;
        return S_OK;
    }

    HRESULT SetGUID(REFGUID guid) override {
        m_guid = guid;
        return S_OK;
    }
    HRESULT SetSource(LPOLESTR source) override { return Assign(m_source, source); }
    HRESULT SetDescription(LPOLESTR description) override { return Assign(m_description, description); }
    HRESULT SetHelpFile(LPOLESTR helpFile) override { return Assign(m_helpFile, helpFile); }
    HRESULT SetHelpContext(DWORD helpContext) override {
        m_helpContext = helpContext;
        return S_OK;
    }

private:
    ~ErrorInfo() = default;
    static HRESULT Copy(const std::u16string& from, BSTR* to) {
        if (!to)
            return E_POINTER;
        *to = SysAllocStringLen(from.data(), static_cast<UINT>(from.size()));
        return *to ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT Assign(std::u16string& to, LPOLESTR from) {
        to = from ? std::u16string(from) : std::u16string();
        return S_OK;
    }

    std::atomic<ULONG> m_refs{1};
    GUID m_guid = GUID_NULL;
    std::u16string m_source;
    std::u16string m_description;
    std::u16string m_helpFile;
    DWORD m_helpContext = 0;
};

struct ThreadErrorSlot {
    IErrorInfo* info = nullptr;
    ~ThreadErrorSlot() {
        if (info)
            info->Release();
    }
};
thread_local ThreadErrorSlot t_error;
} // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** info) {
    if (!info)
        return E_POINTER;
    *info = static_cast<ICreateErrorInfo*>(new ErrorInfo);
    return S_OK;
}

HRESULT SetErrorInfo(DWORD, IErrorInfo* info) {
    if (info)
        info->AddRef();
    if (t_error.info)
        t_error.info->Release();
    t_error.info = info;
    return S_OK;
}

HRESULT GetErrorInfo(DWORD, IErrorInfo** info) {
    if (!info)
        return E_POINTER;
    *info = t_error.info;
    t_error.info = nullptr;
    return *info ? S_OK : S_FALSE;
}
