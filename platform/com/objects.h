// Creating objects: by ProgID or class id, from the module that the registry names.
#pragma once

#include <string>

#include "platform/com/interfaces.h"

#define CLSCTX_INPROC_SERVER 0x1u
#define CLSCTX_INPROC_HANDLER 0x2u
#define CLSCTX_LOCAL_SERVER 0x4u
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER)
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER)
#define COINIT_APARTMENTTHREADED 0x2u

HRESULT CoInitialize(void* reserved);
HRESULT CoInitializeEx(void* reserved, DWORD flags);
void CoUninitialize();

// Follows CurVer when the ProgID itself names no class.
HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid);
HRESULT CLSIDFromProgIDA(const char* progId, LPCLSID clsid);
HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* serverInfo, REFIID riid, void** object);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** object);

// The text of the last failure to load a module (dlopen's message), for error reports.
const char* CoLastLoadError();

void* CoTaskMemAlloc(SIZE_T bytes);
void CoTaskMemFree(void* block);

// What every server module exports.
using DllGetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();

// Loads a server module and runs its DllRegisterServer (or DllUnregisterServer). On failure the
// error text says what went wrong (missing file, missing export, the module's own result).
HRESULT ComRegisterModule(const char* modulePath, bool unregister, std::string* errorText);
