// The parameters of a tracking job: the matching parameters of every point and three job-wide values,
// with their job-file form under keys the caller supplies.
#pragma once

#include "ZopDat/MatParam4PointList.h"

#include <cstdint>

class JobFile;

class TrackingJobPar : public MatParam4PointList {
public:
    TrackingJobPar() = default;
    TrackingJobPar(const TrackingJobPar& other) = default;
    TrackingJobPar& operator=(const TrackingJobPar& other) = default;
    ~TrackingJobPar() override = default;

    // keys[0..2] name the three values, keys[3] the point count, keys[4] is a format with one integer
    // conversion giving the key of point n (from 1). 1 on success, 0 when a value could not be written.
    int Write(JobFile& file, const char* const keys[5]) const;
    // Reads the values in the same order and appends the points read to the list; 1, or 0 at the first
    // value that is missing (what was read before stays).
    int Read(JobFile& file, const char* const keys[5]);

    // Job-wide values that the program only carries.
    std::int32_t value1 = 0;
    std::int32_t value2 = 0;
    std::int32_t value3 = 0;
};
