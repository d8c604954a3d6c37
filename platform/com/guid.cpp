#include "platform/com/guid.h"

#include <cctype>
#include <cstdio>
#include <cstring>

std::string GuidToString(REFGUID g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                  g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return text;
}

namespace {
bool ParseHex(const char*& p, int digits, std::uint64_t* value) {
    std::uint64_t v = 0;
    for (int i = 0; i < digits; ++i, ++p) {
        const int c = static_cast<unsigned char>(*p);
        if (!std::isxdigit(c))
            return false;
        v = v * 16 + static_cast<std::uint64_t>(std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
    }
    *value = v;
    return true;
}
} // namespace

bool GuidFromString(const char* text, GUID* guid) {
    if (!text || !guid)
        return false;
    const char* p = text;
    const bool braced = *p == '{';
    if (braced)
        ++p;
    std::uint64_t v = 0;
    GUID g{};
    if (!ParseHex(p, 8, &v) || *p++ != '-')
        return false;
    g.Data1 = static_cast<DWORD>(v);
    if (!ParseHex(p, 4, &v) || *p++ != '-')
        return false;
    g.Data2 = static_cast<WORD>(v);
    if (!ParseHex(p, 4, &v) || *p++ != '-')
        return false;
    g.Data3 = static_cast<WORD>(v);
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && *p++ != '-')
            return false;
        if (!ParseHex(p, 2, &v))
            return false;
        g.Data4[i] = static_cast<BYTE>(v);
    }
    if (braced && *p++ != '}')
        return false;
    if (*p != '\0')
        return false;
    *guid = g;
    return true;
}
