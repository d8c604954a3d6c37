// Job files: sections, values with continuation lines, the job parameters and point lines in them.
#include "ZopDat/JobFile.h"
#include "ZopDat/PointInfo.h"
#include "ZopDat/TrackingJobPar.h"
#include "tests/fuzz/targets/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = fuzz::WriteInput(data, size, ".job");
    {
        JobFile file;
        if (!file.Open(path, CFile::modeRead | CFile::typeText))
            return 0;
        int type = 0, state = 0;
        std::string key, value;
        for (int lines = 0; lines < 10000; ++lines) {
            if (file.ParseLine(type, state, key, value) == JobFile::kEndOfFile)
                break;
            while (state == 1) {
                std::string part;
                if (file.ReadContinuation(state, part) != JobFile::kRead)
                    break;
            }
        }
    }
    {
        JobFile file;
        if (!file.Open(path, CFile::modeRead | CFile::typeText))
            return 0;
        static const char* const keys[5] = {"Value1", "Value2", "Value3", "Points", "Point%d"};
        TrackingJobPar job;
        file.FindSection("Tracking");
        job.Read(file, keys);
        PointInfo point;
        point.Read(file, 1, "Info%d");
    }
    return 0;
}
