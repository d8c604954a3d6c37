#include "platform/afx/core/afxdefs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32/system.h"

void AfxTrace(LPCTSTR format, ...) {
    if (format == nullptr)
        return;
    char small[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (needed < 0) {
        va_end(again);
        return;
    }
    if (static_cast<size_t>(needed) < sizeof small) {
        va_end(again);
        OutputDebugStringA(small);
        return;
    }
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.resize(static_cast<size_t>(needed));
    OutputDebugStringA(text.c_str());
}

void AfxAssertFailedLine(const char* file, int line, const char* expression) {
    char text[1024];
    std::snprintf(text, sizeof text, "Assertion failed: %s, file %s, line %d\n", expression, file, line);
    OutputDebugStringA(text);
    std::fputs(text, stderr);
    const char* carryOn = std::getenv("KIVIC_ASSERT_CONTINUE");
    if (carryOn != nullptr && std::strcmp(carryOn, "1") == 0)
        return;
    std::abort();
}
