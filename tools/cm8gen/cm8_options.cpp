#include "tools/cm8gen/cm8_options.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>

namespace cm8 {
namespace {

// Decimal, or hexadecimal after "0x"; a leading '-' for signed fields.
bool ParseInteger(const std::string& text, std::int64_t lo, std::int64_t hi, std::int64_t& value) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    bool negative = false;
    if (first != last && *first == '-') {
        negative = true;
        ++first;
    }
    int base = 10;
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
        base = 16;
        first += 2;
    }
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(first, last, magnitude, base);
    if (ec != std::errc() || end != last || first == last) {
        return false;
    }
    if (magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return false;
    }
    value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    return value >= lo && value <= hi;
}

bool ParseHexBytes(const std::string& hex, std::array<std::uint8_t, 4>& bytes) {
    if (hex.size() != 8) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        unsigned v = 0;
        const auto [end, ec] = std::from_chars(hex.data() + 2 * i, hex.data() + 2 * i + 2, v, 16);
        if (ec != std::errc() || end != hex.data() + 2 * i + 2) {
            return false;
        }
        bytes[i] = static_cast<std::uint8_t>(v);
    }
    return true;
}

bool ParseFrameList(const std::string& text, std::vector<std::uint32_t>& frames) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::int64_t v = 0;
        if (!ParseInteger(text.substr(start, comma - start), 0, UINT32_MAX, v)) {
            return false;
        }
        frames.push_back(static_cast<std::uint32_t>(v));
        start = comma + 1;
    }
    return !frames.empty();
}

template <class T> std::function<bool(const std::string&, Recording&)> Number(T Recording::*field) {
    return [field](const std::string& text, Recording& rec) {
        std::int64_t v = 0;
        if (!ParseInteger(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), v)) {
            return false;
        }
        rec.*field = static_cast<T>(v);
        return true;
    };
}

template <class T>
std::function<bool(const std::string&, Recording&)> Optional(std::optional<T> Recording::*field) {
    return [field](const std::string& text, Recording& rec) {
        std::int64_t v = 0;
        if (!ParseInteger(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), v)) {
            return false;
        }
        rec.*field = static_cast<T>(v);
        return true;
    };
}

using Setter = std::function<bool(const std::string&, Recording&)>;

const std::map<std::string, Setter>& ValueOptions() {
    static const std::map<std::string, Setter> options = {
        {"--width", Number(&Recording::width)},
        {"--height", Number(&Recording::height)},
        {"--disp-width", Optional(&Recording::dispWidth)},
        {"--disp-height", Optional(&Recording::dispHeight)},
        {"--frames", Number(&Recording::frames)},
        {"--num-frames", Optional(&Recording::numFrames)},
        {"--image-length", Optional(&Recording::imageLength)},
        {"--begin", Number(&Recording::begin)},
        {"--rate", Number(&Recording::rate)},
        {"--shutter", Number(&Recording::shutter)},
        {"--camera-ver", Number(&Recording::cameraVer)},
        {"--camera-sn", Number(&Recording::cameraSN)},
        {"--rec-gain", Number(&Recording::recGain)},
        {"--memory-size", Number(&Recording::memorySize)},
        {"--scene", Number(&Recording::scene)},
        {"--rec-wb", Number(&Recording::recWhiteBalance)},
        {"--rec-gamma", Number(&Recording::recGamma)},
        {"--rec-enhance", Number(&Recording::recEnhance)},
        {"--rec-chroma", Number(&Recording::recChroma)},
        {"--data-offset", Number(&Recording::dataOffset)},
        {"--file-ver", Number(&Recording::fileVer)},
        {"--video-type", Number(&Recording::videoType)},
        {"--segment", Number(&Recording::segment)},
        {"--camera-id", Number(&Recording::cameraId)},
        {"--zoom", Number(&Recording::zoom)},
        {"--reserved08", Number(&Recording::reserved08)},
        {"--trigger-time",
         [](const std::string& text, Recording& rec) {
             rec.triggerTime = text;
             return text.size() <= 16;
         }},
        {"--camera-type",
         [](const std::string& text, Recording& rec) {
             if (text.rfind("hex:", 0) == 0) {
                 return ParseHexBytes(text.substr(4), rec.cameraType);
             }
             if (text.size() > 4) {
                 return false;
             }
             rec.cameraType = {};
             std::copy(text.begin(), text.end(), rec.cameraType.begin());
             return true;
         }},
        {"--magic",
         [](const std::string& text, Recording& rec) {
             if (text.size() != 4) {
                 return false;
             }
             std::copy(text.begin(), text.end(), rec.magic.begin());
             return true;
         }},
        {"--only-frames",
         [](const std::string& text, Recording& rec) { return ParseFrameList(text, rec.onlyFrames); }},
        {"--truncate",
         [](const std::string& text, Recording& rec) {
             std::int64_t v = 0;
             if (!ParseInteger(text, 0, std::numeric_limits<std::int64_t>::max(), v)) {
                 return false;
             }
             rec.truncate = static_cast<std::uint64_t>(v);
             return true;
         }},
    };
    return options;
}

} // namespace

Command ParseCommand(const std::vector<std::string>& args) {
    Command cmd;
    bool sparse = false;
    const auto fail = [&cmd](const std::string& message) {
        cmd.kind = Command::Error;
        cmd.error = message;
        return cmd;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            cmd.kind = Command::Help;
            return cmd;
        }
        if (arg == "--headerless") {
            cmd.rec.headerless = true;
            continue;
        }
        if (arg == "--sparse") {
            sparse = true;
            continue;
        }
        const bool isOut = arg == "--out" || arg == "-o";
        const auto option = ValueOptions().find(arg);
        if (!isOut && option == ValueOptions().end()) {
            return fail("unknown option " + arg);
        }
        if (i + 1 >= args.size()) {
            return fail("missing value after " + arg);
        }
        const std::string& value = args[++i];
        if (isOut) {
            cmd.out = value;
        } else if (!option->second(value, cmd.rec)) {
            return fail("invalid value for " + arg + ": " + value);
        }
    }
    if (cmd.out.empty()) {
        return fail("no output file (--out PATH)");
    }
    if (sparse && cmd.rec.onlyFrames.empty() && cmd.rec.frames > 0) {
        cmd.rec.onlyFrames = {0, cmd.rec.frames - 1};
    }
    return cmd;
}

const char* Usage() {
    return R"(Usage: cm8gen --out FILE [options]
Writes a synthetic raw camera recording: a 512-byte big-endian header ("CIMG") and 8-bit Bayer frames
showing colour bars, gradients, a bar that moves 4 samples per frame and, in the top rows, the frame
number as 40 black or white blocks (32 bits and a check byte; pictures at least 40 samples wide).

Numbers are decimal or 0x-hexadecimal and must fit their field.
Picture and frames:
  --width N, --height N        FrameWidth, FrameHeight (default 512 x 480)
  --disp-width N, --disp-height N
                               DispWidth, DispHeight (default the frame size)
  --frames N                   frames laid out in the file (default 10)
  --begin N                    RecordedBegin, the first frame number (may be negative; default 0)
  --camera-ver N               CameraVer (default 200; below 120 mosaic rows start with green)
Header fields:
  --rate N, --shutter N        FrameRate (default 1000), ShutterTime (default 2000)
  --camera-type ABCD | hex:41424344
                               CameraType, 4 bytes stored as given (default "CM8G")
  --camera-sn N, --camera-id N, --segment N, --zoom N, --video-type N, --scene N
  --memory-size N (signed 16-bit), --rec-gain N (signed 8-bit)
  --rec-wb N, --rec-gamma N, --rec-enhance N, --rec-chroma N
                               recording settings (defaults 0, 0, 1, 5)
  --trigger-time TEXT          up to 16 characters; 16 leave no terminating NUL (default 261208194500123)
  --data-offset N              DataOffset (default 512); the gap before it is left as a hole
  --file-ver N, --reserved08 N
  --num-frames N               NumFrames if it should differ from --frames
  --image-length N             ImageLength (default the bytes of all frames)
  --magic ABCD                 the magic (default CIMG)
File shape:
  --headerless                 frames only, no header (readers take 512 x 480 frames)
  --sparse                     write only the first and last frame, leave the rest as holes
  --only-frames I,J,...        write only these frame indexes (0-based), leave the rest as holes
  --truncate BYTES             cut the file to BYTES bytes
  --help                       this text
)";
}

} // namespace cm8
