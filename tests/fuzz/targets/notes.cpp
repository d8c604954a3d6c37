// 'NOTE' blocks of recording-system AVI files: entries and what is derived from them; a block that
// was taken builds again and parses to the same record.
#include <cstdlib>

#include "vomLib/avilib/Notes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NOTES notes;
    if (!notes.Parse(data, size))
        return 0;
    NOTES copy = notes;
    const std::string block = copy.Build();
    NOTES again;
    if (!again.Parse(block.data(), block.size()))
        std::abort(); // what Build wrote must read back
    return 0;
}
