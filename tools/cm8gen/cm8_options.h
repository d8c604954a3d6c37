// Command line of cm8gen.
#pragma once

#include <string>
#include <vector>

#include "tools/cm8gen/cm8_writer.h"

namespace cm8 {

struct Command {
    enum Kind { Write, Help, Error } kind = Write;
    std::string out;
    Recording rec;
    std::string error;
};

Command ParseCommand(const std::vector<std::string>& args);
const char* Usage();

} // namespace cm8
