#include "platform/com/registry.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/win32/system.h"

namespace {
using Entries = std::vector<std::pair<std::string, std::string>>;

bool SameKey(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool UnderPrefix(const std::string& key, const std::string& prefix) {
    if (key.size() < prefix.size() || strncasecmp(key.c_str(), prefix.c_str(), prefix.size()) != 0)
        return false;
    return key.size() == prefix.size() || key[prefix.size()] == '\\';
}

bool Load(const std::string& path, Entries* entries) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        entries->emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return true;
}

bool Save(const std::string& path, const Entries& entries) {
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out << "; class registry of KivIc: key=value\n";
        for (const auto& [key, value] : entries)
            out << key << '=' << value << '\n';
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

// Serialises writers of one registry file (the build registers two modules at once).
class FileLock {
public:
    explicit FileLock(const std::string& path)
        : m_fd(::open((path + ".lock").c_str(), O_CREAT | O_RDWR, 0644)) {
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_EX);
    }
    ~FileLock() {
        if (m_fd >= 0) {
            ::flock(m_fd, LOCK_UN);
            ::close(m_fd);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd;
};

template <class Change> HRESULT Update(Change change) {
    const std::string path = ComRegistryPath();
    FileLock lock(path);
    Entries entries;
    Load(path, &entries);
    change(entries);
    return Save(path, entries) ? S_OK : REGDB_E_WRITEREGDB;
}

std::string ClsidKey(const CLSID& clsid) {
    return "CLSID\\" + GuidToString(clsid);
}

std::string InterfaceKey(const IID& iid) {
    return "Interface\\" + GuidToString(iid);
}
} // namespace

std::string ComRegistryPath() {
    if (const char* over = std::getenv("KIVIC_REGISTRY"); over && *over)
        return over;
    char program[4096] = {};
    const DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
    std::string dir(program, n);
    const auto slash = dir.find_last_of('/');
    dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
    return dir + "/KivIc.reg";
}

bool ComRegistryRead(const std::string& key, std::string* value) {
    Entries entries;
    if (!Load(ComRegistryPath(), &entries))
        return false;
    for (const auto& [k, v] : entries) {
        if (SameKey(k, key)) {
            *value = v;
            return true;
        }
    }
    return false;
}

HRESULT ComRegistryWrite(const Entries& changes) {
    return Update([&](Entries& entries) {
        for (const auto& [key, value] : changes) {
            bool replaced = false;
            for (auto& entry : entries) {
                if (SameKey(entry.first, key)) {
                    entry.second = value;
                    replaced = true;
                    break;
                }
            }
            if (!replaced)
                entries.emplace_back(key, value);
        }
    });
}

HRESULT ComRegistryDelete(const std::vector<std::string>& prefixes) {
    return Update([&](Entries& entries) {
        std::erase_if(entries, [&](const auto& entry) {
            for (const auto& prefix : prefixes)
                if (UnderPrefix(entry.first, prefix))
                    return true;
            return false;
        });
    });
}

namespace {
// "1.0": major and minor version in hexadecimal, as the registry keeps them.
std::string VersionText(const ComLibraryDesc& library) {
    char version[16];
    std::snprintf(version, sizeof version, "%x.%x", library.majorVersion, library.minorVersion);
    return version;
}
} // namespace

std::string ComTypeLibKey(const ComLibraryDesc& library) {
    return "TypeLib\\" + GuidToString(library.libid) + "\\" + VersionText(library);
}

HRESULT ComRegisterServer(const ComServerRegistration& s) {
    if (!s.library || !s.library->dual || s.progId.empty() || s.modulePath.empty())
        return E_INVALIDARG;
    const ComLibraryDesc& lib = *s.library;
    const std::string clsid = GuidToString(lib.coclass.clsid);
    const std::string key = ClsidKey(lib.coclass.clsid);
    const std::string description = lib.coclass.docString ? lib.coclass.docString : "";
    const std::string libid = GuidToString(lib.libid);
    const std::string typeLib = ComTypeLibKey(lib);
    const std::string itf = InterfaceKey(lib.dual->iid);
    const auto slash = s.modulePath.find_last_of('/');
    const std::string helpDir = slash == std::string::npos ? std::string(".") : s.modulePath.substr(0, slash);
    Entries entries = {
        {s.progId, description},
        {s.progId + "\\CLSID", clsid},
        {key, description},
        {key + "\\VersionIndependentProgID", s.progId},
        {key + "\\Programmable", ""},
        {key + "\\InprocServer32", s.modulePath},
        {key + "\\InprocServer32\\ThreadingModel", s.threadingModel},
        {key + "\\TypeLib", libid},
        {typeLib, lib.docString ? lib.docString : lib.name},
        {typeLib + "\\0\\linux64", s.modulePath},
        {typeLib + "\\FLAGS", "0"},
        {typeLib + "\\HELPDIR", helpDir},
        {itf, lib.dual->name},
        {itf + "\\TypeLib", libid},
        {itf + "\\TypeLib\\Version", VersionText(lib)},
    };
    if (!s.versionedProgId.empty()) {
        entries.push_back({s.progId + "\\CurVer", s.versionedProgId});
        entries.push_back({s.versionedProgId, description});
        entries.push_back({s.versionedProgId + "\\CLSID", clsid});
        entries.push_back({key + "\\ProgID", s.versionedProgId});
    } else {
        entries.push_back({key + "\\ProgID", s.progId});
    }
    return ComRegistryWrite(entries);
}

HRESULT ComUnregisterServer(const ComServerRegistration& s) {
    if (!s.library || !s.library->dual || s.progId.empty())
        return E_INVALIDARG;
    std::vector<std::string> prefixes = {s.progId, ClsidKey(s.library->coclass.clsid),
                                         ComTypeLibKey(*s.library), InterfaceKey(s.library->dual->iid)};
    if (!s.versionedProgId.empty())
        prefixes.push_back(s.versionedProgId);
    return ComRegistryDelete(prefixes);
}

std::string ComModulePathOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname)
        return {};
    char resolved[4096];
    if (realpath(info.dli_fname, resolved))
        return resolved;
    return info.dli_fname;
}
