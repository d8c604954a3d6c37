// A server module registered into a temporary registry, created by ProgID and driven only through
// IDispatch, as the program drives its two servers.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "com_server_fixture.h"
#include "sample_server.h"

TEST_F(ComServerTest, RegistryNamesClassModuleAndThreadingModel) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    d->Release();
    std::string clsid, module, model, curVer;
    ASSERT_TRUE(ComRegistryRead("Kivic.Sample\\CLSID", &clsid));
    ASSERT_TRUE(ComRegistryRead("kivic.sample\\curver", &curVer)); // keys ignore case
    EXPECT_EQ(curVer, "Kivic.Sample.1");
    ASSERT_TRUE(ComRegistryRead("CLSID\\" + clsid + "\\InprocServer32", &module));
    ASSERT_TRUE(ComRegistryRead("CLSID\\" + clsid + "\\InprocServer32\\ThreadingModel", &model));
    EXPECT_EQ(model, "Apartment");
    char resolved[4096];
    ASSERT_NE(realpath(SAMPLE_SERVER_PATH, resolved), nullptr);
    EXPECT_EQ(module, resolved);
    // The versioned ProgID names the same class.
    CLSID a{}, b{};
    ASSERT_EQ(CLSIDFromProgIDA("Kivic.Sample", &a), S_OK);
    ASSERT_EQ(CLSIDFromProgIDA("Kivic.Sample.1", &b), S_OK);
    EXPECT_EQ(a, b);
}

TEST_F(ComServerTest, PropertiesMethodsAndByReferenceResults) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    LPOLESTR name = const_cast<LPOLESTR>(u"counter");
    DISPID id = 0;
    ASSERT_EQ(d->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, 1);
    LPOLESTR unknown = const_cast<LPOLESTR>(u"NoSuchMember");
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);

    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(Call(d, 1, DISPATCH_PROPERTYPUT, {MakeVariantI2(-5)}, nullptr, nullptr, true), S_OK);
    ASSERT_EQ(Call(d, 1, DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, -5);

    // An I4 where the member declares INT is coerced.
    SHORT high = 0, low = 0;
    ASSERT_EQ(Call(d, 2, DISPATCH_METHOD,
                   {MakeVariantI4(0x00030004), MakeVariantRef(VT_I2, &high), MakeVariantRef(VT_I2, &low)},
                   nullptr),
              S_OK);
    EXPECT_EQ(high, 3);
    EXPECT_EQ(low, 4);
    // A by-value argument where a reference is needed is a type mismatch, not a crash.
    EXPECT_EQ(Call(d, 2, DISPATCH_METHOD, {MakeVariantI4(1), MakeVariantI2(0), MakeVariantI2(0)}, nullptr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Call(d, 2, DISPATCH_METHOD, {MakeVariantI4(1)}, nullptr), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(d, 99, DISPATCH_METHOD, {}, nullptr), DISP_E_MEMBERNOTFOUND);

    VARIANT echo = MakeVariantBstr("ファイル.avi");
    ASSERT_EQ(Call(d, 6, DISPATCH_METHOD, {echo}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(Utf8FromBstr(result.bstrVal), "ファイル.avi");
    VariantClear(&result);
    VariantClear(&echo);
    d->Release();
}

TEST_F(ComServerTest, BuffersAskSizeWithNullAndRespectCapacity) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    LONG written = 0;
    ASSERT_EQ(Call(d, 3, DISPATCH_METHOD, {MakeVariantBuffer(nullptr, 0), MakeVariantRef(VT_I4, &written)},
                   nullptr),
              S_OK);
    EXPECT_EQ(written, 6);
    char small[3] = {'x', 'x', 'x'};
    EXCEPINFO info{};
    EXPECT_EQ(Call(d, 3, DISPATCH_METHOD,
                   {MakeVariantBuffer(small, sizeof small), MakeVariantRef(VT_I4, &written)}, nullptr, &info),
              DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, E_INVALIDARG);
    EXPECT_EQ(Utf8FromBstr(info.bstrDescription), "buffer too small");
    EXPECT_EQ(small[0], 'x');
    FreeExcepInfo(&info);
    char big[16] = {};
    ASSERT_EQ(Call(d, 3, DISPATCH_METHOD,
                   {MakeVariantBuffer(big, sizeof big), MakeVariantRef(VT_I4, &written)}, nullptr),
              S_OK);
    EXPECT_STREQ(big, "sample");
    d->Release();
}

TEST_F(ComServerTest, FailuresAndExceptionsBecomeDispatchExceptionsWithDescriptions) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    EXCEPINFO info{};
    EXPECT_EQ(Call(d, 4, DISPATCH_METHOD, {}, nullptr, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, E_FAIL);
    EXPECT_EQ(Utf8FromBstr(info.bstrDescription), "this always fails");
    EXPECT_EQ(Utf8FromBstr(info.bstrSource), "Kivic.Sample");
    FreeExcepInfo(&info);

    info = EXCEPINFO{};
    EXPECT_EQ(Call(d, 5, DISPATCH_METHOD, {}, nullptr, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(Utf8FromBstr(info.bstrDescription), "thrown inside");
    FreeExcepInfo(&info);

    ISupportErrorInfo* support = nullptr;
    ASSERT_EQ(d->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
    support->Release();
    d->Release();
}

TEST_F(ComServerTest, UnregisterRemovesTheClass) {
    IDispatch* d = Create();
    ASSERT_NE(d, nullptr);
    d->Release();
    std::string error;
    ASSERT_EQ(ComRegisterModule(SAMPLE_SERVER_PATH, true, &error), S_OK) << error;
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgIDA("Kivic.Sample", &clsid), CO_E_CLASSSTRING);
    std::string value;
    EXPECT_FALSE(ComRegistryRead("Kivic.Sample.1\\CLSID", &value));
    const CLSID any = {0x5A1B2C3D, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
    IDispatch* none = nullptr;
    EXPECT_EQ(
        CoCreateInstance(any, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&none)),
        REGDB_E_CLASSNOTREG);
    EXPECT_EQ(none, nullptr);
}

TEST_F(ComServerTest, MissingModuleGivesClearErrors) {
    std::string error;
    EXPECT_EQ(ComRegisterModule((m_dir + "/absent.so").c_str(), false, &error), CO_E_DLLNOTFOUND);
    EXPECT_NE(error.find("absent.so"), std::string::npos) << error;
    // A registry entry pointing at a vanished module.
    ASSERT_EQ(ComRegistryWrite(
                  {{"Gone.Class\\CLSID", "{11111111-2222-3333-4444-555555555555}"},
                   {"CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32", m_dir + "/gone.so"}}),
              S_OK);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgIDA("Gone.Class", &clsid), S_OK);
    IDispatch* d = nullptr;
    EXPECT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&d)),
        CO_E_DLLNOTFOUND);
}

TEST_F(ComServerTest, RegsvrToolRegistersUnregistersAndReportsErrors) {
    const std::string env = "ASAN_OPTIONS=detect_leaks=0 KIVIC_REGISTRY='" + m_registry + "' ";
    const std::string out = m_dir + "/out.txt";
    ASSERT_EQ(std::system((env + REGSVR_PATH " " SAMPLE_SERVER_PATH " > '" + out + "' 2>&1").c_str()), 0);
    std::string value;
    EXPECT_TRUE(ComRegistryRead("Kivic.Sample\\CLSID", &value));
    ASSERT_EQ(std::system((env + REGSVR_PATH " -u " SAMPLE_SERVER_PATH " > '" + out + "' 2>&1").c_str()), 0);
    EXPECT_FALSE(ComRegistryRead("Kivic.Sample\\CLSID", &value));
    EXPECT_NE(std::system((env + REGSVR_PATH " '" + m_dir + "/missing.so' > '" + out + "' 2>&1").c_str()), 0);
    std::ifstream in(out);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("missing.so"), std::string::npos) << text;
}

TEST_F(ComServerTest, RegsvrRegistersTheTypeLibraryAndRemovesOnlyItsOwnVersion) {
    const std::string libid = GuidToString(LIBID_SampleLib);
    const std::string lib = "TypeLib\\" + libid + "\\1.0";
    const std::string itf = "Interface\\" + GuidToString(IID_ISample);
    const std::string cls = "CLSID\\" + GuidToString(CLSID_Sample);
    // Another version of the library and a key of someone else's.
    ASSERT_EQ(ComRegistryWrite(
                  {{"TypeLib\\" + libid + "\\2.0", "Sample 2.0 Type Library"}, {"Other\\Key", "stays"}}),
              S_OK);
    const std::string env = "ASAN_OPTIONS=detect_leaks=0 KIVIC_REGISTRY='" + m_registry + "' ";
    ASSERT_EQ(std::system((env + REGSVR_PATH " -s " SAMPLE_SERVER_PATH).c_str()), 0);

    char resolved[4096];
    ASSERT_NE(realpath(SAMPLE_SERVER_PATH, resolved), nullptr);
    const std::string module = resolved;
    auto value = [](const std::string& key) {
        std::string text = "(absent)";
        ComRegistryRead(key, &text);
        return text;
    };
    EXPECT_EQ(value(lib), "Sample 1.0 Type Library");
    EXPECT_EQ(value(lib + "\\0\\linux64"), module);
    EXPECT_EQ(value(lib + "\\FLAGS"), "0");
    EXPECT_EQ(value(lib + "\\HELPDIR"), module.substr(0, module.find_last_of('/')));
    EXPECT_EQ(value(itf), "ISample");
    EXPECT_EQ(value(itf + "\\TypeLib"), libid);
    EXPECT_EQ(value(itf + "\\TypeLib\\Version"), "1.0");
    EXPECT_EQ(value(cls), "Sample Class");
    EXPECT_EQ(value(cls + "\\TypeLib"), libid);

    // What is registered is the library the object describes.
    IDispatch* object = Create();
    ASSERT_NE(object, nullptr);
    ITypeInfo* info = nullptr;
    ASSERT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
    ITypeLib* typeLib = nullptr;
    ASSERT_EQ(info->GetContainingTypeLib(&typeLib, nullptr), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(typeLib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(GuidToString(attr->guid), libid);
    typeLib->ReleaseTLibAttr(attr);
    BSTR doc = nullptr;
    ASSERT_EQ(typeLib->GetDocumentation(-1, nullptr, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(Utf8FromBstr(doc), value(lib));
    SysFreeString(doc);
    typeLib->Release();
    info->Release();
    object->Release();

    ASSERT_EQ(std::system((env + REGSVR_PATH " -u -s " SAMPLE_SERVER_PATH).c_str()), 0);
    for (const std::string& key : {lib, lib + "\\0\\linux64", lib + "\\FLAGS", lib + "\\HELPDIR", itf,
                                   itf + "\\TypeLib", cls + "\\TypeLib"})
        EXPECT_EQ(value(key), "(absent)") << key;
    EXPECT_EQ(value("TypeLib\\" + libid + "\\2.0"), "Sample 2.0 Type Library");
    EXPECT_EQ(value("Other\\Key"), "stays");
}
