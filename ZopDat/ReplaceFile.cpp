#include "ZopDat/ReplaceFile.h"

#include "platform/win32/win32.h"

#include <atomic>
#include <random>

namespace zopdat {

std::string TemporaryNameFor(const std::string& target) {
    // A token per process and a serial number per call keep two writers of one name apart.
    static const unsigned token = std::random_device{}();
    static std::atomic<unsigned> serial{0};
    return target + ".~" + std::to_string(token) + "-" + std::to_string(++serial) + ".tmp";
}

bool CommitTemporary(const std::string& temporary, const std::string& target) {
    if (MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    // The caller names the cause: the move's, not that of removing the temporary file.
    const DWORD cause = GetLastError();
    DiscardTemporary(temporary);
    SetLastError(cause);
    return false;
}

void DiscardTemporary(const std::string& temporary) {
    DeleteFileA(temporary.c_str());
}

} // namespace zopdat
