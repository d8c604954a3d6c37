#include "ZopDat/MatParam4Point.h"

#include "ZopDat/ZopText.h"

#include <memory>

void MatParam4Point::Write(std::string& out) const {
    out = zopdat::FormatInt(Count());
    std::string line;
    for (int i = 0; i < Count(); ++i) {
        Get(i)->Write(line);
        out += ',';
        out += line;
    }
}

void MatParam4Point::Read(JobFile& file, const std::string& text) {
    std::string rest = text;
    std::string token;
    zopdat::SplitToken(rest, ",", token);
    int count = zopdat::ParseInt(token);
    if (count > kMaxSets) {
        count = kMaxSets;
    }
    for (int i = 0; i < count; ++i) {
        auto record = std::make_unique<MatchingParam>();
        record->Read(file, rest);
        Add(record.release());
    }
}
