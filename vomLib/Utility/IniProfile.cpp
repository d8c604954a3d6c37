#include "vomLib/Utility/IniProfile.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/win32/profile.h"
#include "platform/win32/system.h"

namespace {

constexpr DWORD kValueBuffer = 4096;
// The name used when the program's own path cannot be found (it never ends the program).
constexpr const char* kFallbackName = "KivIc";

bool EndsWithExe(const std::string& path) {
    if (path.size() < 4)
        return false;
    const char* tail = path.c_str() + path.size() - 4;
    const char* exe = ".exe";
    for (int i = 0; i < 4; ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != exe[i])
            return false;
    }
    return true;
}

std::string ModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::string();
        if (n < buffer.size() - 1)
            return std::string(buffer.data(), n);
        if (buffer.size() >= 64 * 1024)
            return std::string();
        buffer.resize(buffer.size() * 2); // the path was cut: try a larger buffer
    }
}

} // namespace

IniProfile::IniProfile(const char* fileName) : m_fileName(fileName != nullptr ? fileName : DefaultPath()) {}

std::string IniProfile::GetString(const char* section, const char* key, const char* defaultValue) const {
    std::vector<char> buffer(kValueBuffer, '\0');
    GetPrivateProfileStringA(section, key, defaultValue != nullptr ? defaultValue : "", buffer.data(),
                             kValueBuffer, m_fileName.c_str());
    return std::string(buffer.data(), strnlen(buffer.data(), kValueBuffer - 1));
}

std::string IniProfile::DefaultPath() {
    const char* overridePath = std::getenv("KIVIC_INI");
    if (overridePath != nullptr && *overridePath != '\0')
        return overridePath;
    const std::string program = ModulePath();
    return IniPathFor(program.empty() ? std::string(kFallbackName) : program);
}

std::string IniProfile::IniPathFor(const std::string& programPath) {
    std::string path = programPath;
    if (EndsWithExe(path))
        path.resize(path.size() - 4);
    return path + ".ini";
}

IniProfileWriter::IniProfileWriter(const char* fileName) : m_fileName(fileName != nullptr ? fileName : "") {}

bool IniProfileWriter::WriteString(const char* section, const char* key, const char* value) const {
    return WritePrivateProfileStringA(section, key, value, m_fileName.c_str()) != FALSE;
}
