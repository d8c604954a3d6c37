// The matching parameters of one tracked point and their one-line text form.
#pragma once

#include <cstdint>
#include <string>

class JobFile;

class MatchingParam {
public:
    MatchingParam() = default;
    MatchingParam(const MatchingParam& other) = default;
    MatchingParam& operator=(const MatchingParam& other) = default;

    // Sets out to the record's comma-separated line of 13 fields.
    void Write(std::string& out) const;
    // Reads 13 fields from the front of text and leaves in text what follows them. Missing or malformed
    // fields become 0. The file only lends its token splitter.
    void Read(JobFile& file, std::string& text);

    // 0 none, 1 linear from the velocity, 2 linear with acceleration (shown only by name).
    std::int32_t prediction = 1;
    std::int32_t spare1 = 1;
    // Matcher code 0-6 of the matcher factory.
    std::int32_t method = 3;
    // Minimum score of a match.
    double threshold = 0.0;
    // 0: the template set is cut again around every found position.
    std::int32_t keepTemplate = 1;
    // Template size is 2 * radius + 1 pixels.
    std::int32_t templateRadiusX = 10;
    std::int32_t templateRadiusY = 10;
    // Search area size is 2 * (radius + margin) + 1 pixels.
    std::int32_t searchMarginX = 5;
    std::int32_t searchMarginY = 5;
    // 1: rotated copies of the template are matched too.
    std::int32_t rotate = 0;
    // 0-7: 90, 60, 45, 30, 20, 15, 10, 5 degrees per step.
    std::int32_t rotationStep = 0;
    // 0 fixed rectangle, 1 rectangle-extension type.
    std::int32_t templateType = 0;
    std::int32_t spare2 = 0;
};
