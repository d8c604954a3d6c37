#include "platform/win32/memory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/win32/errors.h"

namespace {

// Sits in front of the data; 32 bytes keep the data as aligned as malloc's own result.
struct BlockHeader {
    std::uint64_t magic;
    std::size_t size;
    std::uint32_t flags;
    std::uint32_t lockCount;
    std::uint64_t reserved;
};
static_assert(sizeof(BlockHeader) == 32);

constexpr std::uint64_t liveMagic = 0x6b69766963474d45ull;
constexpr std::uint64_t freedMagic = 0x6b69766963465245ull;
// Far beyond what a recording or image needs; refusing earlier keeps a bad size from reaching the
// allocator (and a 32-bit program could never have asked for it).
constexpr std::size_t maxBlockBytes = std::size_t{1} << 38;

BlockHeader* HeaderOf(const void* mem) {
    if (!mem) {
        return nullptr;
    }
    auto* header = reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(mem))) - 1;
    return header->magic == liveMagic ? header : nullptr;
}

void* DataOf(BlockHeader* header) {
    return header + 1;
}

bool IsDiscarded(const BlockHeader* header) {
    return header->size == 0 && (header->flags & GMEM_MOVEABLE);
}

std::uint32_t& LockCountOf(BlockHeader* header) {
    return header->lockCount;
}

std::uint32_t LoadLockCount(BlockHeader* header) {
    return std::atomic_ref<std::uint32_t>(LockCountOf(header)).load();
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (bytes > maxBlockBytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
    if (!header) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    header->magic = liveMagic;
    header->size = bytes;
    header->flags = flags & (GMEM_MOVEABLE | GMEM_DISCARDABLE | GMEM_ZEROINIT);
    header->lockCount = 0;
    header->reserved = 0;
    if (flags & GMEM_ZEROINIT) {
        std::memset(DataOf(header), 0, bytes);
    }
    SetLastError(ERROR_SUCCESS);
    return DataOf(header);
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) {
    BlockHeader* header = HeaderOf(mem);
    if (!header) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (flags & GMEM_MODIFY) {
        // Only the block's kind changes; its size and contents stay.
        header->flags = (header->flags & ~(GMEM_MOVEABLE | GMEM_DISCARDABLE)) |
                        (flags & (GMEM_MOVEABLE | GMEM_DISCARDABLE));
        SetLastError(ERROR_SUCCESS);
        return mem;
    }
    if (bytes > maxBlockBytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const std::size_t oldSize = header->size;
    auto* grown = static_cast<BlockHeader*>(std::realloc(header, sizeof(BlockHeader) + bytes));
    if (!grown) {
        // The old block is untouched and still belongs to the caller.
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    grown->size = bytes;
    if ((flags & GMEM_ZEROINIT) && bytes > oldSize) {
        std::memset(static_cast<char*>(DataOf(grown)) + oldSize, 0, bytes - oldSize);
    }
    SetLastError(ERROR_SUCCESS);
    return DataOf(grown);
}

LPVOID GlobalLock(HGLOBAL mem) {
    BlockHeader* header = HeaderOf(mem);
    if (!header) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (IsDiscarded(header)) {
        SetLastError(ERROR_DISCARDED);
        return nullptr;
    }
    if (header->flags & GMEM_MOVEABLE) {
        std::atomic_ref<std::uint32_t> count(LockCountOf(header));
        std::uint32_t current = count.load();
        while (current < GMEM_LOCKCOUNT && !count.compare_exchange_weak(current, current + 1)) {
        }
    }
    return mem;
}

BOOL GlobalUnlock(HGLOBAL mem) {
    BlockHeader* header = HeaderOf(mem);
    if (!header) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!(header->flags & GMEM_MOVEABLE)) {
        SetLastError(ERROR_SUCCESS);
        return FALSE;
    }
    std::atomic_ref<std::uint32_t> count(LockCountOf(header));
    std::uint32_t current = count.load();
    do {
        if (current == 0) {
            SetLastError(ERROR_NOT_LOCKED);
            return FALSE;
        }
    } while (!count.compare_exchange_weak(current, current - 1));
    if (current - 1 == 0) {
        SetLastError(ERROR_SUCCESS);
        return FALSE;
    }
    return TRUE;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    if (!mem) {
        return nullptr;
    }
    BlockHeader* header = HeaderOf(mem);
    if (!header) {
        SetLastError(ERROR_INVALID_HANDLE);
        return mem;
    }
    header->magic = freedMagic;
    std::free(header);
    return nullptr;
}

SIZE_T GlobalSize(HGLOBAL mem) {
    BlockHeader* header = HeaderOf(mem);
    if (!header) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return header->size;
}

UINT GlobalFlags(HGLOBAL mem) {
    BlockHeader* header = HeaderOf(mem);
    if (!header) {
        SetLastError(ERROR_INVALID_HANDLE);
        return GMEM_INVALID_HANDLE;
    }
    UINT flags = LoadLockCount(header) & GMEM_LOCKCOUNT;
    if (header->flags & GMEM_DISCARDABLE) {
        flags |= GMEM_DISCARDABLE;
    }
    if (IsDiscarded(header)) {
        flags |= GMEM_DISCARDED;
    }
    return flags;
}

HGLOBAL GlobalHandle(LPCVOID mem) {
    if (!HeaderOf(mem)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<LPVOID>(mem);
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    return GlobalAlloc(flags, bytes);
}

HLOCAL LocalFree(HLOCAL mem) {
    return GlobalFree(mem);
}
