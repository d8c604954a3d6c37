// Record files whose counts promise far more than they hold must be refused before anything is
// reserved for them. On a large machine a reservation of gigabytes may well succeed (and the load then
// fail on the short file anyway), so the loads run in a child process whose address space is limited to
// what it uses plus 512 MiB: there a reservation of that size fails and the child reports it.
#include "ZopDat/PointFrame.h"
#include "zopdat/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <new>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZOPDAT_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define ZOPDAT_TEST_SANITIZED 1
#endif
#endif

#ifdef ZOPDAT_TEST_SANITIZED

TEST(RecordFileLimits, HugeCountsAreRefusedUnderALimitedAddressSpace) {
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space limit; the "
                    "RelWithDebInfo build runs this test";
}

#else

namespace {

constexpr std::uint64_t kHeadroom = 512ull << 20;

// Child exit codes.
enum : int {
    kAllRefused = 0,
    kNoLimit = 60,      // the address-space limit could not be set
    kLimitIgnored = 61, // a gigabyte could still be reserved under it
    kOutOfMemory = 62,  // a load ran into the limit: it reserved by the count
    kThrew = 63,
    kAccepted = 64,     // + file index: the load did not fail
    kTableChanged = 80, // + file index: the failed load changed the table
};

std::string Le32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return std::string{static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                       static_cast<char>(u >> 24)};
}

std::string Scale() {
    const double one = 1.0;
    std::string bytes(8, '\0');
    std::memcpy(bytes.data(), &one, 8);
    return bytes;
}

// The process's mapped address space in bytes.
std::uint64_t AddressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
}

[[noreturn]] void LoadAllUnderLimit(const std::vector<std::string>& files) {
    const rlim_t limit = AddressSpaceInUse() + kHeadroom;
    const rlimit bound{limit, limit};
    if (setrlimit(RLIMIT_AS, &bound) != 0) {
        _exit(kNoLimit);
    }
    // The limit must bite, or the loads below prove nothing.
    char* probe = new (std::nothrow) char[1ull << 30];
    if (probe != nullptr) {
        delete[] probe;
        _exit(kLimitIgnored);
    }
    try {
        for (std::size_t i = 0; i < files.size(); ++i) {
            PointFrame table(0.5);
            table.PutFrame(7, new FrameRecord(7, 3));
            if (table.Load(files[i].c_str()) != -1) {
                _exit(kAccepted + static_cast<int>(i));
            }
            if (table.Count() != 1 || table.Get(0)->EntryCount() != 3 || table.GetScale() != 0.5) {
                _exit(kTableChanged + static_cast<int>(i));
            }
        }
    } catch (const std::bad_alloc&) {
        _exit(kOutOfMemory);
    } catch (...) {
        _exit(kThrew);
    }
    _exit(kAllRefused);
}

} // namespace

TEST(RecordFileLimits, HugeCountsAreRefusedUnderALimitedAddressSpace) {
    TempFolder folder;
    // Each promises far more than the headroom: frame records (16 GiB and 1.5 GiB of record pointers),
    // texts of 2 GiB and 768 MiB, point entries (16 GiB and 1.5 GiB of entry pointers). Every file is
    // long enough for the checks before the one it aims at.
    const std::string frame = Le32(1) + Le32(0);
    const std::vector<std::string> contents = {
        Scale() + Le32(0x7FFFFFFF),
        Scale() + Le32(0x0C000000) + std::string(64, '\0'),
        Scale() + Le32(1) + frame + Le32(0x7FFFFFFF) + std::string(16, 'a'),
        Scale() + Le32(1) + frame + Le32(0x30000000) + std::string(16, 'a'),
        Scale() + Le32(1) + frame + Le32(0) + Le32(0x7FFFFFFF) + std::string(16, '\0'),
        Scale() + Le32(1) + frame + Le32(0) + Le32(0x0C000000) + std::string(16, '\0'),
    };
    std::vector<std::string> files;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        files.push_back(folder.File("huge" + std::to_string(i) + ".rec"));
        WriteAll(files.back(), contents[i]);
    }

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        LoadAllUnderLimit(files);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    const int code = WEXITSTATUS(status);
    ASSERT_NE(code, kNoLimit) << "setrlimit failed";
    ASSERT_NE(code, kLimitIgnored) << "the address-space limit did not take effect";
    EXPECT_NE(code, kOutOfMemory) << "a load reserved memory by a count from the file";
    EXPECT_NE(code, kThrew);
    if (code >= kAccepted && code < kTableChanged) {
        ADD_FAILURE() << "file " << code - kAccepted << " was loaded";
    }
    if (code >= kTableChanged) {
        ADD_FAILURE() << "file " << code - kTableChanged << " changed the table";
    }
    EXPECT_EQ(code, kAllRefused);
}

#endif
