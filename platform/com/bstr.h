// Automation strings: length-prefixed UTF-16 text, allocated by the sender and freed by the receiver.
#pragma once

#include <string>

#include "platform/win32/types.h"

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;
#define OLESTR(str) u##str

BSTR SysAllocString(LPCOLESTR text);
BSTR SysAllocStringLen(LPCOLESTR text, UINT length);
BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// Conversions between the program's UTF-8 texts (file names, messages) and automation strings.
// Bytes that are no valid UTF-8 (a file name in another encoding) cross unchanged: each becomes the
// lone surrogate U+DC80 to U+DCFF and back; other lone surrogates become U+FFFD.
BSTR BstrFromUtf8(const char* text);
std::string Utf8FromBstr(const OLECHAR* text);
std::u16string Utf16FromUtf8(const char* text);
