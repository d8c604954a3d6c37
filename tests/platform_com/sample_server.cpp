// A small automation server module for the tests, with a dual interface and a type library.
#include <cstring>
#include <stdexcept>

#include "platform/com/com.h"
#include "platform/com/disptable.h"
#include "sample_server.h"

namespace {
ComModuleState g_module;

constexpr ComFuncDesc kFuncs[] = {
    DispPropGet<&ISample::get_Counter>(1, "Counter", VT_I4),
    DispPropPut<&ISample::put_Counter>(1, "Counter", VT_I4),
    DispMethod<&ISample::Split>(2, "Split",
                                {{"value", VT_INT}, {"high", VT_I2 | VT_BYREF}, {"low", VT_I2 | VT_BYREF}}),
    DispMethod<&ISample::Fill>(3, "Fill", {{"block", VT_BUFFER}, {"written", VT_I4 | VT_BYREF}}),
    DispMethod<&ISample::Fail>(4, "Fail"),
    DispMethod<&ISample::Throw>(5, "Throw"),
    DispMethod<&ISample::Echo>(6, "Echo", {{"text", VT_BSTR}}, VT_BSTR),
};
constexpr ComInterfaceDesc kInterface = {IID_ISample, "ISample", "ISample Interface", kFuncs};
constexpr ComLibraryDesc kLibrary = {LIBID_SampleLib,
                                     "SampleLib",
                                     "Sample 1.0 Type Library",
                                     1,
                                     0,
                                     &kInterface,
                                     {CLSID_Sample, "Sample", "Sample Class"}};

class Sample final : public DualObject<ISample> {
public:
    Sample() : DualObject(kLibrary, "Kivic.Sample", &g_module) {}

    HRESULT get_Counter(LONG* value) override {
        if (!value)
            return E_POINTER;
        *value = m_counter;
        return S_OK;
    }
    HRESULT put_Counter(LONG value) override {
        m_counter = value;
        return S_OK;
    }
    HRESULT Split(INT value, SHORT* high, SHORT* low) override {
        if (!high || !low)
            return E_POINTER;
        *high = static_cast<SHORT>(value >> 16);
        *low = static_cast<SHORT>(value & 0xFFFF);
        return S_OK;
    }
    HRESULT Fill(ComBuffer block, LONG* written) override {
        if (!written)
            return E_POINTER;
        if (!block.pvData) {
            *written = 6;
            return S_OK;
        }
        if (block.cbCapacity < 6)
            return Error("buffer too small", E_INVALIDARG);
        std::memcpy(block.pvData, "sample", 6);
        *written = 6;
        return S_OK;
    }
    HRESULT Fail() override { return Error("this always fails", E_FAIL); }
    HRESULT Throw() override {
        return Guard([]() -> HRESULT { throw std::runtime_error("thrown inside"); });
    }
    HRESULT Echo(BSTR text, BSTR* echoed) override {
        if (!echoed)
            return E_POINTER;
        *echoed = SysAllocStringLen(text, SysStringLen(text));
        return S_OK;
    }

private:
    LONG m_counter = 0;
};

ComServerRegistration Registration() {
    return {&kLibrary, "Kivic.Sample", "Kivic.Sample.1", ComModulePathOf(&g_module), "Apartment"};
}
} // namespace

KIVIC_COM_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    return ComGetClassObject<Sample>(clsid, CLSID_Sample, riid, object, &g_module);
}

KIVIC_COM_EXPORT HRESULT DllCanUnloadNow() {
    return g_module.CanUnloadNow();
}
KIVIC_COM_EXPORT HRESULT DllRegisterServer() {
    return ComRegisterServer(Registration());
}
KIVIC_COM_EXPORT HRESULT DllUnregisterServer() {
    return ComUnregisterServer(Registration());
}
KIVIC_COM_EXPORT long SampleObjectsAlive() {
    return g_module.Objects();
}
