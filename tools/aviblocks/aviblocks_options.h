// The command line of the aviblocks tool.
#pragma once

#include <string>
#include <vector>

#include "tools/aviblocks/aviblocks_riff.h"

namespace aviblocks {

struct Options {
    AviDescription desc;
    std::string output;
    bool help = false;
};

// Reads the arguments after the program name; false with a message when they are wrong.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

const char* Usage();

} // namespace aviblocks
