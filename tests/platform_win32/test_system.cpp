#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/win32/win32.h"

TEST(DebugOutput, GoesToTheInstalledSink) {
    std::vector<std::string> seen;
    DebugOutputSink previous = SetDebugOutputSink([&](const char* text) { seen.emplace_back(text); });
    OutputDebugStringA("first\n");
    OutputDebugStringA(nullptr);
    std::thread([] { OutputDebugStringA("from a thread"); }).join();
    SetDebugOutputSink(previous);
    OutputDebugStringA("after removal");
    EXPECT_EQ(seen, (std::vector<std::string>{"first\n", "from a thread"}));
}

TEST(DebugOutput, DefaultWritesToStderrOnlyWhenAsked) {
    setenv("KIVIC_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    OutputDebugStringA("visible\n");
    unsetenv("KIVIC_DEBUG");
    OutputDebugStringA("dropped\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "visible\n");
}

TEST(MessageBox, NotifierAnswersAndDefaultTakesFirstButton) {
    std::string recorded;
    MessageBoxNotifier previous =
        SetMessageBoxNotifier([&](HWND, const char* text, const char* caption, UINT type) {
            recorded = std::string(caption) + "|" + text + "|" + std::to_string(type);
            return IDNO;
        });
    EXPECT_EQ(MessageBoxA(nullptr, "Overwrite?", "Question", MB_YESNO), IDNO);
    EXPECT_EQ(recorded, "Question|Overwrite?|4");
    SetMessageBoxNotifier(nullptr);

    std::string debug;
    DebugOutputSink oldSink = SetDebugOutputSink([&](const char* text) { debug += text; });
    EXPECT_EQ(MessageBoxA(nullptr, "disk full", "Error", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_ABORTRETRYIGNORE), IDABORT);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_RETRYCANCEL), IDRETRY);
    SetDebugOutputSink(oldSink);
    SetMessageBoxNotifier(previous);
    EXPECT_NE(debug.find("disk full"), std::string::npos);
}

TEST(Time, TickCountFollowsTheClock) {
    const ULONGLONG before = GetTickCount64();
    const DWORD tick = GetTickCount();
    Sleep(30);
    EXPECT_GE(GetTickCount() - tick, 25u); // unsigned difference survives the wrap
    // The 32-bit count is the low half of the 64-bit one.
    const DWORD low = GetTickCount();
    EXPECT_LE(static_cast<DWORD>(GetTickCount64()) - low, 5u);
    EXPECT_LE(static_cast<DWORD>(GetTickCount64() - before), 5000u);
    LARGE_INTEGER frequency;
    LARGE_INTEGER a;
    LARGE_INTEGER b;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&a);
    Sleep(10);
    QueryPerformanceCounter(&b);
    EXPECT_GE((b.QuadPart - a.QuadPart) * 1000 / frequency.QuadPart, 9);
}

TEST(Time, LocalAndSystemTimeAreCalendarDates) {
    SYSTEMTIME local;
    SYSTEMTIME utc;
    GetLocalTime(&local);
    GetSystemTime(&utc);
    EXPECT_GE(local.wYear, 2024);
    EXPECT_GE(local.wMonth, 1);
    EXPECT_LE(local.wMonth, 12);
    EXPECT_LE(local.wDayOfWeek, 6);
    EXPECT_LE(local.wMilliseconds, 999);
    EXPECT_LE(utc.wHour, 23);
    EXPECT_EQ(local.wMinute % 15, utc.wMinute % 15); // time zones differ by quarter hours
}

TEST(Processor, VendorAndMmx) {
    char vendor[13];
    CpuVendor(vendor);
    EXPECT_EQ(std::strlen(vendor), 12u);
    int regs[4];
    CpuId(regs, 0);
    EXPECT_GE(regs[0], 1); // every x86-64 processor has leaf 1
    CpuId(regs, 1);
    const int family = (regs[0] >> 8) & 0xF;
    EXPECT_GT(family, 0);
    EXPECT_TRUE(CpuHasMmx()); // part of x86-64
}

TEST(CommandLine, ProgramPathQuotedThenArguments) {
    const std::string line = GetCommandLineA();
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line[0], '"');
    EXPECT_NE(line.find("test_platform_win32\""), std::string::npos) << line;
    SetCommandLineA("\"/opt/app/KivIc.exe\" -play \"a b.cm8\"");
    EXPECT_STREQ(GetCommandLineA(), "\"/opt/app/KivIc.exe\" -play \"a b.cm8\"");
}

TEST(ModulePath, ProgramAndLibrary) {
    char path[4096];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    ASSERT_GT(length, 0u);
    char expected[4096];
    const ssize_t got = readlink("/proc/self/exe", expected, sizeof(expected) - 1);
    ASSERT_GT(got, 0);
    expected[got] = '\0';
    EXPECT_STREQ(path, expected);
    EXPECT_TRUE(std::string(path).ends_with("/test_platform_win32"));

    char viaHandle[4096];
    ASSERT_GT(GetModuleFileNameA(GetModuleHandleA(nullptr), viaHandle, sizeof(viaHandle)), 0u);
    EXPECT_STREQ(viaHandle, path);

    // A cut path fills the buffer and reports it.
    char small[8];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof(small)), 8u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::strlen(small), 7u);

    // A loaded library is found by its name, and an address inside it names it too.
    HMODULE platform = GetModuleHandleA("libkivic_platform.so");
    ASSERT_NE(platform, nullptr);
    char byName[4096];
    ASSERT_GT(GetModuleFileNameA(platform, byName, sizeof(byName)), 0u);
    EXPECT_TRUE(std::string(byName).ends_with("/libkivic_platform.so")) << byName;
    EXPECT_EQ(GetModuleHandleA("libnot_loaded_anywhere.so"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    char library[4096];
    ASSERT_GT(GetModuleFileNameA(reinterpret_cast<HMODULE>(&GetTickCount), library, sizeof(library)), 0u);
    EXPECT_STREQ(library, byName);
}

TEST(FormatMessage, SystemTexts) {
    char buffer[256];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        buffer, sizeof(buffer), nullptr);
    EXPECT_STREQ(buffer, "The system cannot find the file specified.\r\n");
    EXPECT_EQ(length, std::strlen(buffer));

    LPSTR allocated = nullptr;
    ASSERT_GT(FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                             ERROR_ACCESS_DENIED, 0, reinterpret_cast<LPSTR>(&allocated), 0, nullptr),
              0u);
    EXPECT_STREQ(allocated, "Access is denied.\r\n");
    LocalFree(allocated);

    EXPECT_EQ(
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0x12345678u, 0, buffer, sizeof(buffer), nullptr),
        0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
    EXPECT_EQ(
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0, buffer, 10, nullptr),
        0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}
