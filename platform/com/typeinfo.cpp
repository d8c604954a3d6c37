#include "platform/com/typeinfo.h"

#include <strings.h>

#include <string>
#include <vector>

#include "platform/com/refcount.h"

namespace {
const ComFuncDesc* FindKind(const ComInterfaceDesc& desc, DISPID id, WORD kind) {
    for (const ComFuncDesc& f : desc.funcs)
        if (f.id == id && f.invkind == kind)
            return &f;
    return nullptr;
}

const ComFuncDesc* FirstOf(const ComInterfaceDesc& desc, MEMBERID memid) {
    for (const ComFuncDesc& f : desc.funcs)
        if (f.id == memid)
            return &f;
    return nullptr;
}

bool SameName(const char* a, const OLECHAR* b) {
    return b && strcasecmp(a, Utf8FromBstr(b).c_str()) == 0;
}

// Fills the optional out texts of a GetDocumentation call.
HRESULT Document(const char* name, const char* docString, BSTR* nameOut, BSTR* docOut, DWORD* helpContext,
                 BSTR* helpFile) {
    if (nameOut)
        *nameOut = BstrFromUtf8(name);
    if (docOut)
        *docOut = docString ? BstrFromUtf8(docString) : nullptr;
    if (helpContext)
        *helpContext = 0;
    if (helpFile)
        *helpFile = nullptr; // the servers have no help file
    return S_OK;
}

USHORT ParamFlags(VARTYPE vt) {
    // What travels by address or into a caller's block is written by the callee.
    return (vt & VT_BYREF) || vt == VT_BUFFER ? PARAMFLAG_FIN | PARAMFLAG_FOUT : PARAMFLAG_FIN;
}

class TypeLib final : public ComRefCounted<ITypeLib> {
public:
    explicit TypeLib(const ComLibraryDesc& library) : m_library(library) {}
    const ComLibraryDesc& Library() const { return m_library; }

    HRESULT QueryInterface(REFIID riid, void** object) override { return Answer(riid, IID_ITypeLib, object); }
    UINT GetTypeInfoCount() override { return 2; }
    HRESULT GetTypeInfo(UINT index, ITypeInfo** info) override;
    HRESULT GetTypeInfoType(UINT index, TYPEKIND* kind) override {
        if (!kind)
            return E_POINTER;
        if (index >= GetTypeInfoCount())
            return TYPE_E_ELEMENTNOTFOUND;
        *kind = index == kDualIndex ? TKIND_DISPATCH : TKIND_COCLASS;
        return S_OK;
    }
    HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) override {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (guid == m_library.dual->iid)
            return GetTypeInfo(kDualIndex, info);
        if (guid == m_library.coclass.clsid)
            return GetTypeInfo(kClassIndex, info);
        return TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT GetLibAttr(TLIBATTR** attr) override {
        if (!attr)
            return E_POINTER;
        m_attr = {m_library.libid, 0, m_library.majorVersion, m_library.minorVersion, 0};
        *attr = &m_attr;
        return S_OK;
    }
    HRESULT GetDocumentation(INT index, BSTR* name, BSTR* docString, DWORD* helpContext,
                             BSTR* helpFile) override {
        if (index == -1)
            return Document(m_library.name, m_library.docString, name, docString, helpContext, helpFile);
        if (index == static_cast<INT>(kDualIndex))
            return Document(m_library.dual->name, m_library.dual->docString, name, docString, helpContext,
                            helpFile);
        if (index == static_cast<INT>(kClassIndex))
            return Document(m_library.coclass.name, m_library.coclass.docString, name, docString, helpContext,
                            helpFile);
        return TYPE_E_ELEMENTNOTFOUND;
    }
    void ReleaseTLibAttr(TLIBATTR*) override {}

    static constexpr UINT kDualIndex = 0;
    static constexpr UINT kClassIndex = 1;

private:
    const ComLibraryDesc& m_library;
    TLIBATTR m_attr{};
};

// The dual interface (its dispatch view) or the class. Holds its library, so that a caller who keeps
// only the type information can still reach the library.
class TypeInfo final : public ComRefCounted<ITypeInfo> {
public:
    TypeInfo(TypeLib* lib, UINT index) : m_lib(lib), m_index(index) {
        m_lib->AddRef();
        const ComLibraryDesc& library = m_lib->Library();
        if (IsDual()) {
            const ComInterfaceDesc& dual = *library.dual;
            m_attr = {dual.iid,
                      0,
                      TKIND_DISPATCH,
                      static_cast<WORD>(dual.funcs.size()),
                      0,
                      1,
                      TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE | TYPEFLAG_FOLEAUTOMATION,
                      library.majorVersion,
                      library.minorVersion};
            BuildFuncDescs(dual);
        } else {
            m_attr = {
                library.coclass.clsid, 0, TKIND_COCLASS, 0, 0, 1, TYPEFLAG_FCANCREATE, library.majorVersion,
                library.minorVersion};
        }
    }

    HRESULT QueryInterface(REFIID riid, void** object) override {
        return Answer(riid, IID_ITypeInfo, object);
    }
    HRESULT GetTypeAttr(TYPEATTR** attr) override {
        if (!attr)
            return E_POINTER;
        *attr = &m_attr;
        return S_OK;
    }
    HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) override {
        if (!desc)
            return E_POINTER;
        *desc = nullptr;
        if (index >= m_funcs.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *desc = &m_funcs[index];
        return S_OK;
    }
    HRESULT GetNames(MEMBERID memid, BSTR* names, UINT maxNames, UINT* count) override {
        if (!names || !count)
            return E_POINTER;
        *count = 0;
        const ComFuncDesc* f = IsDual() ? FirstOf(*m_lib->Library().dual, memid) : nullptr;
        if (!f)
            return TYPE_E_ELEMENTNOTFOUND;
        if (maxNames > 0)
            names[(*count)++] = BstrFromUtf8(f->name);
        for (UINT i = 0; i < f->paramCount && *count < maxNames; ++i)
            names[(*count)++] = BstrFromUtf8(f->params[i].name);
        return S_OK;
    }
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override {
        if (IsDual())
            return ComIDsOfNames(*m_lib->Library().dual, names, count, ids);
        if (!names || !ids)
            return E_POINTER;
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT GetDocumentation(MEMBERID memid, BSTR* name, BSTR* docString, DWORD* helpContext,
                             BSTR* helpFile) override {
        if (memid == MEMBERID_NIL)
            return m_lib->GetDocumentation(static_cast<INT>(m_index), name, docString, helpContext, helpFile);
        const ComFuncDesc* f = IsDual() ? FirstOf(*m_lib->Library().dual, memid) : nullptr;
        if (!f)
            return TYPE_E_ELEMENTNOTFOUND;
        const std::string text =
            std::string(f->invkind == DISPATCH_METHOD ? "method " : "property ") + f->name;
        return Document(f->name, text.c_str(), name, docString, helpContext, helpFile);
    }
    HRESULT GetContainingTypeLib(ITypeLib** lib, UINT* index) override {
        if (!lib)
            return E_POINTER;
        m_lib->AddRef();
        *lib = m_lib;
        if (index)
            *index = m_index;
        return S_OK;
    }
    void ReleaseTypeAttr(TYPEATTR*) override {}
    void ReleaseFuncDesc(FUNCDESC*) override {}

private:
    ~TypeInfo() override { m_lib->Release(); }
    bool IsDual() const { return m_index == TypeLib::kDualIndex; }

    void BuildFuncDescs(const ComInterfaceDesc& dual) {
        m_params.resize(dual.funcs.size());
        for (std::size_t i = 0; i < dual.funcs.size(); ++i) {
            const ComFuncDesc& f = dual.funcs[i];
            for (UINT p = 0; p < f.paramCount; ++p)
                m_params[i].push_back({{f.params[p].vt}, {ParamFlags(f.params[p].vt)}});
            FUNCDESC d{};
            d.memid = f.id;
            d.funckind = FUNC_DISPATCH;
            d.invkind = static_cast<INVOKEKIND>(f.invkind);
            d.cParams = static_cast<SHORT>(f.paramCount);
            d.cParamsOpt = 0;
            d.lprgelemdescParam = m_params[i].empty() ? nullptr : m_params[i].data();
            d.elemdescFunc = {{f.result}, {PARAMFLAG_NONE}};
            m_funcs.push_back(d);
        }
    }

    TypeLib* m_lib;
    UINT m_index;
    TYPEATTR m_attr{};
    std::vector<FUNCDESC> m_funcs;
    std::vector<std::vector<ELEMDESC>> m_params;
};

HRESULT TypeLib::GetTypeInfo(UINT index, ITypeInfo** info) {
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index >= GetTypeInfoCount())
        return TYPE_E_ELEMENTNOTFOUND;
    try {
        *info = new TypeInfo(this, index);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}
} // namespace

const ComFuncDesc* ComFindFunc(const ComInterfaceDesc& desc, DISPID id, WORD flags) {
    for (const WORD kind :
         {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF})
        if (flags & kind)
            if (const ComFuncDesc* f = FindKind(desc, id, kind))
                return f;
    if (flags & DISPATCH_PROPERTYPUT)
        return FindKind(desc, id, DISPATCH_PROPERTYPUTREF);
    if (flags & DISPATCH_PROPERTYPUTREF)
        return FindKind(desc, id, DISPATCH_PROPERTYPUT);
    return nullptr;
}

bool ComHasMember(const ComInterfaceDesc& desc, DISPID id) {
    return FirstOf(desc, id) != nullptr;
}

HRESULT ComIDsOfNames(const ComInterfaceDesc& desc, LPOLESTR* names, UINT count, DISPID* ids) {
    if (!names || !ids)
        return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    if (count == 0)
        return S_OK;
    for (const ComFuncDesc& f : desc.funcs) {
        if (SameName(f.name, names[0])) {
            ids[0] = f.id;
            break;
        }
    }
    if (ids[0] == DISPID_UNKNOWN)
        hr = DISP_E_UNKNOWNNAME;
    for (UINT i = 1; i < count; ++i) {
        for (const ComFuncDesc& f : desc.funcs) {
            if (ids[0] == DISPID_UNKNOWN || f.id != ids[0])
                continue;
            for (UINT p = 0; p < f.paramCount && ids[i] == DISPID_UNKNOWN; ++p)
                if (SameName(f.params[p].name, names[i]))
                    ids[i] = static_cast<DISPID>(p);
        }
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT ComCreateTypeLib(const ComLibraryDesc& library, ITypeLib** lib) {
    if (!lib)
        return E_POINTER;
    *lib = nullptr;
    if (!library.dual)
        return E_INVALIDARG;
    try {
        *lib = new TypeLib(library);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT ComGetTypeInfoOfGuid(const ComLibraryDesc& library, REFGUID guid, ITypeInfo** info) {
    if (!info)
        return E_POINTER;
    *info = nullptr;
    ITypeLib* lib = nullptr;
    HRESULT hr = ComCreateTypeLib(library, &lib);
    if (FAILED(hr))
        return hr;
    hr = lib->GetTypeInfoOfGuid(guid, info);
    lib->Release();
    return hr;
}
