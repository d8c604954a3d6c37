// Number texts of the tracking-data files. The files are read and written on machines whatever their
// locale, so every conversion here works in the C numeric form (a '.' before the decimals, no grouping)
// without touching the process locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zopdat {

// "%d"/"%ld" of a 32-bit value.
std::string FormatInt(std::int64_t value);
// "%.<decimals>f" of a real, as many characters as it needs.
std::string FormatFixed(double value, int decimals);

// The C decimal conversions: leading white space, an optional sign, digits; conversion stops at the first
// other character and no digits give 0. Values beyond the 32-bit range are clamped as a 32-bit strtol does.
std::int32_t ParseInt(const std::string& text);
// The C floating-point conversion in the C locale: white space, sign, digits with an optional '.' and
// exponent, "inf" and "nan"; nothing readable gives 0.0, a value beyond the range gives +-HUGE_VAL.
double ParseReal(const std::string& text);

// Splits the first token off text at the first occurrence of separator. Not found, or found at the very
// front: the whole text is the token and text becomes empty. Otherwise the token is what precedes the
// separator and text keeps what follows its first character.
void SplitToken(std::string& text, const std::string& separator, std::string& token);

// Formats a key from a caller's printf-style format holding exactly one integer conversion
// (flags, width and precision allowed, no length modifier, "%%" allowed). Any other format is refused,
// since formatting it with an int would read arguments that are not there.
std::optional<std::string> FormatKey(const char* format, int n);

} // namespace zopdat
