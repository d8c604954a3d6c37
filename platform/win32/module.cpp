// Module handles and their file paths. A module handle is what dlopen returns; the program itself
// has one too. An address inside a loaded object is accepted as well and names that object.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <string>
#include <unistd.h>

#include "platform/win32/errors.h"
#include "platform/win32/native_path.h"
#include "platform/win32/system.h"

namespace {

std::string ProgramPath() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return {};
    }
    return std::string(path, static_cast<std::size_t>(length));
}

std::string RealPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) {
        return path;
    }
    std::string text = resolved;
    std::free(resolved);
    return text;
}

link_map* ProgramLinkMap() {
    void* self = ::dlopen(nullptr, RTLD_NOW | RTLD_NOLOAD);
    link_map* map = nullptr;
    if (self) {
        ::dlinfo(self, RTLD_DI_LINKMAP, &map);
        ::dlclose(self);
    }
    return map;
}

// True with the object's path when the handle is a loaded object's handle (the dynamic loader's
// handles are its link-map entries) or an address inside a loaded object.
bool PathOfModule(HMODULE module, std::string& path) {
    link_map* first = ProgramLinkMap();
    while (first && first->l_prev) {
        first = first->l_prev;
    }
    for (link_map* map = first; map; map = map->l_next) {
        if (static_cast<void*>(map) == static_cast<void*>(module)) {
            path = (map == first || !map->l_name || !*map->l_name) ? ProgramPath() : RealPath(map->l_name);
            return !path.empty();
        }
    }
    Dl_info info;
    link_map* owner = nullptr;
    if (::dladdr1(module, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) && owner) {
        path =
            (owner == first || !owner->l_name || !*owner->l_name) ? ProgramPath() : RealPath(owner->l_name);
        return !path.empty();
    }
    return false;
}

} // namespace

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    std::string path;
    if (!module) {
        path = ProgramPath();
        if (path.empty()) {
            SetLastError(Win32ErrorFromErrno(errno));
            return 0;
        }
    } else if (!PathOfModule(module, path)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!fileName || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // A path that does not fit is cut to size - 1 characters; the result is then size.
    if (path.size() + 1 > size) {
        path.copy(fileName, size - 1);
        fileName[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    path.copy(fileName, path.size());
    fileName[path.size()] = '\0';
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    if (!moduleName) {
        link_map* map = ProgramLinkMap();
        while (map && map->l_prev) {
            map = map->l_prev;
        }
        SetLastError(map ? ERROR_SUCCESS : ERROR_MOD_NOT_FOUND);
        return reinterpret_cast<HMODULE>(map);
    }
    // Only an object that is loaded already counts; the reference taken by asking is given back.
    const std::string name = kivic::win32::NativePath(moduleName);
    void* handle = ::dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ::dlclose(handle);
    SetLastError(ERROR_SUCCESS);
    return reinterpret_cast<HMODULE>(handle);
}
