// Type information of a server with a dual interface: the library, the interface's members as its
// table declares them, names resolved alike through the object and its type information, and the
// two call forms (Invoke and the function table) giving the same results.
#include <cstring>

#include "com_server_fixture.h"
#include "dual_harness.h"
#include "sample_server.h"

namespace {
std::string Text(BSTR text) {
    std::string utf8 = Utf8FromBstr(text);
    SysFreeString(text);
    return utf8;
}

class TypeInfoTest : public ComServerTest {
protected:
    void SetUp() override {
        ComServerTest::SetUp();
        m_object = Create();
        ASSERT_NE(m_object, nullptr);
        ASSERT_EQ(m_object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &m_info), S_OK);
        ASSERT_NE(m_info, nullptr);
    }
    void TearDown() override {
        if (m_info)
            m_info->Release();
        if (m_object)
            m_object->Release();
        ComServerTest::TearDown();
    }

    // Names through IDispatch and through the type information; both must give the same result.
    HRESULT Ids(std::vector<const char16_t*> names, std::vector<DISPID>* ids) {
        std::vector<LPOLESTR> texts;
        for (const char16_t* n : names)
            texts.push_back(const_cast<LPOLESTR>(n));
        std::vector<DISPID> byObject(names.size(), 77);
        std::vector<DISPID> byInfo(names.size(), 77);
        const HRESULT hr = m_object->GetIDsOfNames(IID_NULL, texts.data(), static_cast<UINT>(texts.size()),
                                                   LOCALE_USER_DEFAULT, byObject.data());
        EXPECT_EQ(m_info->GetIDsOfNames(texts.data(), static_cast<UINT>(texts.size()), byInfo.data()), hr);
        EXPECT_EQ(byObject, byInfo);
        *ids = byObject;
        return hr;
    }

    IDispatch* m_object = nullptr;
    ITypeInfo* m_info = nullptr;
};

std::vector<dualtest::VtableRow> SampleCalls(ISample* s) {
    using dualtest::CallValues;
    return {
        {1, INVOKE_PROPERTYGET, [s](CallValues& c) { return s->get_Counter(c.RetI4()); }},
        {1, INVOKE_PROPERTYPUT, [s](CallValues& c) { return s->put_Counter(c.I4(0)); }},
        {2, INVOKE_FUNC, [s](CallValues& c) { return s->Split(c.Int(0), c.OutI2(1), c.OutI2(2)); }},
        {3, INVOKE_FUNC, [s](CallValues& c) { return s->Fill(c.Buffer(0), c.OutI4(1)); }},
        {4, INVOKE_FUNC, [s](CallValues&) { return s->Fail(); }},
        {5, INVOKE_FUNC, [s](CallValues&) { return s->Throw(); }},
        {6, INVOKE_FUNC, [s](CallValues& c) { return s->Echo(c.Bstr(0), c.RetBstr()); }},
    };
}
} // namespace

TEST_F(TypeInfoTest, LibraryInterfaceAndClassCarryTheirIdentityVersionAndHelpTexts) {
    UINT count = 0;
    ASSERT_EQ(m_object->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ITypeInfo* none = nullptr;
    EXPECT_EQ(m_object->GetTypeInfo(1, LOCALE_USER_DEFAULT, &none), DISP_E_BADINDEX);
    EXPECT_EQ(none, nullptr);

    TYPEATTR* attr = nullptr;
    ASSERT_EQ(m_info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, IID_ISample);
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_EQ(attr->cFuncs, 7);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    m_info->ReleaseTypeAttr(attr);
    BSTR name = nullptr;
    BSTR doc = nullptr;
    ASSERT_EQ(m_info->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Text(name), "ISample");
    EXPECT_EQ(Text(doc), "ISample Interface");

    ITypeLib* lib = nullptr;
    UINT index = 9;
    ASSERT_EQ(m_info->GetContainingTypeLib(&lib, &index), S_OK);
    EXPECT_EQ(index, 0u);
    TLIBATTR* libAttr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&libAttr), S_OK);
    EXPECT_EQ(libAttr->guid, LIBID_SampleLib);
    EXPECT_EQ(libAttr->wMajorVerNum, 1);
    EXPECT_EQ(libAttr->wMinorVerNum, 0);
    lib->ReleaseTLibAttr(libAttr);
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Text(name), "SampleLib");
    EXPECT_EQ(Text(doc), "Sample 1.0 Type Library");
    EXPECT_EQ(lib->GetDocumentation(2, &name, nullptr, nullptr, nullptr), TYPE_E_ELEMENTNOTFOUND);

    ASSERT_EQ(lib->GetTypeInfoCount(), 2u);
    TYPEKIND kind = TKIND_ENUM;
    ASSERT_EQ(lib->GetTypeInfoType(1, &kind), S_OK);
    EXPECT_EQ(kind, TKIND_COCLASS);
    ITypeInfo* coclass = nullptr;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(CLSID_Sample, &coclass), S_OK);
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_EQ(attr->guid, CLSID_Sample);
    EXPECT_EQ(attr->cFuncs, 0);
    coclass->ReleaseTypeAttr(attr);
    ASSERT_EQ(coclass->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Text(name), "Sample");
    EXPECT_EQ(Text(doc), "Sample Class");
    coclass->Release();

    ITypeInfo* dual = nullptr;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(IID_ISample, &dual), S_OK);
    ASSERT_EQ(dual->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, IID_ISample);
    dual->ReleaseTypeAttr(attr);
    dual->Release();
    EXPECT_EQ(lib->GetTypeInfoOfGuid(LIBID_SampleLib, &dual), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(lib->GetTypeInfo(2, &dual), TYPE_E_ELEMENTNOTFOUND);
    lib->Release();
}

TEST_F(TypeInfoTest, MembersShowKindParameterTypesAndResult) {
    const std::vector<dualtest::Row> rows = dualtest::Rows(m_object);
    struct Expected {
        DISPID id;
        INVOKEKIND kind;
        const char* name;
        std::vector<VARTYPE> params;
        VARTYPE result;
    };
    const Expected expected[] = {
        {1, INVOKE_PROPERTYGET, "Counter", {}, VT_I4},
        {1, INVOKE_PROPERTYPUT, "Counter", {VT_I4}, VT_VOID},
        {2, INVOKE_FUNC, "Split", {VT_INT, VT_I2 | VT_BYREF, VT_I2 | VT_BYREF}, VT_VOID},
        {3, INVOKE_FUNC, "Fill", {VT_BUFFER, VT_I4 | VT_BYREF}, VT_VOID},
        {4, INVOKE_FUNC, "Fail", {}, VT_VOID},
        {5, INVOKE_FUNC, "Throw", {}, VT_VOID},
        {6, INVOKE_FUNC, "Echo", {VT_BSTR}, VT_BSTR},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].id, expected[i].id);
        EXPECT_EQ(rows[i].kind, expected[i].kind);
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].params, expected[i].params) << rows[i].name;
        EXPECT_EQ(rows[i].result, expected[i].result) << rows[i].name;
    }

    FUNCDESC* split = nullptr;
    ASSERT_EQ(m_info->GetFuncDesc(2, &split), S_OK);
    EXPECT_EQ(split->funckind, FUNC_DISPATCH);
    EXPECT_EQ(split->lprgelemdescParam[0].paramdesc.wParamFlags, PARAMFLAG_FIN);
    EXPECT_TRUE(split->lprgelemdescParam[1].paramdesc.wParamFlags & PARAMFLAG_FOUT);
    m_info->ReleaseFuncDesc(split);
    FUNCDESC* past = nullptr;
    EXPECT_EQ(m_info->GetFuncDesc(7, &past), TYPE_E_ELEMENTNOTFOUND);

    BSTR names[4] = {};
    UINT count = 0;
    ASSERT_EQ(m_info->GetNames(2, names, 4, &count), S_OK);
    ASSERT_EQ(count, 4u);
    EXPECT_EQ(Text(names[0]), "Split");
    EXPECT_EQ(Text(names[1]), "value");
    EXPECT_EQ(Text(names[2]), "high");
    EXPECT_EQ(Text(names[3]), "low");
    ASSERT_EQ(m_info->GetNames(2, names, 2, &count), S_OK);
    EXPECT_EQ(count, 2u);
    SysFreeString(names[0]);
    SysFreeString(names[1]);
    EXPECT_EQ(m_info->GetNames(99, names, 4, &count), TYPE_E_ELEMENTNOTFOUND);

    BSTR doc = nullptr;
    ASSERT_EQ(m_info->GetDocumentation(2, nullptr, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Text(doc), "method Split");
    ASSERT_EQ(m_info->GetDocumentation(1, nullptr, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Text(doc), "property Counter");
    EXPECT_EQ(m_info->GetDocumentation(99, nullptr, &doc, nullptr, nullptr), TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(TypeInfoTest, NamesResolveAlikeThroughTheObjectAndItsTypeInformation) {
    for (const dualtest::Row& row : dualtest::Rows(m_object)) {
        BSTR names[kComMaxParams + 1] = {};
        UINT count = 0;
        ASSERT_EQ(m_info->GetNames(row.id, names, kComMaxParams + 1, &count), S_OK);
        std::vector<std::u16string> texts;
        for (UINT i = 0; i < count; ++i) {
            texts.emplace_back(names[i], SysStringLen(names[i]));
            SysFreeString(names[i]);
        }
        std::vector<const char16_t*> asked;
        for (const auto& t : texts)
            asked.push_back(t.c_str());
        std::vector<DISPID> ids;
        ASSERT_EQ(Ids(asked, &ids), S_OK) << row.name;
        EXPECT_EQ(ids[0], row.id) << row.name;
        for (std::size_t i = 1; i < ids.size(); ++i)
            EXPECT_EQ(ids[i], static_cast<DISPID>(i - 1)) << row.name;
    }
    std::vector<DISPID> ids;
    EXPECT_EQ(Ids({u"sPLIT", u"LOW"}, &ids), S_OK);
    EXPECT_EQ(ids, (std::vector<DISPID>{2, 2}));
    EXPECT_EQ(Ids({u"Split", u"nothing", u"high"}, &ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids, (std::vector<DISPID>{2, DISPID_UNKNOWN, 1}));
    EXPECT_EQ(Ids({u"NoSuchMember"}, &ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
}

TEST_F(TypeInfoTest, InvokeAndTheFunctionTableGiveTheSameResults) {
    IDispatch* second = Create();
    ASSERT_NE(second, nullptr);
    ISample* sample = nullptr;
    ASSERT_EQ(second->QueryInterface(IID_ISample, reinterpret_cast<void**>(&sample)), S_OK);
    // One object behind IDispatch, ISample and IUnknown.
    IUnknown* identity = nullptr;
    ASSERT_EQ(sample->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(static_cast<void*>(identity), static_cast<void*>(second));
    identity->Release();

    const std::vector<dualtest::Row> rows = dualtest::Rows(m_object);
    const std::vector<dualtest::VtableRow> calls = SampleCalls(sample);
    dualtest::ExpectSameMembers(rows, calls);
    for (const dualtest::Row& row : rows) {
        for (const std::size_t block : {std::size_t{0}, std::size_t{3}, std::size_t{16}}) {
            dualtest::Inputs in;
            in.i4 = -5;
            in.integer = 0x00030004;
            in.text = "ファイル.avi";
            in.block = block;
            const dualtest::Outcome out = dualtest::ExpectSame(m_object, calls, row, in);
            if (row.name == "Split") {
                EXPECT_EQ(out.outputs, " out1=3 out2=4");
            } else if (row.name == "Fill" && block == 3) {
                EXPECT_EQ(out.hr, E_INVALIDARG);
            } else if (row.name == "Fail") {
                EXPECT_EQ(out, (dualtest::Outcome{E_FAIL, "this always fails", ""}));
            } else if (row.name == "Throw") {
                EXPECT_EQ(out, (dualtest::Outcome{DISP_E_EXCEPTION, "thrown inside", ""}));
            } else if (row.name == "Echo") {
                EXPECT_EQ(out.outputs, " ret=ファイル.avi");
            }
        }
    }
    // The put reached both objects the same way.
    LONG counter = 0;
    ASSERT_EQ(sample->get_Counter(&counter), S_OK);
    EXPECT_EQ(counter, -5);
    EXPECT_EQ(sample->get_Counter(nullptr), E_POINTER);
    sample->Release();
    second->Release();
}

TEST_F(TypeInfoTest, InvokeRefusesWrongKindsNamedArgumentsAndCounts) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(m_object, 2, DISPATCH_PROPERTYGET, {}, &result), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(m_object, 1, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(m_object, 4, DISPATCH_PROPERTYPUT, {MakeVariantI4(1)}, nullptr, nullptr, true),
              DISP_E_MEMBERNOTFOUND);
    // A caller that cannot tell a property from a method asks for both.
    ASSERT_EQ(Call(m_object, 1, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(
        Call(m_object, 1, DISPATCH_PROPERTYPUT, {MakeVariantI4(2), MakeVariantI4(3)}, nullptr, nullptr, true),
        DISP_E_BADPARAMCOUNT);

    VARIANT arg = MakeVariantI4(1);
    DISPID named = 0;
    DISPPARAMS params{&arg, &named, 1, 1};
    EXPECT_EQ(m_object->Invoke(6, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr,
                               nullptr),
              DISP_E_NONAMEDARGS);
    // A wrong type names the argument at fault.
    SHORT high = 0;
    VARIANT args[3] = {MakeVariantI2(0), MakeVariantRef(VT_I2, &high), MakeVariantBstr("x")};
    DISPPARAMS split{args, nullptr, 3, 0};
    UINT argErr = 99;
    EXPECT_EQ(m_object->Invoke(2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &split, nullptr, nullptr,
                               &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 2u); // the first argument, stored last
    // The value of a put stands first.
    VARIANT text = MakeVariantBstr("many");
    DISPPARAMS put{&text, &named, 1, 1};
    named = DISPID_PROPERTYPUT;
    argErr = 99;
    EXPECT_EQ(m_object->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr,
                               &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    VariantClear(&text);
    VariantClear(&args[2]);
}

TEST_F(TypeInfoTest, TypeInformationOutlivesTheObjectAndHoldsItsLibrary) {
    m_object->Release();
    m_object = nullptr;
    ITypeLib* lib = nullptr;
    ASSERT_EQ(m_info->GetContainingTypeLib(&lib, nullptr), S_OK);
    m_info->Release();
    m_info = nullptr;
    BSTR doc = nullptr;
    ASSERT_EQ(lib->GetDocumentation(0, nullptr, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Text(doc), "ISample Interface");
    lib->Release();
}

namespace {
// An object reached only by DISPID, without type information.
ComModuleState g_lateModule;
constexpr DispMember kLateMembers[] = {{"Value", 1}};
constexpr IID kLateIid = {0x5A1B2C3D, 0x0009, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x09}};

class LateBound final : public DispatchObject {
public:
    LateBound() : DispatchObject(kLateIid, kLateMembers, "Kivic.LateBound", &g_lateModule) {}

protected:
    HRESULT InvokeMember(DISPID, WORD flags, const DispArgs& args, VARIANT* result) override {
        if (flags & DISPATCH_PROPERTYPUT)
            m_value = args.PutI4();
        else
            SetResultI4(result, m_value);
        return S_OK;
    }

private:
    LONG m_value = 0;
};
} // namespace

TEST_F(ComServerTest, LateBoundOnlyObjectsHaveNoTypeInformation) {
    IDispatch* late = new LateBound;
    EXPECT_EQ(g_lateModule.Objects(), 1);
    UINT count = 9;
    ASSERT_EQ(late->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(late->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), E_NOTIMPL);
    LPOLESTR name = const_cast<LPOLESTR>(u"VALUE");
    DISPID id = 0;
    ASSERT_EQ(late->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, 1);
    ASSERT_EQ(Call(late, 1, DISPATCH_PROPERTYPUT, {MakeVariantI2(12)}, nullptr, nullptr, true), S_OK);
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(late, 1, DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.lVal, 12);
    EXPECT_EQ(Call(late, 2, DISPATCH_METHOD, {}, nullptr), DISP_E_MEMBERNOTFOUND);
    late->Release();
    EXPECT_EQ(g_lateModule.Objects(), 0);
}
