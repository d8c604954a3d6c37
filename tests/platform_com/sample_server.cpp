// A small automation server module for the tests: "Kivic.Sample" with a counter property, a method
// with by-reference results, a buffer-filling method and a failing method.
#include <cstring>
#include <stdexcept>

#include "platform/com/com.h"

namespace {
constexpr CLSID kClsid = {0x5A1B2C3D, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
constexpr IID kIid = {0x5A1B2C3D, 0x0002, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x02}};
constexpr GUID kLib = {0x5A1B2C3D, 0x0003, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x03}};

ComModuleState g_module;

constexpr DispMember kMembers[] = {
    {"Counter", 1}, {"Split", 2}, {"Fill", 3}, {"Fail", 4}, {"Throw", 5}, {"Echo", 6},
};

class Sample final : public DispatchObject {
public:
    Sample() : DispatchObject(kIid, kMembers, "Kivic.Sample", &g_module) {}

protected:
    HRESULT InvokeMember(DISPID id, WORD flags, const DispArgs& args, VARIANT* result) override {
        switch (id) {
        case 1:
            if (flags & DISPATCH_PROPERTYPUT) {
                m_counter = args.PutI4();
                return S_OK;
            }
            SetResultI4(result, m_counter);
            return S_OK;
        case 2: { // Split(INT value, I2* high, I2* low)
            args.Expect(3);
            const INT value = args.Int(0);
            *args.RefI2(1) = static_cast<SHORT>(value >> 16);
            *args.RefI2(2) = static_cast<SHORT>(value & 0xFFFF);
            return S_OK;
        }
        case 3: { // Fill(buffer, I4* written): writes "sample" when it fits
            args.Expect(2);
            ULONG_PTR capacity = 0;
            void* data = args.Buffer(0, &capacity);
            LONG* written = args.RefI4(1);
            if (!data) {
                *written = 6;
                return S_OK;
            }
            if (capacity < 6)
                return Error("buffer too small", E_INVALIDARG);
            std::memcpy(data, "sample", 6);
            *written = 6;
            return S_OK;
        }
        case 4:
            return Error("this always fails", E_FAIL);
        case 5:
            throw std::runtime_error("thrown inside");
        case 6:
            args.Expect(1);
            SetResultBstr(result, args.Utf8(0));
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    LONG m_counter = 0;
};

ComServerRegistration Registration() {
    return {kClsid,     kLib, "Kivic.Sample", "Kivic.Sample.1", "Sample Class", ComModulePathOf(&g_module),
            "Apartment"};
}
} // namespace

KIVIC_COM_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    return ComGetClassObject<Sample>(clsid, kClsid, riid, object, &g_module);
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
