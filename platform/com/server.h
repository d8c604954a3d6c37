// Building blocks of an in-process automation server: the module's object count, a class factory,
// and the bases of its objects: a dual-interface object driven by its library's table, and a
// late-bound-only object.
#pragma once

#include <atomic>
#include <exception>
#include <new>
#include <span>
#include <string>
#include <type_traits>

#include "platform/com/dispargs.h"
#include "platform/com/interfaces.h"
#include "platform/com/refcount.h"
#include "platform/com/typeinfo.h"

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

// What every automation object of a server shares: its reference count, its module's object count,
// its error information, and the frame of Invoke that unpacks arguments and turns every failure into
// DISP_E_EXCEPTION with a description, so that no C++ exception leaves the module.
class DispatchBase {
public:
    DispatchBase(const DispatchBase&) = delete;
    DispatchBase& operator=(const DispatchBase&) = delete;

protected:
    DispatchBase(const IID& iid, const char* source, ComModuleState* module);
    virtual ~DispatchBase();

    ULONG AddRefObject() { return ++m_refs; }
    ULONG ReleaseObject(); // deletes the object with its last reference
    const IID& Iid() const { return m_iid; }
    // QueryInterface of an object that is dispatch for IUnknown, IDispatch and its own interface, and
    // support for ISupportErrorInfo.
    HRESULT Answer(REFIID riid, void** object, IDispatch* dispatch, ISupportErrorInfo* support) const;

    // Runs the body of one interface member so that nothing thrown leaves it: the thread's error
    // information is cleared first, and an exception becomes error information with
    // DescribeException's text and DISP_E_EXCEPTION, as a late-bound call reports it.
    template <class Body> HRESULT Guard(Body&& body) noexcept {
        SetErrorInfo(0, nullptr);
        try {
            return body();
        } catch (...) {
            return ReportException(std::current_exception());
        }
    }
    HRESULT ReportException(std::exception_ptr error) const noexcept;
    // Translates an exception into a description; the default knows std::exception. Servers override
    // it for their own exception types.
    virtual std::string DescribeException(std::exception_ptr error) const;
    // Sets the thread's error information (this object's interface and source) and returns hr.
    HRESULT Error(const std::string& description, HRESULT hr = DISP_E_EXCEPTION) const;

    // Invoke: finds the member, runs it and reports. A member's failure reaches a late-bound caller as
    // DISP_E_EXCEPTION with the member's code and error information in EXCEPINFO; an argument that
    // cannot be taken returns its own code, with its index in argErr.
    HRESULT InvokeCall(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                       UINT* argErr);
    virtual bool HasMember(DISPID id, WORD flags) const = 0;
    // Runs one member; throws DispArgError for arguments it cannot take.
    virtual HRESULT RunMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) = 0;

    HRESULT SupportsErrorInfo(REFIID riid) const { return riid == m_iid ? S_OK : S_FALSE; }

private:
    std::atomic<ULONG> m_refs{1};
    IID m_iid;
    std::string m_source;
    ComModuleState* m_module;
};

// A member of an object reached only by DISPID, without type information (the control bar's slider).
struct DispMember {
    const char* name;
    DISPID id;
};

// Base of a late-bound-only automation object with error information: its members are a list of
// names and a switch in InvokeMember.
class DispatchObject : public IDispatch, public ISupportErrorInfo, protected DispatchBase {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override { return Answer(riid, object, this, this); }
    ULONG AddRef() override { return AddRefObject(); }
    ULONG Release() override { return ReleaseObject(); }

    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override {
        return InvokeCall(id, flags, params, result, excepInfo, argErr);
    }

    HRESULT InterfaceSupportsErrorInfo(REFIID riid) override { return SupportsErrorInfo(riid); }

protected:
    DispatchObject(const IID& iid, std::span<const DispMember> members, const char* source,
                   ComModuleState* module)
        : DispatchBase(iid, source, module), m_members(members) {}

    // Runs one member. Return a failing HRESULT after Error() to report a failure; throw DispArgError
    // for bad arguments. Any other exception becomes DISP_E_EXCEPTION with its text.
    virtual HRESULT InvokeMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) = 0;

    using DispatchBase::DescribeException;
    using DispatchBase::Error;

private:
    bool HasMember(DISPID id, WORD flags) const override;
    HRESULT RunMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) override {
        return InvokeMember(id, flags, args, result);
    }
    std::span<const DispMember> m_members;
};

// Runs one row of a table for Invoke, after checking the count of arguments against the row.
HRESULT ComRunFunc(const ComFuncDesc& func, IDispatch* self, const DispArgs& args, VARIANT* result);

// Base of a server's class with a dual interface Itf (derived from IDispatch, one virtual member per
// operation): QueryInterface gives Itf for its IID; GetIDsOfNames, Invoke and the type information
// all come from the library's table, whose rows call Itf's members, so a late-bound call and a call
// through the interface run the same code. Each member of the class runs its body in Guard().
template <class Itf> class DualObject : public Itf, public ISupportErrorInfo, protected DispatchBase {
    static_assert(std::is_base_of_v<IDispatch, Itf>, "a dual interface derives from IDispatch");

public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        return Answer(riid, object, static_cast<Itf*>(this), this);
    }
    ULONG AddRef() override { return AddRefObject(); }
    ULONG Release() override { return ReleaseObject(); }

    HRESULT GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        return ComGetTypeInfoOfGuid(m_library, Iid(), info);
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return ComIDsOfNames(*m_library.dual, names, count, ids);
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override {
        return InvokeCall(id, flags, params, result, excepInfo, argErr);
    }

    HRESULT InterfaceSupportsErrorInfo(REFIID riid) override { return SupportsErrorInfo(riid); }

protected:
    DualObject(const ComLibraryDesc& library, const char* source, ComModuleState* module)
        : DispatchBase(library.dual->iid, source, module), m_library(library) {}

    using DispatchBase::DescribeException;
    using DispatchBase::Error;
    using DispatchBase::Guard;

private:
    bool HasMember(DISPID id, WORD flags) const override {
        return ComFindFunc(*m_library.dual, id, flags) != nullptr;
    }
    HRESULT RunMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) override {
        return ComRunFunc(*ComFindFunc(*m_library.dual, id, flags), static_cast<Itf*>(this), args, result);
    }

    const ComLibraryDesc& m_library;
};

// Creates objects of T (constructed with no arguments) for DllGetClassObject.
template <class T> class ComClassFactory final : public ComRefCounted<IClassFactory> {
public:
    explicit ComClassFactory(ComModuleState* module) : m_module(module) { m_module->ObjectCreated(); }

    HRESULT QueryInterface(REFIID riid, void** object) override {
        return Answer(riid, IID_IClassFactory, object);
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
    ~ComClassFactory() override { m_module->ObjectDestroyed(); }
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
