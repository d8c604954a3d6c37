#include "platform/win32/write_fault.h"

#include <atomic>
#include <cerrno>
#include <mutex>

namespace kivic::win32 {
namespace {

std::mutex& HookMutex() {
    static std::mutex m;
    return m;
}

WriteFaultHook& Hook() {
    static WriteFaultHook hook;
    return hook;
}

// Writes without a hook, the normal case, take no lock.
std::atomic<bool> g_installed{false};

} // namespace

WriteFaultHook SetWriteFaultHook(WriteFaultHook hook) {
    std::lock_guard lock(HookMutex());
    WriteFaultHook old = std::move(Hook());
    Hook() = std::move(hook);
    g_installed = static_cast<bool>(Hook());
    return old;
}

bool WriteFaultInjected(const std::string& path, std::size_t bytes) {
    if (!g_installed.load(std::memory_order_acquire)) {
        return false;
    }
    std::lock_guard lock(HookMutex());
    if (!Hook() || !Hook()(path, bytes)) {
        return false;
    }
    errno = ENOSPC;
    return true;
}

} // namespace kivic::win32
