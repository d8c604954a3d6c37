// The process's arguments as the system handed them over, already split (argument 0 is the program).
// GetCommandLineA (system.h) is these arguments quoted and joined into one text; code that needs the
// arguments takes them from here instead of splitting that text again.
#pragma once

#include <string>
#include <vector>

// Quotes and blanks inside an argument are its own.
std::vector<std::string> GetCommandLineArgs();
// Sets the arguments (the program at start-up, tests); the command-line text follows them.
void SetCommandLineArgs(std::vector<std::string> arguments);
