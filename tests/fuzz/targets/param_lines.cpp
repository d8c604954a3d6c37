// Matching-parameter lines of a point: a count, then 13 fields per set, read with the C conversions.
#include <string>

#include "ZopDat/JobFile.h"
#include "ZopDat/MatParam4Point.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    JobFile file;
    MatParam4Point point;
    point.Read(file, text);
    std::string again;
    point.Write(again);
    return 0;
}
