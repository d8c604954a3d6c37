// Calls every member of a dual interface both ways, as the type information describes it: late bound
// through IDispatch::Invoke on one object and through the function table on a second object, with the
// same arguments, and compares what comes back (HRESULT, error description, out values, result and
// the caller's blocks). Used by the tests of the servers and of the automation layer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/com/com.h"

namespace dualtest {

// One member access as the type information shows it.
struct Row {
    DISPID id = 0;
    INVOKEKIND kind = INVOKE_FUNC;
    std::string name;
    std::vector<VARTYPE> params;
    VARTYPE result = VT_VOID;
};

inline bool IsPut(INVOKEKIND kind) {
    return kind == INVOKE_PROPERTYPUT || kind == INVOKE_PROPERTYPUTREF;
}

// Every row of the object's dual interface, read through GetTypeInfo.
inline std::vector<Row> Rows(IDispatch* object) {
    std::vector<Row> rows;
    ITypeInfo* info = nullptr;
    EXPECT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
    if (!info)
        return rows;
    TYPEATTR* attr = nullptr;
    EXPECT_EQ(info->GetTypeAttr(&attr), S_OK);
    for (UINT i = 0; attr && i < attr->cFuncs; ++i) {
        FUNCDESC* f = nullptr;
        EXPECT_EQ(info->GetFuncDesc(i, &f), S_OK);
        if (!f)
            continue;
        Row row;
        row.id = f->memid;
        row.kind = f->invkind;
        row.result = f->elemdescFunc.tdesc.vt;
        for (SHORT p = 0; p < f->cParams; ++p)
            row.params.push_back(f->lprgelemdescParam[p].tdesc.vt);
        BSTR name = nullptr;
        EXPECT_EQ(info->GetDocumentation(f->memid, &name, nullptr, nullptr, nullptr), S_OK);
        row.name = Utf8FromBstr(name);
        SysFreeString(name);
        info->ReleaseFuncDesc(f);
        rows.push_back(row);
    }
    if (attr)
        info->ReleaseTypeAttr(attr);
    info->Release();
    return rows;
}

// The library that an object's type information belongs to: its identity and version, and
// "name / help text" of the library itself followed by each of its types.
struct Library {
    GUID guid{};
    WORD major = 0;
    WORD minor = 0;
    std::vector<std::string> docs;
};

inline Library LibraryOf(IDispatch* object) {
    Library library;
    ITypeInfo* info = nullptr;
    EXPECT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
    ITypeLib* lib = nullptr;
    if (!info || info->GetContainingTypeLib(&lib, nullptr) != S_OK) {
        ADD_FAILURE() << "no type library";
        if (info)
            info->Release();
        return library;
    }
    TLIBATTR* attr = nullptr;
    EXPECT_EQ(lib->GetLibAttr(&attr), S_OK);
    if (attr) {
        library = {attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, {}};
        lib->ReleaseTLibAttr(attr);
    }
    for (INT index = -1; index < static_cast<INT>(lib->GetTypeInfoCount()); ++index) {
        BSTR name = nullptr;
        BSTR text = nullptr;
        EXPECT_EQ(lib->GetDocumentation(index, &name, &text, nullptr, nullptr), S_OK);
        library.docs.push_back(Utf8FromBstr(name) + " / " + Utf8FromBstr(text));
        SysFreeString(name);
        SysFreeString(text);
    }
    lib->Release();
    info->Release();
    return library;
}

// Each row's name resolves to its DISPID through the object and through its type information alike.
inline void ExpectNamesResolve(IDispatch* object, const std::vector<Row>& rows) {
    ITypeInfo* info = nullptr;
    ASSERT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
    for (const Row& row : rows) {
        const std::u16string name = Utf16FromUtf8(row.name.c_str());
        LPOLESTR text = const_cast<LPOLESTR>(name.c_str());
        DISPID byObject = 0;
        DISPID byInfo = 0;
        EXPECT_EQ(object->GetIDsOfNames(IID_NULL, &text, 1, LOCALE_USER_DEFAULT, &byObject), S_OK)
            << row.name;
        EXPECT_EQ(info->GetIDsOfNames(&text, 1, &byInfo), S_OK) << row.name;
        EXPECT_EQ(byObject, row.id) << row.name;
        EXPECT_EQ(byInfo, row.id) << row.name;
    }
    info->Release();
}

// The arguments of one call. Out values start at outStart; a block of `block` bytes (0: a null
// block) is filled with 0xCD first.
struct Inputs {
    SHORT i2 = 4;
    LONG i4 = 4;
    INT integer = 1;
    std::string text;
    std::size_t block = 0;
    LONG outStart = 0;
};

// The storage of one call: what the caller passes, by the row's declared types, and what it gets back.
// The accessors check that the row declares the type asked for, so that a table and its interface
// cannot disagree unnoticed.
class CallValues {
public:
    CallValues(const Row& row, const Inputs& in)
        : m_row(row), m_in(in), m_text(BstrFromUtf8(in.text.c_str())), m_blocks(row.params.size()),
          m_i2(row.params.size(), static_cast<SHORT>(in.outStart)), m_i4(row.params.size(), in.outStart) {
        for (std::size_t p = 0; p < row.params.size(); ++p)
            if (row.params[p] == VT_BUFFER)
                m_blocks[p].assign(in.block, 0xCD);
    }
    ~CallValues() {
        SysFreeString(m_text);
        SysFreeString(m_retBstr);
    }
    CallValues(const CallValues&) = delete;
    CallValues& operator=(const CallValues&) = delete;

    SHORT I2(UINT p) { return Check(p, VT_I2) ? m_in.i2 : SHORT{0}; }
    LONG I4(UINT p) { return Check(p, VT_I4) ? m_in.i4 : LONG{0}; }
    INT Int(UINT p) { return Check(p, VT_INT) ? m_in.integer : 0; }
    BSTR Bstr(UINT p) { return Check(p, VT_BSTR) ? m_text : nullptr; }
    ComBuffer Buffer(UINT p) {
        Check(p, VT_BUFFER);
        return {m_blocks[p].empty() ? nullptr : m_blocks[p].data(), m_blocks[p].size()};
    }
    SHORT* OutI2(UINT p) { return Check(p, VT_I2 | VT_BYREF) ? &m_i2[p] : nullptr; }
    LONG* OutI4(UINT p) { return Check(p, VT_I4 | VT_BYREF) ? &m_i4[p] : nullptr; }
    INT* OutInt(UINT p) { return Check(p, VT_INT | VT_BYREF) ? &m_i4[p] : nullptr; }
    SHORT* RetI2() { return CheckResult(VT_I2) ? &m_retI2 : nullptr; }
    LONG* RetI4() { return CheckResult(VT_I4) ? &m_retI4 : nullptr; }
    BSTR* RetBstr() { return CheckResult(VT_BSTR) ? &m_retBstr : nullptr; }

    // The arguments for Invoke, in natural order; a put's value last.
    std::vector<VARIANT> Variants() {
        std::vector<VARIANT> args;
        for (std::size_t p = 0; p < m_row.params.size(); ++p) {
            const VARTYPE vt = m_row.params[p];
            VARIANT v;
            VariantInit(&v);
            if (vt == VT_I2)
                v = MakeVariantI2(m_in.i2);
            else if (vt == VT_I4)
                v = MakeVariantI4(m_in.i4);
            else if (vt == VT_INT)
                v = MakeVariantInt(m_in.integer);
            else if (vt == VT_BSTR) {
                v.vt = VT_BSTR;
                v.bstrVal = m_text; // borrowed
            } else if (vt == VT_BUFFER)
                v = MakeVariantBuffer(m_blocks[p].empty() ? nullptr : m_blocks[p].data(), m_blocks[p].size());
            else if (vt == (VT_I2 | VT_BYREF))
                v = MakeVariantRef(VT_I2, &m_i2[p]);
            else if (vt == (VT_I4 | VT_BYREF) || vt == (VT_INT | VT_BYREF))
                v = MakeVariantRef(static_cast<VARTYPE>(vt & VT_TYPEMASK), &m_i4[p]);
            else
                ADD_FAILURE() << m_row.name << ": no test value for type " << vt;
            args.push_back(v);
        }
        return args;
    }

    void TakeResult(VARIANT* result) {
        if (result->vt == VT_I2)
            m_retI2 = result->iVal;
        else if (result->vt == VT_I4)
            m_retI4 = result->lVal;
        else if (result->vt == VT_BSTR) {
            SysFreeString(m_retBstr);
            m_retBstr = result->bstrVal;
            result->vt = VT_EMPTY;
        } else if (result->vt != VT_EMPTY)
            ADD_FAILURE() << m_row.name << ": result of type " << result->vt;
        if (m_row.result != VT_VOID && result->vt != VT_EMPTY && result->vt != m_row.result)
            ADD_FAILURE() << m_row.name << ": result type " << result->vt << ", declared " << m_row.result;
        VariantClear(result);
    }

    // Out values, result and blocks as text.
    std::string Outputs() const {
        std::string text;
        char item[96];
        for (std::size_t p = 0; p < m_row.params.size(); ++p) {
            const VARTYPE vt = m_row.params[p];
            if (vt == (VT_I2 | VT_BYREF))
                std::snprintf(item, sizeof item, " out%zu=%d", p, m_i2[p]);
            else if (vt & VT_BYREF)
                std::snprintf(item, sizeof item, " out%zu=%d", p, static_cast<int>(m_i4[p]));
            else if (vt == VT_BUFFER)
                std::snprintf(item, sizeof item, " block%zu=%zu:%016llx", p, m_blocks[p].size(),
                              static_cast<unsigned long long>(Hash(m_blocks[p])));
            else
                continue;
            text += item;
        }
        if (m_row.result == VT_I2)
            text += " ret=" + std::to_string(m_retI2);
        else if (m_row.result == VT_I4 || m_row.result == VT_INT)
            text += " ret=" + std::to_string(m_retI4);
        else if (m_row.result == VT_BSTR)
            text += " ret=" + (m_retBstr ? Utf8FromBstr(m_retBstr) : std::string("(null)"));
        return text;
    }

private:
    bool Check(UINT p, VARTYPE vt) {
        if (p < m_row.params.size() && m_row.params[p] == vt)
            return true;
        ADD_FAILURE() << m_row.name << ": parameter " << p << " is not of type " << vt;
        return false;
    }
    bool CheckResult(VARTYPE vt) {
        if (m_row.result == vt)
            return true;
        ADD_FAILURE() << m_row.name << ": the result is not of type " << vt;
        return false;
    }
    static std::uint64_t Hash(const std::vector<BYTE>& bytes) {
        std::uint64_t h = 1469598103934665603ull;
        for (BYTE b : bytes)
            h = (h ^ b) * 1099511628211ull;
        return h;
    }

    const Row& m_row;
    Inputs m_in;
    BSTR m_text;
    std::vector<std::vector<BYTE>> m_blocks;
    std::vector<SHORT> m_i2;
    std::vector<LONG> m_i4;
    SHORT m_retI2 = 0;
    LONG m_retI4 = 0;
    BSTR m_retBstr = nullptr;
};

// What one call gave: the member's HRESULT (for a late-bound failure the code in EXCEPINFO), the
// error description of a failure, and the outputs.
struct Outcome {
    HRESULT hr = E_UNEXPECTED;
    std::string description;
    std::string outputs;
    bool operator==(const Outcome&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(o.hr));
    return out << code << " \"" << o.description << "\"" << o.outputs;
}

inline Outcome ByInvoke(IDispatch* object, const Row& row, const Inputs& in) {
    CallValues values(row, in);
    std::vector<VARIANT> args = values.Variants();
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = IsPut(row.kind);
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr,
                      static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    UINT argErr = 0;
    Outcome out;
    out.hr = object->Invoke(row.id, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(row.kind), &params,
                            &result, &info, &argErr);
    if (out.hr == DISP_E_EXCEPTION) {
        out.hr = info.scode;
        out.description = Utf8FromBstr(info.bstrDescription);
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    values.TakeResult(&result);
    out.outputs = values.Outputs();
    return out;
}

using VtableCall = std::function<HRESULT(CallValues&)>;

inline Outcome ByVtable(const VtableCall& call, const Row& row, const Inputs& in) {
    CallValues values(row, in);
    SetErrorInfo(0, nullptr);
    Outcome out;
    out.hr = call(values);
    IErrorInfo* error = nullptr;
    if (GetErrorInfo(0, &error) == S_OK && error) {
        BSTR text = nullptr;
        error->GetDescription(&text);
        if (FAILED(out.hr))
            out.description = Utf8FromBstr(text);
        SysFreeString(text);
        error->Release();
    }
    out.outputs = values.Outputs();
    return out;
}

// The function-table call of each row, by DISPID and kind.
struct VtableRow {
    DISPID id;
    INVOKEKIND kind;
    VtableCall call;
};

inline const VtableCall* Find(const std::vector<VtableRow>& calls, const Row& row) {
    for (const VtableRow& c : calls)
        if (c.id == row.id && c.kind == row.kind)
            return &c.call;
    return nullptr;
}

// Every row of the type information has a function-table call, and every call a row.
inline void ExpectSameMembers(const std::vector<Row>& rows, const std::vector<VtableRow>& calls) {
    for (const Row& row : rows)
        EXPECT_NE(Find(calls, row), nullptr) << row.name << " (" << row.id << ", kind " << row.kind << ")";
    for (const VtableRow& c : calls) {
        bool found = false;
        for (const Row& row : rows)
            found = found || (row.id == c.id && row.kind == c.kind);
        EXPECT_TRUE(found) << "no row for DISPID " << c.id << ", kind " << c.kind;
    }
}

// Calls one row both ways and expects the same outcome; returns it.
inline Outcome ExpectSame(IDispatch* late, const std::vector<VtableRow>& calls, const Row& row,
                          const Inputs& in) {
    const VtableCall* call = Find(calls, row);
    if (!call) {
        ADD_FAILURE() << row.name << ": no function-table call";
        return {};
    }
    const Outcome byInvoke = ByInvoke(late, row, in);
    const Outcome byVtable = ByVtable(*call, row, in);
    EXPECT_EQ(byInvoke, byVtable) << row.name << " (" << row.id << ", kind " << row.kind << ")";
    return byInvoke;
}

} // namespace dualtest
