// Helpers of the fuzz targets: the readers under test take file names, so each input is written to
// a file of its own process first.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include <unistd.h>

namespace fuzz {

// The folder of the input files: a memory file system when there is one. On a disk file system every
// rewrite of a truncated or renamed-over file waits for the disk, which made file-reading targets
// run at a few dozen inputs a second.
inline std::string InputFolder() {
    if (const char* dir = std::getenv("KIVIC_FUZZ_DIR"); dir && *dir)
        return dir;
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec))
        return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

// Removes the process's input files when it ends.
inline void ForgetAtExit(const std::string& path) {
    static std::mutex mutex;
    static std::vector<std::string>* paths = nullptr;
    std::lock_guard lock(mutex);
    if (!paths) {
        paths = new std::vector<std::string>;
        std::atexit([] {
            for (const std::string& p : *paths)
                std::remove(p.c_str());
        });
    }
    paths->push_back(path);
}

// The path of this process's file with that suffix (one per suffix and process).
inline std::string InputPath(const char* suffix) {
    static const std::string folder = InputFolder();
    std::string path = folder + "/kivic_fuzz_" + std::to_string(::getpid()) + suffix;
    static std::vector<std::string> known;
    bool seen = false;
    for (const std::string& k : known)
        seen = seen || k == path;
    if (!seen) {
        known.push_back(path);
        ForgetAtExit(path);
    }
    return path;
}

// Writes the input to the process's file and returns its path.
inline const char* WriteInput(const std::uint8_t* data, std::size_t size, const char* suffix) {
    static std::string path;
    path = InputPath(suffix);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
    return path.c_str();
}

} // namespace fuzz
