// A full disk on demand, for tests: every write of the platform's file layer (file handles, and with
// them the framework's files, and the AVI writer) first asks the installed hook, which can make it fail
// as a full disk would (ERROR_DISK_FULL, errno ENOSPC), nothing of it written.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace kivic::win32 {

// path: the file as it was opened (slashes); bytes: the size of this write. True fails the write.
// The hook is called under a lock, so a hook that counts needs none of its own; it must not write
// files itself.
using WriteFaultHook = std::function<bool(const std::string& path, std::size_t bytes)>;

// Installs the hook (an empty one removes it) and returns the one before.
WriteFaultHook SetWriteFaultHook(WriteFaultHook hook);

// For the writers of the platform: true, with errno set to ENOSPC, when the hook fails this write.
bool WriteFaultInjected(const std::string& path, std::size_t bytes);

} // namespace kivic::win32
