#include "platform/com/objects.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "platform/com/registry.h"

namespace {
// Loaded server modules stay loaded for the life of the process: a module that made widgets or
// registered types cannot be unloaded safely.
std::mutex g_modulesLock;
std::map<std::string, void*> g_modules;
thread_local std::string t_loadError;
thread_local int t_initCount = 0;

void* LoadModule(const std::string& path) {
    std::lock_guard lock(g_modulesLock);
    if (auto it = g_modules.find(path); it != g_modules.end())
        return it->second;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = dlerror();
        t_loadError = error ? error : ("cannot load " + path);
        return nullptr;
    }
    g_modules[path] = handle;
    return handle;
}
} // namespace

HRESULT CoInitialize(void*) {
    return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

HRESULT CoInitializeEx(void*, DWORD) {
    return t_initCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (t_initCount > 0)
        --t_initCount;
}

HRESULT CLSIDFromProgIDA(const char* progId, LPCLSID clsid) {
    if (!progId || !clsid)
        return E_INVALIDARG;
    std::string name = progId;
    for (int hop = 0; hop < 4; ++hop) {
        std::string text;
        if (ComRegistryRead(name + "\\CLSID", &text))
            return GuidFromString(text.c_str(), clsid) ? S_OK : CO_E_CLASSSTRING;
        if (!ComRegistryRead(name + "\\CurVer", &name))
            break;
    }
    return CO_E_CLASSSTRING;
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid) {
    if (!progId)
        return E_INVALIDARG;
    return CLSIDFromProgIDA(Utf8FromBstr(progId).c_str(), clsid);
}

HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid) {
    if (!text || !clsid)
        return E_INVALIDARG;
    const std::string utf8 = Utf8FromBstr(text);
    if (GuidFromString(utf8.c_str(), clsid))
        return S_OK;
    return CLSIDFromProgIDA(utf8.c_str(), clsid);
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    std::string path;
    if (!ComRegistryRead("CLSID\\" + GuidToString(clsid) + "\\InprocServer32", &path) || path.empty())
        return REGDB_E_CLASSNOTREG;
    void* module = LoadModule(path);
    if (!module)
        return CO_E_DLLNOTFOUND;
    auto get = reinterpret_cast<DllGetClassObjectFn>(dlsym(module, "DllGetClassObject"));
    if (!get) {
        t_loadError = path + ": no DllGetClassObject";
        return CO_E_ERRORINDLL;
    }
    return get(clsid, riid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT hr =
        CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr))
        return hr;
    hr = factory->CreateInstance(outer, riid, object);
    factory->Release();
    return hr;
}

const char* CoLastLoadError() {
    return t_loadError.c_str();
}

void* CoTaskMemAlloc(SIZE_T bytes) {
    return std::malloc(bytes ? bytes : 1);
}

void CoTaskMemFree(void* block) {
    std::free(block);
}

HRESULT ComRegisterModule(const char* modulePath, bool unregister, std::string* errorText) {
    std::string ignored;
    std::string& error = errorText ? *errorText : ignored;
    if (!modulePath || !*modulePath) {
        error = "no module named";
        return E_INVALIDARG;
    }
    char resolved[4096];
    const std::string path = realpath(modulePath, resolved) ? resolved : modulePath;
    void* module = LoadModule(path);
    if (!module) {
        error = t_loadError;
        return CO_E_DLLNOTFOUND;
    }
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto run = reinterpret_cast<DllRegisterServerFn>(dlsym(module, entry));
    if (!run) {
        error = path + ": the module does not export " + entry;
        return CO_E_ERRORINDLL;
    }
    const HRESULT hr = run();
    if (FAILED(hr)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
        error = std::string(entry) + " of " + path + " failed with " + code;
    }
    return hr;
}
