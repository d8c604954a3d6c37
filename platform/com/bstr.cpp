#include "platform/com/bstr.h"

#include <cstdlib>
#include <cstring>

// Layout: a 32-bit byte count, then the characters, then a terminating NUL character.
namespace {
BSTR AllocBytes(const void* data, UINT bytes) {
    auto* block = static_cast<BYTE*>(std::malloc(sizeof(DWORD) + bytes + sizeof(OLECHAR) + 1));
    if (!block)
        return nullptr;
    const DWORD count = bytes;
    std::memcpy(block, &count, sizeof count);
    BYTE* text = block + sizeof(DWORD);
    if (data)
        std::memcpy(text, data, bytes);
    else
        std::memset(text, 0, bytes);
    std::memset(text + bytes, 0, sizeof(OLECHAR) + 1);
    return reinterpret_cast<BSTR>(text);
}

BYTE* BlockOf(BSTR text) {
    return reinterpret_cast<BYTE*>(text) - sizeof(DWORD);
}
} // namespace

BSTR SysAllocString(LPCOLESTR text) {
    if (!text)
        return nullptr;
    UINT n = 0;
    while (text[n])
        ++n;
    return SysAllocStringLen(text, n);
}

BSTR SysAllocStringLen(LPCOLESTR text, UINT length) {
    if (length > 0x3FFFFFF0u)
        return nullptr;
    return AllocBytes(text, length * static_cast<UINT>(sizeof(OLECHAR)));
}

BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length) {
    if (length > 0x7FFFFFF0u)
        return nullptr;
    return AllocBytes(bytes, length);
}

void SysFreeString(BSTR text) {
    if (text)
        std::free(BlockOf(text));
}

UINT SysStringByteLen(BSTR text) {
    if (!text)
        return 0;
    DWORD count = 0;
    std::memcpy(&count, BlockOf(text), sizeof count);
    return count;
}

UINT SysStringLen(BSTR text) {
    return SysStringByteLen(text) / static_cast<UINT>(sizeof(OLECHAR));
}

namespace {
// A byte that is no part of valid UTF-8 (a file name in another encoding) travels as the lone low
// surrogate U+DC80 + (byte - 0x80), which no valid text holds, and becomes the same byte again.
constexpr char16_t kEscapedByte = 0xDC00;

void PushEscaped(std::u16string& out, unsigned char byte) {
    out.push_back(static_cast<char16_t>(kEscapedByte + byte));
}
} // namespace

std::u16string Utf16FromUtf8(const char* text) {
    std::u16string out;
    if (!text)
        return out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        char32_t cp = 0;
        int extra = 0;
        const unsigned char c = *p;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            PushEscaped(out, *p);
            ++p;
            continue;
        }
        bool ok = true;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        const bool overlong =
            (extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (!ok || overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            // Only the lead byte: what follows is looked at again on its own.
            PushEscaped(out, *p);
            ++p;
            continue;
        }
        p += 1 + extra;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

BSTR BstrFromUtf8(const char* text) {
    if (!text)
        return nullptr;
    const std::u16string wide = Utf16FromUtf8(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string Utf8FromBstr(const OLECHAR* text) {
    std::string out;
    if (!text)
        return out;
    for (const OLECHAR* p = text; *p; ++p) {
        char32_t cp = *p;
        if (cp >= 0xD800 && cp <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        } else if (cp >= kEscapedByte + 0x80u && cp <= kEscapedByte + 0xFFu) {
            out.push_back(static_cast<char>(cp - kEscapedByte));
            continue;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}
