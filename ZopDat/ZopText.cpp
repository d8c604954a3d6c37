#include "ZopDat/ZopText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

namespace zopdat {

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips white space and one sign; returns the position of what follows and whether the sign was '-'.
std::size_t SkipSpaceAndSign(const std::string& text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

// A value that from_chars found out of range: an overflow when its decimal magnitude (digits before the
// point, or minus the zeros after it, plus the exponent) is positive, otherwise an underflow.
double OutOfRangeValue(const char* p, const char* last) {
    std::int64_t magnitude = 0;
    while (p != last && *p == '0') {
        ++p;
    }
    for (; p != last && IsDigit(*p); ++p) {
        ++magnitude;
    }
    if (p != last && *p == '.') {
        ++p;
        if (magnitude == 0) {
            for (; p != last && *p == '0'; ++p) {
                --magnitude;
            }
        }
        while (p != last && IsDigit(*p)) {
            ++p;
        }
    }
    if (p != last && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativeExponent = p != last && *p == '-';
        if (p != last && (*p == '-' || *p == '+')) {
            ++p;
        }
        std::int64_t exponent = 0;
        for (; p != last && IsDigit(*p); ++p) {
            exponent = exponent < 1000000000 ? exponent * 10 + (*p - '0') : exponent;
        }
        magnitude += negativeExponent ? -exponent : exponent;
    }
    return magnitude > 0 ? HUGE_VAL : 0.0;
}

} // namespace

std::string FormatInt(std::int64_t value) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

std::string FormatFixed(double value, int decimals) {
    // The longest fixed form of a double is about 310 digits before the point; grow until it fits.
    std::string out(64, '\0');
    for (;;) {
        auto [end, ec] =
            std::to_chars(out.data(), out.data() + out.size(), value, std::chars_format::fixed, decimals);
        if (ec == std::errc()) {
            out.resize(static_cast<std::size_t>(end - out.data()));
            return out;
        }
        out.resize(out.size() * 2);
    }
}

std::int32_t ParseInt(const std::string& text) {
    bool negative = false;
    std::size_t i = SkipSpaceAndSign(text, negative);
    std::int64_t value = 0;
    const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (value <= limit) {
            value = value * 10 + (text[i] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

double ParseReal(const std::string& text) {
    bool negative = false;
    std::size_t i = SkipSpaceAndSign(text, negative);
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    if (first == last || *first == '-' || *first == '+') {
        return 0.0;
    }
    double value = 0.0;
    // "0x" starts a hexadecimal number as in strtod; with no hex digits after it, the "0" alone is read.
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X') && first[2] != '-' &&
        first[2] != '+') {
        auto [hexEnd, hexEc] = std::from_chars(first + 2, last, value, std::chars_format::hex);
        if (hexEc == std::errc()) {
            return negative ? -value : value;
        }
        if (hexEc == std::errc::result_out_of_range) {
            return negative ? -HUGE_VAL : HUGE_VAL;
        }
    }
    auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        value = OutOfRangeValue(first, last);
    } else if (ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

void SplitToken(std::string& text, const std::string& separator, std::string& token) {
    const std::size_t p = text.find(separator);
    if (p == std::string::npos || p == 0) {
        token = text;
        text.clear();
        return;
    }
    token = text.substr(0, p);
    if (p + 1 >= text.size()) {
        text.clear();
    } else {
        text.erase(0, p + 1);
    }
}

std::optional<std::string> FormatKey(const char* format, int n) {
    if (format == nullptr) {
        return std::nullopt;
    }
    int conversions = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            continue;
        }
        ++p;
        if (*p == '%') {
            continue;
        }
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') {
            ++p;
        }
        // Widths and precisions of up to three digits: a key never needs more, and a larger one would
        // only make a huge text.
        int digits = 0;
        while (IsDigit(*p)) {
            ++p;
            ++digits;
        }
        if (*p == '.') {
            ++p;
            int precision = 0;
            while (IsDigit(*p)) {
                ++p;
                ++precision;
            }
            digits = precision > digits ? precision : digits;
        }
        if (digits > 3) {
            return std::nullopt;
        }
        if (*p != 'd' && *p != 'i' && *p != 'u' && *p != 'x' && *p != 'X' && *p != 'o') {
            return std::nullopt;
        }
        ++conversions;
    }
    if (conversions != 1) {
        return std::nullopt;
    }
    const int length = std::snprintf(nullptr, 0, format, n);
    if (length < 0) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, n);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

} // namespace zopdat
