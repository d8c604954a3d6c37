#include "ZopDat/MatParam4Point.h"

#include "ZopDat/ZopText.h"

#include <memory>
#include <vector>

void MatParam4Point::Write(std::string& out) const {
    out = zopdat::FormatInt(Count());
    std::string line;
    for (int i = 0; i < Count(); ++i) {
        Get(i)->Write(line);
        out += ',';
        out += line;
    }
}

namespace {

// Fields of one set in the text form.
constexpr std::size_t kFieldsPerSet = 13;

// Splits up to limit tokens off text from pos by the rules of zopdat::SplitToken (a comma at the very
// front makes the whole rest one token and ends the text), moving pos on.
void SplitTokens(const std::string& text, std::size_t& pos, std::size_t limit,
                 std::vector<std::string>& tokens) {
    while (pos < text.size() && limit-- > 0) {
        const std::size_t comma = text.find(',', pos);
        if (comma == std::string::npos || comma == pos) {
            tokens.push_back(text.substr(pos));
            pos = text.size();
            return;
        }
        tokens.push_back(text.substr(pos, comma - pos));
        pos = comma + 1;
    }
}

} // namespace

void MatParam4Point::Read(JobFile& file, const std::string& text) {
    // The text is split once, and each set reads its own fields only: splitting the whole rest of a
    // long line again for every field made a damaged line of some hundred kilobytes take seconds.
    std::size_t pos = 0;
    std::vector<std::string> tokens;
    SplitTokens(text, pos, 1, tokens);
    int count = zopdat::ParseInt(tokens.empty() ? std::string() : tokens[0]);
    if (count > kMaxSets) {
        count = kMaxSets;
    }
    for (int i = 0; i < count; ++i) {
        tokens.clear();
        SplitTokens(text, pos, kFieldsPerSet, tokens);
        std::string fields;
        for (const std::string& token : tokens) {
            if (!fields.empty()) {
                fields += ',';
            }
            fields += token;
        }
        auto record = std::make_unique<MatchingParam>();
        record->Read(file, fields);
        Add(record.release());
    }
}
