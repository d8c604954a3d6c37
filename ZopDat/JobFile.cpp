#include "ZopDat/JobFile.h"

#include "ZopDat/MAFile.h"
#include "ZopDat/ZopText.h"

#include <algorithm>

namespace {

bool EndsWith(const std::string& text, const char* tail) {
    const std::string t(tail);
    return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

} // namespace

JobFile::~JobFile() = default;

bool JobFile::ReadKeyed(const char* /*key*/, std::string& /*value*/, void* /*context*/) {
    return true;
}

bool JobFile::WriteKeyed(const char* /*key*/, const char* /*value*/, void* /*context*/) {
    return true;
}

bool JobFile::KeyedHook(const char* /*key*/, const std::string& /*value*/, void* /*context*/) {
    return true;
}

bool JobFile::ReadLine(std::string& line) {
    CString read;
    if (!ReadString(read)) {
        return false;
    }
    line.assign(read.GetString(), static_cast<std::size_t>(read.GetLength()));
    // The framework already drops the line end; a stray CR of a CR LF file read in binary mode goes too.
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

int JobFile::ReadContinuation(int& state, std::string& part) {
    state = 0;
    std::string line;
    if (!ReadLine(line)) {
        return kEndOfFile;
    }
    if (line.empty()) {
        return kUnusable;
    }
    if (EndsWith(line, "\\\\")) {
        line.resize(line.size() - 2);
        state = 2;
    } else if (EndsWith(line, "\\")) {
        line.pop_back();
        state = 1;
    }
    part = line;
    return kRead;
}

int JobFile::ParseLine(int& type, int& state, std::string& key, std::string& value) {
    type = kOther;
    state = 0;
    std::string line;
    if (!ReadLine(line)) {
        return kEndOfFile;
    }
    if (line.empty()) {
        return kUnusable;
    }
    if (line.front() == '[') {
        if (line.size() < 2 || line.back() != ']') {
            return kUnusable;
        }
        type = kSection;
        key = line.substr(1, line.size() - 2);
        return kRead;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return kUnusable;
    }
    type = kValue;
    key = line.substr(0, equals);
    if (line.back() != '\\') {
        value = line.substr(equals + 1);
        return kRead;
    }
    line.pop_back();
    value = line.substr(equals + 1);
    std::string part;
    do {
        const int result = ReadContinuation(state, part);
        if (result != kRead) {
            return result;
        }
        value += part;
    } while (state != 2);
    return kRead;
}

bool JobFile::FindSection(const char* name) {
    const std::string wanted = name != nullptr ? name : "";
    int type = 0, state = 0;
    std::string key, value;
    while (ParseLine(type, state, key, value) == kRead) {
        if (type == kSection && key == wanted) {
            return true;
        }
    }
    return false;
}

bool JobFile::ReadValue(const char* key, std::string& value) {
    int type = 0, state = 0;
    std::string readKey, readValue;
    if (ParseLine(type, state, readKey, readValue) != kRead || type != kValue ||
        readKey != (key != nullptr ? key : "")) {
        return false;
    }
    value = readValue;
    return true;
}

bool JobFile::WriteSection(const char* name) {
    return WriteLine("[" + std::string(name != nullptr ? name : "") + "]");
}

bool JobFile::WriteLine(std::string text) {
    // A line end or a zero byte inside the text would break the file's line structure.
    if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        return false;
    }
    text += '\n';
    try {
        WriteString(text.c_str());
        // The framework buffers; flushing here reports a failure at the line that met it.
        Flush();
    } catch (CFileException* e) {
        e->Delete();
        return false;
    }
    return true;
}

bool JobFile::WriteValue(const char* key, std::string value) {
    const std::string name = key != nullptr ? key : "";
    // Such a key would read back as another key or as a section.
    if (name.find('=') != std::string::npos || (!name.empty() && name.front() == '[')) {
        return false;
    }
    const std::string line = name + "=" + value;
    // A line that ends in a backslash would read as the start of a continued value, so it is written in
    // the continued form as well.
    if (line.size() < kLongLine && line.back() != '\\') {
        return WriteLine(line);
    }
    // The reader drops one backslash from the first line, takes a following line ending in two as the
    // last piece and one ending in one as a middle piece. So a middle piece must not itself end in a
    // backslash: its end moves back before such a run (or past it, when the run fills a whole piece).
    // The first piece holds the whole key and its "=", so that it reads as a value line.
    std::size_t at = std::max(std::min(kPieceLength, line.size()), name.size() + 1);
    if (!WriteLine(line.substr(0, at) + "\\")) {
        return false;
    }
    for (;;) {
        std::size_t end = std::min(at + kPieceLength, line.size());
        if (end < line.size()) {
            while (end > at && line[end - 1] == '\\') {
                --end;
            }
            if (end == at) {
                end = line.find_first_not_of('\\', at + kPieceLength);
                end = end == std::string::npos ? line.size() : end + 1;
            }
        }
        const bool last = end == line.size();
        if (!WriteLine(line.substr(at, end - at) + (last ? "\\\\" : "\\"))) {
            return false;
        }
        if (last) {
            return true;
        }
        at = end;
    }
}

bool JobFile::WriteValue(const char* key, const char* value) {
    return WriteValue(key, std::string(value != nullptr ? value : ""));
}

void JobFile::SplitToken(std::string& text, std::string separator, std::string& token) {
    zopdat::SplitToken(text, separator, token);
}

bool JobFile::Exists(std::string name) {
    MAFile file;
    return file.Exists(name);
}
