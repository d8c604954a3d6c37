// Record files of point-frame tables: a damaged file must fail to load and leave the table as it was.
#include <cstdlib>

#include "ZopDat/PointFrame.h"
#include "tests/fuzz/targets/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = fuzz::WriteInput(data, size, ".rec");
    PointFrame table;
    if (table.Load(path) == 0) {
        // What loaded can be written again and exported.
        const std::string out = fuzz::InputPath(".out");
        table.Save(out.c_str());
        table.ExportCsv(out.c_str(), {"a", "b"}, 2);
        std::remove(out.c_str());
    }
    return 0;
}
