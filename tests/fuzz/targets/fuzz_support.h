// Helpers of the fuzz targets: the readers under test take file names, so each input is written to
// a file of its own process first.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace fuzz {

inline const std::string& InputPath(const char* suffix) {
    static const std::string path = [&] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/kivic_fuzz_" + std::to_string(::getpid()) + suffix;
    }();
    return path;
}

// Writes the input to the process's file and returns its path.
inline const char* WriteInput(const std::uint8_t* data, std::size_t size, const char* suffix) {
    const std::string& path = InputPath(suffix);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
    return path.c_str();
}

} // namespace fuzz
