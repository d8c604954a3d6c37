// Text in the Japanese Windows code page (932, Shift_JIS with the vendor's additions), for the files
// that the recording system's own tools read.
#pragma once

#include <string>
#include <string_view>

// Converts UTF-8 text to code page 932 into out. A character that the code page lacks, or a byte that
// is not valid UTF-8, becomes '?'; the result is false when that happened, true when every character
// converted.
bool Utf8ToCp932(std::string_view utf8, std::string& out);
