// Private-profile (ini) files: section and key lists, look-ups, numbers and a rewrite.
#include <cstring>

#include "platform/win32/profile.h"
#include "tests/fuzz/targets/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = fuzz::WriteInput(data, size, ".ini");
    static char buffer[4096];
    GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, path);
    // Look up the first listed sections and their first keys: every look-up reads the file again, so
    // all of them would make a long file cost thousands of reads without reaching new code.
    int sections = 0;
    for (const char* section = buffer; *section && sections < 8;
         section += std::strlen(section) + 1, ++sections) {
        static char keys[4096];
        GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, path);
        int count = 0;
        for (const char* key = keys; *key && count < 8; key += std::strlen(key) + 1, ++count) {
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
