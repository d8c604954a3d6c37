// Critical sections, events, waits and threads.
#pragma once

#include "platform/win32/types.h"

// A recursive lock. The implementation object lives behind the pointer; the structure itself may be
// copied only before InitializeCriticalSection.
struct CRITICAL_SECTION {
    void* impl;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION cs);
void EnterCriticalSection(LPCRITICAL_SECTION cs);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs);
void LeaveCriticalSection(LPCRITICAL_SECTION cs);
void DeleteCriticalSection(LPCRITICAL_SECTION cs);

#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED_0 0x00000080u
#define WAIT_TIMEOUT 258u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64
#define STILL_ACTIVE 259u
#define CREATE_SUSPENDED 0x00000004u

// Events: manual or auto reset. An auto-reset event releases one waiter and resets.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Waits on events and threads (a thread handle is signalled when the thread has ended).
// WaitForMultipleObjects with waitAll FALSE returns WAIT_OBJECT_0 + the lowest signalled index, and
// resets only that object when it is an auto-reset event; a time-out of 0 polls.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
// C run-time thread start: returns the thread handle as an integer, 0 on failure (errno set).
std::uintptr_t _beginthreadex(void* security, unsigned stackSize, unsigned (*start)(void*), void* arglist,
                              unsigned initFlag, unsigned* threadAddr);
DWORD ResumeThread(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
DWORD GetCurrentThreadId();
void Sleep(DWORD milliseconds);

LONG InterlockedIncrement(LONG volatile* value);
LONG InterlockedDecrement(LONG volatile* value);
LONG InterlockedExchange(LONG volatile* target, LONG value);
// Returns the value before the call; stores exchange only when it equalled comparand.
LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand);
// Returns the value before the addition.
LONG InterlockedExchangeAdd(LONG volatile* addend, LONG value);
