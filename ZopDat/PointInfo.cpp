#include "ZopDat/PointInfo.h"

#include "ZopDat/JobFile.h"
#include "ZopDat/ZopText.h"

std::string PointInfo::Text() const {
    return zopdat::FormatInt(number) + ',' + name + ',' + zopdat::FormatInt(attribute) + ',' +
           zopdat::FormatInt(flag);
}

void PointInfo::SetFromText(const std::string& text) {
    std::string rest = text;
    std::string token;
    JobFile::SplitToken(rest, ",", token);
    number = zopdat::ParseInt(token);
    JobFile::SplitToken(rest, ",", token);
    name = token;
    JobFile::SplitToken(rest, ",", token);
    attribute = zopdat::ParseInt(token);
    JobFile::SplitToken(rest, ",", token);
    flag = zopdat::ParseInt(token);
}

int PointInfo::Write(JobFile& file, int n, const char* keyFormat) {
    const auto key = zopdat::FormatKey(keyFormat, n);
    if (!key) {
        return -1;
    }
    return file.WriteValue(key->c_str(), Text()) ? 0 : -1;
}

int PointInfo::Read(JobFile& file, int n, const char* keyFormat) {
    const auto key = zopdat::FormatKey(keyFormat, n);
    if (!key) {
        return -1;
    }
    std::string value;
    if (!file.ReadValue(key->c_str(), value)) {
        return -1;
    }
    SetFromText(value);
    return 0;
}

int PointInfo::WriteKeyed(JobFile& file, int n, const char* keyFormat) {
    const auto key = zopdat::FormatKey(keyFormat, n);
    if (!key) {
        return -1;
    }
    return file.WriteKeyed(key->c_str(), Text().c_str(), file.KeyedContext()) ? 0 : -1;
}

int PointInfo::ReadKeyed(JobFile& file, int n, const char* keyFormat) {
    const auto key = zopdat::FormatKey(keyFormat, n);
    if (!key) {
        return -1;
    }
    std::string value;
    if (!file.ReadKeyed(key->c_str(), value, file.KeyedContext())) {
        return -1;
    }
    SetFromText(value);
    return 0;
}
