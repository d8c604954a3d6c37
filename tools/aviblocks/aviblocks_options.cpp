#include "tools/aviblocks/aviblocks_options.h"

#include <charconv>

#include "tools/aviblocks/aviblocks_blocks.h"

namespace aviblocks {

namespace {

bool ToNumber(const std::string& text, long low, long high, long& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && value >= low && value <= high;
}

} // namespace

const char* Usage() {
    return "usage: aviblocks [options] output.avi\n"
           "  --frames N        video frames (default 3)\n"
           "  --size WxH        picture size, even height (default 640x480)\n"
           "  --rate N          frames per second (default 30)\n"
           "  --quality N       JPEG quality 1-100 (default 75)\n"
           "  --form split      one image per frame, fields split by restart marker 0 (default)\n"
           "  --form images     two JFIF images per frame, field numbers 1 and 2\n"
           "  --csts-records N  setting records in the 'CSTS' block (default 2)\n"
           "  --no-note-stream  leave out the 'NOTE' stream\n"
           "  --no-csts-stream  leave out the 'CSTS' stream\n"
           "  --no-info-chunks  leave the 'CSTS' and 'NOTE' chunks out of the stream header lists\n"
           "  --no-index        leave out the idx1 index\n";
}

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        long n = 0;
        if (a == "-h" || a == "--help") {
            options.help = true;
        } else if (a == "--no-note-stream") {
            options.desc.noteStream = false;
        } else if (a == "--no-csts-stream") {
            options.desc.cstsStream = false;
        } else if (a == "--no-info-chunks") {
            options.desc.infoChunks = false;
        } else if (a == "--no-index") {
            options.desc.index = false;
        } else if (a == "--frames" && hasValue && ToNumber(args[i + 1], 0, 100000, n)) {
            options.desc.frames = static_cast<int>(n);
            ++i;
        } else if (a == "--rate" && hasValue && ToNumber(args[i + 1], 1, 1000000, n)) {
            options.desc.rate = static_cast<std::uint32_t>(n);
            ++i;
        } else if (a == "--quality" && hasValue && ToNumber(args[i + 1], 1, 100, n)) {
            options.desc.quality = static_cast<int>(n);
            ++i;
        } else if (a == "--csts-records" && hasValue && ToNumber(args[i + 1], 0, 10000, n)) {
            options.desc.cstsBlock = SampleCstBlock(static_cast<int>(n));
            ++i;
        } else if (a == "--form" && hasValue && (args[i + 1] == "split" || args[i + 1] == "images")) {
            options.desc.form = args[i + 1] == "split" ? FieldForm::RestartSplit : FieldForm::TwoImages;
            ++i;
        } else if (a == "--size" && hasValue) {
            const std::string& v = args[++i];
            const std::size_t x = v.find('x');
            long w = 0, h = 0;
            if (x == std::string::npos || !ToNumber(v.substr(0, x), 16, 8192, w) ||
                !ToNumber(v.substr(x + 1), 16, 8192, h) || h % 2 != 0) {
                error = "bad size: " + v;
                return false;
            }
            options.desc.width = static_cast<int>(w);
            options.desc.height = static_cast<int>(h);
        } else if (!a.empty() && a[0] != '-' && options.output.empty()) {
            options.output = a;
        } else {
            error = "bad argument: " + a;
            return false;
        }
    }
    if (!options.help && options.output.empty()) {
        error = "no output file named";
        return false;
    }
    return true;
}

} // namespace aviblocks
