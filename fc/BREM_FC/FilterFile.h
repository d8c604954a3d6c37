// The colour-filter text file ("# kvx208"): the demosaic kernels folded with the YC matrix and the
// white-balance gains, one 3 x 3 block per Bayer phase and output (Y, U, V).
#pragma once

#include <string>

class BremIc;

// The file's text, lines ending CR LF, numbers in the C locale's "%f".
std::string FilterFileText(const BremIc& pipeline);
// Writes the text; false when the file cannot be written.
bool WriteFilterFile(const char* path, const BremIc& pipeline);
