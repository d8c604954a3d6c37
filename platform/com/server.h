// Building blocks of an in-process automation server: the module's object count, a class factory,
// and a dispatch object base that maps names to DISPIDs, unpacks arguments and turns every failure
// into DISP_E_EXCEPTION with a description, so that no C++ exception leaves the module.
#pragma once

#include <atomic>
#include <exception>
#include <new>
#include <span>
#include <string>

#include "platform/com/interfaces.h"

// Counts live objects and server locks of one module (DllCanUnloadNow).
class ComModuleState {
public:
    void ObjectCreated() { ++m_objects; }
    void ObjectDestroyed() { --m_objects; }
    void Lock(bool lock) { lock ? ++m_locks : --m_locks; }
    HRESULT CanUnloadNow() const { return m_objects == 0 && m_locks == 0 ? S_OK : S_FALSE; }
    long Objects() const { return m_objects; }

private:
    std::atomic<long> m_objects{0};
    std::atomic<long> m_locks{0};
};

// Thrown by the argument accessors: the HRESULT to return and the argument at fault.
struct DispArgError {
    HRESULT hr;
    UINT index;
};

// The arguments of one call, in natural order (0 is the first argument). Values are coerced as
// automation does (an I4 passed where an INT or I2 is declared is accepted when it fits).
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
    // A caller's buffer: address (may be null when the call asks only for a size) and capacity.
    void* Buffer(UINT index, ULONG_PTR* capacity) const;

    // The value of a property put (the named DISPID_PROPERTYPUT argument).
    const VARIANT& PutValue() const;
    SHORT PutI2() const;
    LONG PutI4() const;

private:
    const VARIANT& At(UINT index) const;
    DISPPARAMS* m_params;
    WORD m_flags;
};

struct DispMember {
    const char* name;
    DISPID id;
};

// Base of a dual-interface automation object with error information.
class DispatchObject : public IDispatch, public ISupportErrorInfo {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override;

    HRESULT InterfaceSupportsErrorInfo(REFIID riid) override;

protected:
    DispatchObject(const IID& iid, std::span<const DispMember> members, const char* source,
                   ComModuleState* module);
    virtual ~DispatchObject();
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    // Runs one member. Return a failing HRESULT after Error() to report a failure; throw DispArgError
    // for bad arguments. Any other exception becomes DISP_E_EXCEPTION with its text.
    virtual HRESULT InvokeMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) = 0;
    // Translates an exception thrown by InvokeMember into a description; the default knows
    // std::exception. Servers override it for their own exception types.
    virtual std::string DescribeException(std::exception_ptr error) const;

    // Sets the thread's error information (this object's interface and source) and returns hr.
    HRESULT Error(const std::string& description, HRESULT hr = DISP_E_EXCEPTION) const;

    static void SetResultI2(VARIANT* result, SHORT value);
    static void SetResultI4(VARIANT* result, LONG value);
    static void SetResultBstr(VARIANT* result, const std::string& utf8);

private:
    std::atomic<ULONG> m_refs{1};
    IID m_iid;
    std::span<const DispMember> m_members;
    std::string m_source;
    ComModuleState* m_module;
};

// Creates objects of T (constructed with no arguments) for DllGetClassObject.
template <class T> class ComClassFactory final : public IClassFactory {
public:
    explicit ComClassFactory(ComModuleState* module) : m_module(module) { m_module->ObjectCreated(); }

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        T* created = nullptr;
        try {
            created = new T;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        const HRESULT hr = created->QueryInterface(riid, object);
        created->Release();
        return hr;
    }
    HRESULT LockServer(BOOL lock) override {
        m_module->Lock(lock != FALSE);
        return S_OK;
    }

private:
    ~ComClassFactory() { m_module->ObjectDestroyed(); }
    std::atomic<ULONG> m_refs{1};
    ComModuleState* m_module;
};

// The body of a module's DllGetClassObject for its one creatable class T.
template <class T>
HRESULT ComGetClassObject(REFCLSID clsid, REFCLSID served, REFIID riid, void** object,
                          ComModuleState* module) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid != served)
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) ComClassFactory<T>(module);
    if (!factory)
        return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, object);
    factory->Release();
    return hr;
}

// The four entry points of a server module are exported under these plain names.
#define KIVIC_COM_EXPORT extern "C" __attribute__((visibility("default")))
