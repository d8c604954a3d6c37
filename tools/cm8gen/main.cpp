// cm8gen: writes synthetic raw camera recordings for people and tests.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/cm8gen/cm8_options.h"
#include "tools/cm8gen/cm8_writer.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const cm8::Command cmd = cm8::ParseCommand(args);
    if (cmd.kind == cm8::Command::Help) {
        std::fputs(cm8::Usage(), stdout);
        return 0;
    }
    if (cmd.kind == cm8::Command::Error) {
        std::fprintf(stderr, "cm8gen: %s\n%s", cmd.error.c_str(), cm8::Usage());
        return 2;
    }
    std::string error;
    if (!cm8::WriteRecording(cmd.out, cmd.rec, error)) {
        std::fprintf(stderr, "cm8gen: %s\n", error.c_str());
        return 1;
    }
    const std::uint64_t length =
        cmd.rec.truncate ? std::min(*cmd.rec.truncate, cm8::FullLength(cmd.rec)) : cm8::FullLength(cmd.rec);
    std::printf("cm8gen: wrote %s: %u frames of %u x %u from %d, %llu bytes\n", cmd.out.c_str(),
                cmd.rec.frames, cmd.rec.width, cmd.rec.height, cmd.rec.begin,
                static_cast<unsigned long long>(length));
    return 0;
}
