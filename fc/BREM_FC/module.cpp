// The entry points of the BREM_FC module: class object, unload check and self-registration.
#include "fc/BREM_FC/BremFc.h"
#include "fc/BREM_FC/BremFcIds.h"
#include "platform/com/registry.h"

namespace {
ComServerRegistration Registration() {
    return {&kBremFcLibrary, kBremFcProgId, kBremFcVersionedProgId,
            ComModulePathOf(reinterpret_cast<const void*>(&Registration)), "Apartment"};
}
} // namespace

KIVIC_COM_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    return ComGetClassObject<CBremFc>(clsid, CLSID_BremFc, riid, object, &BremFcModule());
}

KIVIC_COM_EXPORT HRESULT DllCanUnloadNow() {
    return BremFcModule().CanUnloadNow();
}
KIVIC_COM_EXPORT HRESULT DllRegisterServer() {
    return ComRegisterServer(Registration());
}
KIVIC_COM_EXPORT HRESULT DllUnregisterServer() {
    return ComUnregisterServer(Registration());
}
