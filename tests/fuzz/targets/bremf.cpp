// Raw camera recordings: header, frame addressing and frame reads of any bytes.
#include <climits>

#include "fc/BREM_FC/BREMF.h"
#include "tests/fuzz/targets/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = fuzz::WriteInput(data, size, ".cm8");
    try {
        BREMF reader(path, 1);
        const long frames[] = {LONG_MIN, -1, 0, 1, reader.GetFirstFrame(), reader.GetLastFrame(), LONG_MAX};
        for (long n : frames) {
            try {
                reader.ReadFrame(n);
            } catch (const vomRfile::XRead&) {
            } catch (const vomRfile::XSeek&) {
            }
        }
        (void)reader.GetShutterSpeed();
        (void)reader.GetTriggerTime();
        (void)reader.GetFileLength();
    } catch (const vomException&) {
    } catch (const Range<long>::illegal&) {
    }
    return 0;
}
