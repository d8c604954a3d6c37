// The recording rate that an information text gives in its "Frame_Rate:" line: the 'txts' chunk of an
// AVI file and the ".txt" file beside an image sequence both carry one.
#pragma once

#include "platform/afx/core/afxcore.h"

// The most frames per second a recording can be given.
constexpr int kMaxFrameRateText = 100000;

// The rate after the first "Frame_Rate:" key: its decimal digits (blanks before them skipped), taken
// only when the key's rest holds a line feed that is not its first character. 0 when there is no
// such line or its number lies outside 1..kMaxFrameRateText (however many digits it has).
int ParseFrameRateText(const CString& text);
