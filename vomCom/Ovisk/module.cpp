// The entry points of the Ovisk module: class object, unload check and self-registration.
#include "platform/com/registry.h"
#include "vomCom/Ovisk/AVIFilter.h"
#include "vomCom/Ovisk/OviskIds.h"

namespace {
ComServerRegistration Registration() {
    return {&kOviskLibrary, kAviFilterProgId, kAviFilterVersionedProgId,
            ComModulePathOf(reinterpret_cast<const void*>(&Registration)), "Apartment"};
}
} // namespace

KIVIC_COM_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    return ComGetClassObject<CAVIFilter>(clsid, CLSID_AVIFilter, riid, object, &OviskModule());
}

KIVIC_COM_EXPORT HRESULT DllCanUnloadNow() {
    return OviskModule().CanUnloadNow();
}
KIVIC_COM_EXPORT HRESULT DllRegisterServer() {
    return ComRegisterServer(Registration());
}
KIVIC_COM_EXPORT HRESULT DllUnregisterServer() {
    return ComUnregisterServer(Registration());
}
