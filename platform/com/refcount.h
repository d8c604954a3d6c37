// The reference count of an automation object with one interface, which deletes itself with its last
// reference.
#pragma once

#include <atomic>

#include "platform/com/interfaces.h"

template <class Interface> class ComRefCounted : public Interface {
public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ComRefCounted() = default;
    virtual ~ComRefCounted() = default;

    // QueryInterface of an object whose one interface besides IUnknown is own.
    HRESULT Answer(REFIID riid, const IID& own, void** object) {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == own) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

private:
    std::atomic<ULONG> m_refs{1};
};
