#include <chrono>
#include <ctime>

#include "platform/win32/system.h"

namespace {

SYSTEMTIME FromParts(const std::tm& parts, long nanoseconds) {
    SYSTEMTIME time;
    time.wYear = static_cast<WORD>(parts.tm_year + 1900);
    time.wMonth = static_cast<WORD>(parts.tm_mon + 1);
    time.wDayOfWeek = static_cast<WORD>(parts.tm_wday);
    time.wDay = static_cast<WORD>(parts.tm_mday);
    time.wHour = static_cast<WORD>(parts.tm_hour);
    time.wMinute = static_cast<WORD>(parts.tm_min);
    time.wSecond = static_cast<WORD>(parts.tm_sec > 59 ? 59 : parts.tm_sec); // no leap second
    time.wMilliseconds = static_cast<WORD>(nanoseconds / 1000000);
    return time;
}

} // namespace

ULONGLONG GetTickCount64() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<ULONGLONG>(now.tv_sec) * 1000u + static_cast<ULONGLONG>(now.tv_nsec) / 1000000u;
}

DWORD GetTickCount() {
    return static_cast<DWORD>(GetTickCount64());
}

void GetLocalTime(LPSYSTEMTIME time) {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm parts;
    localtime_r(&now.tv_sec, &parts);
    *time = FromParts(parts, now.tv_nsec);
}

void GetSystemTime(LPSYSTEMTIME time) {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm parts;
    gmtime_r(&now.tv_sec, &parts);
    *time = FromParts(parts, now.tv_nsec);
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    count->QuadPart = static_cast<LONGLONG>(now.tv_sec) * 1000000000ll + now.tv_nsec;
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    frequency->QuadPart = 1000000000ll;
    return TRUE;
}
