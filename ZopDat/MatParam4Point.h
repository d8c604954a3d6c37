// The matching parameter sets of one tracked point, tried in list order, with a one-line text form.
#pragma once

#include "ZopDat/MatchingParamList.h"

#include <cstdint>
#include <string>

class JobFile;

class MatParam4Point : public MatchingParamList {
public:
    // A text may announce at most this many sets; a larger count reads this many, so that a damaged
    // line cannot make the list grow without bound.
    static constexpr int kMaxSets = 1024;

    MatParam4Point() = default;
    MatParam4Point(const MatParam4Point& other) = default;
    MatParam4Point& operator=(const MatParam4Point& other) = default;
    ~MatParam4Point() override = default;

    // Sets out to the count followed by every record's line, all comma-separated ("0" when empty).
    void Write(std::string& out) const;
    // Appends the sets read from text; the list is not cleared first. Sets announced but not present
    // read as all zeros.
    void Read(JobFile& file, const std::string& text);

    // Carried by copies; nothing in the library reads it.
    std::int32_t tag = 0;
};
