// The root object with run-time class information: each class that declares itself dynamic carries a
// static CRuntimeClass record naming it and its base, so IsKindOf works without C++ RTTI and
// dynamically creatable classes can be built from their record.
#pragma once

#include "platform/afx/core/afxdefs.h"

class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema; // 0xFFFF for classes that are not serialised
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // A new object of this class, or nullptr when the class is not dynamically creatable.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    // Looks up a class that was created through IMPLEMENT_DYNCREATE or IMPLEMENT_DYNAMIC by name
    // among the classes registered so far; nullptr when unknown.
    static CRuntimeClass* AFXAPI FromName(LPCSTR lpszClassName);
};

// Registers a run-time class record so FromName can find it.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name)                                                                          \
public:                                                                                                      \
    static const CRuntimeClass class##class_name;                                                            \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                                        \
    DECLARE_DYNAMIC(class_name)                                                                              \
    static CObject* AFXAPI CreateObject();

#define KIVIC_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                           \
    const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)),  \
                                                         wSchema, pfnNew, RUNTIME_CLASS(base_class_name)};   \
    static const AFX_CLASSINIT kivic_classinit_##class_name(RUNTIME_CLASS(class_name));                      \
    CRuntimeClass* class_name::GetRuntimeClass() const {                                                     \
        return RUNTIME_CLASS(class_name);                                                                    \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                                       \
    KIVIC_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                                     \
    CObject* AFXAPI class_name::CreateObject() {                                                             \
        return new class_name;                                                                               \
    }                                                                                                        \
    KIVIC_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

class CObject {
public:
    static const CRuntimeClass classCObject;

    virtual ~CObject() = default;
    virtual CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;
    // Checks the object's invariants in debug builds; the default has none to check.
    virtual void AssertValid() const;

protected:
    CObject() = default;

private:
    // Objects of the framework are not copied implicitly (a derived class may define its own copy).
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};
