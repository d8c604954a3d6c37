// The 'CSTS' and 'NOTE' chunks read straight from the RIFF structure of an AVI file.
#include <string>
#include <vector>

#include "tests/fuzz/targets/fuzz_support.h"
#include "vomLib/avilib/MjpegInfoChunks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = fuzz::WriteInput(data, size, ".avi");
    std::vector<std::string> csts;
    std::vector<NOTES> notes;
    ReadInfoChunks(path, csts, notes);
    return 0;
}
