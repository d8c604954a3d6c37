#include "ZopDat/MATime.h"

#include "ZopDat/ZopText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

using zopdat::FormatInt;

constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();

// "%02d" of a value that is not negative.
std::string Pad2(std::int64_t value) {
    std::string text = FormatInt(value);
    return text.size() < 2 ? "0" + text : text;
}

// "%03d" / "%04d" likewise.
std::string PadTo(std::int64_t value, std::size_t width) {
    std::string text = FormatInt(value);
    return text.size() < width ? std::string(width - text.size(), '0') + text : text;
}

bool FitsInt(std::int64_t value) {
    return value >= kIntMin && value <= kIntMax;
}

// Texts of the time form use only these characters.
bool HasOnlyTimeCharacters(const std::string& text) {
    return text.find_first_not_of(" 0123456789:+-./") == std::string::npos;
}

// Whole seconds of a parsed text; fits 64 bits for any 32-bit fields.
std::int64_t WholeSeconds(int hours, int minutes, int seconds) {
    return std::int64_t{hours} * 3600 + std::int64_t{minutes} * 60 + seconds;
}

} // namespace

void MATime::SplitToken(std::string& text, std::string separator, std::string& token) {
    zopdat::SplitToken(text, separator, token);
}

bool MATime::Parse(std::string text, int& sign, int& hours, int& minutes, int& seconds, long& numerator,
                   long& denominator) {
    if (text.empty() || !HasOnlyTimeCharacters(text)) {
        return false;
    }
    sign = 1;
    const std::size_t minus = text.find('-');
    if (minus != std::string::npos) {
        if (minus != 0) {
            return false;
        }
        sign = -1;
        text[0] = ' ';
    }
    std::string token;
    auto nextPiece = [&](const char* separator, int& field) {
        SplitToken(text, separator, token);
        if (token.empty()) {
            return false;
        }
        field = zopdat::ParseInt(token);
        return true;
    };
    int numeratorValue = 0;
    if (!nextPiece(":", hours) || !nextPiece(":", minutes) || !nextPiece(".", seconds) ||
        !nextPiece("/", numeratorValue)) {
        return false;
    }
    numerator = numeratorValue;
    if (text.empty()) {
        return false;
    }
    denominator = zopdat::ParseInt(text);
    return denominator != 0;
}

double MATime::TextToMs(std::string text) {
    int sign = 0, hours = 0, minutes = 0, seconds = 0;
    long numerator = 0, denominator = 0;
    if (text.empty() || !Parse(text, sign, hours, minutes, seconds, numerator, denominator)) {
        return 0.0;
    }
    const double whole = static_cast<double>(WholeSeconds(hours, minutes, seconds) * 1000);
    return sign * (whole + static_cast<double>(numerator) * 1000.0 / static_cast<double>(denominator));
}

bool MATime::TextToFrameCount(std::string text, int& frames, int& rate) {
    int sign = 0, hours = 0, minutes = 0, seconds = 0;
    long numerator = 0, denominator = 0;
    if (text.empty() || !Parse(text, sign, hours, minutes, seconds, numerator, denominator)) {
        return false;
    }
    std::int64_t scaled = 0;
    std::int64_t total = 0;
    if (__builtin_mul_overflow(WholeSeconds(hours, minutes, seconds), std::int64_t{denominator}, &scaled) ||
        __builtin_add_overflow(scaled, std::int64_t{numerator}, &total)) {
        return false;
    }
    total *= sign;
    if (!FitsInt(total)) {
        return false;
    }
    rate = static_cast<int>(denominator);
    frames = static_cast<int>(total);
    return true;
}

std::string MATime::FramesToText(int frames, int rate) {
    if (rate < 1) {
        return std::string();
    }
    const std::int64_t a = std::llabs(std::int64_t{frames});
    const std::int64_t s = a / rate;
    const std::int64_t r = a - s * rate;
    return std::string(frames < 0 ? "-" : "+") + Pad2(s / 3600) + ':' + Pad2((s / 60) % 60) + ':' +
           Pad2(s % 60) + '.' + FormatInt(r) + '/' + FormatInt(rate);
}

std::string MATime::FramesToSeconds(int frames, int rate) {
    if (rate < 1) {
        return std::string();
    }
    const auto limit = static_cast<std::int64_t>(rate * 999.9999);
    std::int64_t a = std::llabs(std::int64_t{frames});
    if (a > limit) {
        a = limit;
    }
    const std::int64_t whole = a / rate;
    const std::int64_t fraction = ((a - rate * whole) * 10000) / rate;
    return std::string(frames < 0 ? "-" : "+") + PadTo(whole, 3) + ':' + PadTo(fraction, 4);
}

std::string MATime::MsToText(double ms, int rate) {
    // Hours must fit the int of the text form: anything from about 7.7e15 ms up is refused.
    if (rate < 1 || !std::isfinite(ms) || std::fabs(ms) >= 7.0e15) {
        return std::string();
    }
    const auto n = static_cast<std::int64_t>(ms);
    const int sign = ms >= 0.0 ? 1 : -1;
    const std::int64_t s = std::llabs(n) / 1000;
    const auto f =
        static_cast<std::int64_t>(rate * (sign * ms - static_cast<double>(s * 1000)) * 0.001 + 0.5);
    return std::string(sign < 0 ? "-" : "+") + Pad2(s / 3600) + ':' + Pad2((s / 60) % 60) + ':' +
           Pad2(s % 60) + '.' + FormatInt(f) + '/' + FormatInt(rate);
}

int MATime::TextToFrames(const char* text, int rate) {
    int frames = 0;
    int parsedRate = 0;
    if (!TextToFrameCount(MsToText(TextToMs(text != nullptr ? text : ""), rate), frames, parsedRate)) {
        return 0;
    }
    return frames;
}

std::string MATime::Sum(std::string a, std::string b, int rate) {
    return MsToText(TextToMs(a) + TextToMs(b), rate);
}

bool MATime::Difference(std::string a, std::string b, std::string& out) {
    int framesB = 0, rateB = 0;
    if (!TextToFrameCount(b, framesB, rateB)) {
        return false;
    }
    if (framesB == 0) {
        out = a;
        return true;
    }
    int framesA = 0, rateA = 0;
    if (!TextToFrameCount(a, framesA, rateA) || rateA != rateB) {
        return false;
    }
    out = FormatDifference(framesA, framesB, rateB);
    return true;
}

std::string MATime::FormatDifference(int framesA, int framesB, int rate) {
    if (rate < 1) {
        return std::string();
    }
    const std::int64_t d = std::int64_t{framesA} - framesB;
    const std::int64_t m = d < 0 ? -d : d;
    const std::int64_t s = m / rate;
    return std::string(d < 0 ? "-" : "") + Pad2(s / 3600) + ':' + Pad2((s % 3600) / 60) + ':' +
           Pad2((s % 3600) % 60) + '.' + FormatInt(m - rate * s) + '/' + FormatInt(rate);
}
