#include "platform/win32/handle_table.h"

#include <unordered_map>

#include "platform/win32/errors.h"
#include "platform/win32/files.h"

namespace kivic::win32 {
namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
    // Handle values are never reused, so a stale handle can never reach a newer object.
    std::uintptr_t next = 4;
};

Table& TheTable() {
    static Table* table = new Table; // outlives threads that close handles during exit
    return *table;
}

} // namespace

HANDLE InsertHandle(std::shared_ptr<KernelObject> object) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    const std::uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
    Table& table = TheTable();
    {
        std::lock_guard lock(table.mutex);
        auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found != table.objects.end()) {
            return found->second;
        }
    }
    SetInvalidHandleError();
    return nullptr;
}

std::shared_ptr<KernelObject> RemoveHandle(HANDLE handle) {
    Table& table = TheTable();
    std::shared_ptr<KernelObject> removed;
    {
        std::lock_guard lock(table.mutex);
        auto found = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found != table.objects.end()) {
            removed = std::move(found->second);
            table.objects.erase(found);
        }
    }
    if (!removed) {
        SetInvalidHandleError();
    }
    return removed;
}

std::mutex& WaitMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

std::condition_variable& WaitCondition() {
    static std::condition_variable* condition = new std::condition_variable;
    return *condition;
}

void SetInvalidHandleError() {
    SetLastError(ERROR_INVALID_HANDLE);
}

} // namespace kivic::win32

BOOL CloseHandle(HANDLE object) {
    // The object itself (descriptor, thread record, search list) goes when its last user lets go.
    auto removed = kivic::win32::RemoveHandle(object);
    if (!removed) {
        return FALSE;
    }
    removed.reset();
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
