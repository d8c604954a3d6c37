// Private-profile (ini) files: section and key lists, look-ups, numbers and a rewrite.
#include <cstring>

#include "platform/win32/profile.h"
#include "tests/fuzz/targets/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = fuzz::WriteInput(data, size, ".ini");
    static char buffer[4096];
    GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, path);
    // Look up every listed section and its keys.
    for (const char* section = buffer; *section; section += std::strlen(section) + 1) {
        static char keys[4096];
        GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, path);
        for (const char* key = keys; *key; key += std::strlen(key) + 1) {
            static char value[16];
            GetPrivateProfileStringA(section, key, "default ", value, sizeof value, path);
            GetPrivateProfileIntA(section, key, -1, path);
        }
    }
    GetPrivateProfileStringA("OPTION", "ROOT_FOLDER", "", buffer, 1, path);
    WritePrivateProfileStringA("OPTION", "ROOT_FOLDER", "/tmp", path);
    WritePrivateProfileStringA("DbGain", nullptr, nullptr, path);
    return 0;
}
