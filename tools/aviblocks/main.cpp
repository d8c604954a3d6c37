// aviblocks: writes a recording-system AVI file (two-field Motion-JPEG video with the private 'NOTE'
// and 'CSTS' blocks) for tests and for people trying the readers.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/aviblocks/aviblocks_options.h"

int main(int argc, char** argv) {
    aviblocks::Options options;
    std::string error;
    if (!aviblocks::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "aviblocks: %s\n%s", error.c_str(), aviblocks::Usage());
        return 2;
    }
    if (options.help) {
        std::fputs(aviblocks::Usage(), stdout);
        return 0;
    }
    aviblocks::AviLayout layout;
    if (!aviblocks::WriteAviFile(options.output, options.desc, &layout, &error)) {
        std::fprintf(stderr, "aviblocks: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %zu frames, %zu stream lists\n", options.output.c_str(), layout.videoSamples.size(),
                layout.streamLists.size());
    return 0;
}
