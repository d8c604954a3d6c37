// Process-wide services: debug output, message boxes, time, processor identification, the command
// line and the program's path, system error texts.
#pragma once

#include <functional>

#include "platform/win32/types.h"

// --- Debug output ---------------------------------------------------------------------------------
// OutputDebugStringA hands the text to the installed sink. Without a sink the text is dropped, or
// written to stderr when KIVIC_DEBUG=1.
void OutputDebugStringA(LPCSTR text);
using DebugOutputSink = std::function<void(const char* text)>;
// Installs a sink (an empty function restores the default) and returns the previous one.
DebugOutputSink SetDebugOutputSink(DebugOutputSink sink);

// --- Message boxes --------------------------------------------------------------------------------
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_ICONHAND 0x00000010u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON2 0x00000100u
#define MB_APPLMODAL 0x00000000u
#define MB_SYSTEMMODAL 0x00001000u
#define MB_TASKMODAL 0x00002000u
#define MB_SETFOREGROUND 0x00010000u
#define MB_TOPMOST 0x00040000u

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// Library code never blocks on a message box: MessageBoxA calls the replaceable notifier. The
// program installs one that shows a real box; without one the text goes to the debug output and
// the box answers with its first button (IDOK, IDYES, IDABORT or IDRETRY).
using MessageBoxNotifier = std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;
MessageBoxNotifier SetMessageBoxNotifier(MessageBoxNotifier notifier);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// --- Time -----------------------------------------------------------------------------------------
// Milliseconds since an arbitrary start; wraps at 2^32 like the original.
DWORD GetTickCount();
ULONGLONG GetTickCount64();
void GetLocalTime(LPSYSTEMTIME time);
void GetSystemTime(LPSYSTEMTIME time);
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

// --- Processor --------------------------------------------------------------------------------------
// Runs the CPUID instruction: regs receives EAX, EBX, ECX, EDX of the given leaf.
void CpuId(int regs[4], int leaf);
// The vendor text of leaf 0 ("GenuineIntel", ...), 12 characters and a NUL.
void CpuVendor(char vendor[13]);
// EDX bit 23 of leaf 1.
bool CpuHasMmx();

// --- Command line and program path ---------------------------------------------------------------
// The command line as one text: the program path in double quotes, then the arguments separated by
// blanks (arguments holding blanks quoted). Built from the process's own arguments unless a text
// was set with SetCommandLineA (the program and tests may do so).
LPSTR GetCommandLineA();
void SetCommandLineA(LPCSTR commandLine);
// A null module gives the program's own path; a module handle from GetModuleHandleA or dlopen gives
// that shared object's path.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
HMODULE GetModuleHandleA(LPCSTR moduleName);

// --- System error texts ---------------------------------------------------------------------------
#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_STRING 0x00000400u
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000u
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FFu
#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(p, s) ((static_cast<WORD>(s) << 10) | static_cast<WORD>(p))

// Supports FORMAT_MESSAGE_FROM_SYSTEM, with or without FORMAT_MESSAGE_ALLOCATE_BUFFER (then buffer is
// an LPSTR* receiving a LocalAlloc block). The text ends with CR LF as on Windows.
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size,
                     void* arguments);
