#include "ZopDat/TrackingJobPar.h"

#include "ZopDat/JobFile.h"
#include "ZopDat/ZopText.h"

int TrackingJobPar::Write(JobFile& file, const char* const keys[5]) const {
    if (!file.WriteValue(keys[0], zopdat::FormatInt(value1)) ||
        !file.WriteValue(keys[1], zopdat::FormatInt(value2)) ||
        !file.WriteValue(keys[2], zopdat::FormatInt(value3)) ||
        !file.WriteValue(keys[3], zopdat::FormatInt(Count()))) {
        return 0;
    }
    std::string line;
    for (int n = 1; n <= Count(); ++n) {
        const auto key = zopdat::FormatKey(keys[4], n);
        if (!key) {
            return 0;
        }
        Get(n - 1)->Write(line);
        if (!file.WriteValue(key->c_str(), line)) {
            return 0;
        }
    }
    return 1;
}

int TrackingJobPar::Read(JobFile& file, const char* const keys[5]) {
    std::string value;
    if (!file.ReadValue(keys[0], value)) {
        return 0;
    }
    value1 = zopdat::ParseInt(value);
    if (!file.ReadValue(keys[1], value)) {
        return 0;
    }
    value2 = zopdat::ParseInt(value);
    if (!file.ReadValue(keys[2], value)) {
        return 0;
    }
    value3 = zopdat::ParseInt(value);
    if (!file.ReadValue(keys[3], value)) {
        return 0;
    }
    // Every point needs a line of its own, so the count read cannot make the loop outrun the file.
    const int count = zopdat::ParseInt(value);
    for (int n = 1; n <= count; ++n) {
        const auto key = zopdat::FormatKey(keys[4], n);
        if (!key || !file.ReadValue(key->c_str(), value)) {
            return 0;
        }
        auto point = std::make_unique<MatParam4Point>();
        point->Read(file, value);
        Add(point.release());
    }
    return 1;
}
