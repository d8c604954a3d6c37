// A point description with its one-line job-file value "number,name,attribute,flag".
#pragma once

#include "ZopDat/ShapeAtr.h"

#include <string>

class JobFile;

class PointInfo : public ShapeAtr {
public:
    PointInfo() = default;
    PointInfo(const PointInfo& other) = default;
    PointInfo& operator=(const PointInfo& other) = default;
    ~PointInfo() override = default;

    // The value line of the point.
    std::string Text() const;
    // Sets the four fields from a value line; missing fields give 0 or the empty name.
    void SetFromText(const std::string& text);

    // Writes the value under the key keyFormat makes of n: 0, or -1 when the file refuses it or the
    // format is not one with a single integer conversion.
    int Write(JobFile& file, int n, const char* keyFormat);
    // Reads the next value, which must carry that key: 0, or -1 (the fields then keep their values).
    int Read(JobFile& file, int n, const char* keyFormat);
    // The same through the file's keyed hooks.
    int WriteKeyed(JobFile& file, int n, const char* keyFormat);
    int ReadKeyed(JobFile& file, int n, const char* keyFormat);
};
