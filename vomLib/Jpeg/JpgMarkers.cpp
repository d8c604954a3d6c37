// Marker-level helpers of the decoder: the comment-marker processor and the search for the second field
// of a two-field Motion-JPEG frame. Every search stays within the caller's bytes.
#include <cctype>
#include <cstdint>
#include <cstring>

#include "vomLib/Jpeg/JpgInternal.h"

#include <jerror.h>

namespace jpglib32 {
namespace {

constexpr BYTE kStartOfImage = 0xD8;

// One byte through the source manager; a source that cannot refill ends the call.
int jpeg_getc(j_decompress_ptr cinfo) {
    jpeg_source_mgr* src = cinfo->src;
    if (src->bytes_in_buffer == 0 && !(*src->fill_input_buffer)(cinfo))
        ERREXIT(cinfo, JERR_CANT_SUSPEND);
    src->bytes_in_buffer--;
    return GETJOCTET(*src->next_input_byte++);
}

// Collects printed comment text and hands it out in pieces; nothing here needs cleaning up if the call
// jumps out.
struct TextSink {
    char text[256];
    std::size_t used = 0;
    void put(const char* s) {
        for (; *s != '\0'; ++s) {
            if (used + 1 >= sizeof text)
                flush();
            text[used++] = *s;
        }
    }
    void flush() {
        text[used] = '\0';
        std::fputs(text, stderr);
        used = 0;
    }
};

std::uint16_t read_be16(const BYTE* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

// Offset just past the end-of-image marker of the stream that starts at `start`, or 0 when the
// markers cannot be followed to one within `length`.
std::size_t end_of_image(const BYTE* data, std::size_t length, std::size_t start) {
    std::size_t pos = start + 2; // past the start-of-image marker
    while (pos + 1 < length) {
        if (data[pos] != 0xFF)
            return 0;
        const BYTE marker = data[pos + 1];
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        if (marker == JPEG_EOI)
            return pos + 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // markers without a length
            pos += 2;
            continue;
        }
        if (pos + 3 >= length)
            return 0;
        const std::size_t segment = read_be16(data + pos + 2);
        if (segment < 2)
            return 0;
        pos += 2 + segment;
        if (marker != 0xDA) // not a start of scan
            continue;
        // Entropy-coded data: runs to the next marker that is neither a stuffed zero nor a restart.
        while (pos + 1 < length) {
            const void* found = std::memchr(data + pos, 0xFF, length - 1 - pos);
            if (found == nullptr)
                return 0;
            pos = static_cast<std::size_t>(static_cast<const BYTE*>(found) - data);
            if (data[pos + 1] != 0x00 && !(data[pos + 1] >= 0xD0 && data[pos + 1] <= 0xD7))
                break;
            ++pos;
        }
    }
    return 0;
}

} // namespace

boolean print_text_marker(j_decompress_ptr cinfo) {
    const bool traceit = cinfo->err->trace_level >= 1;
    long length = jpeg_getc(cinfo) << 8;
    length += jpeg_getc(cinfo);
    length -= 2; // the length counts itself
    TextSink sink;
    if (traceit) {
        char head[64];
        std::snprintf(head, sizeof head, "Comment, length %ld:\n", length);
        sink.put(head);
    }
    int lastch = 0;
    while (--length >= 0) {
        const int ch = jpeg_getc(cinfo);
        if (!traceit)
            continue;
        // CR, LF and CR LF each end one line; a backslash doubles; others show in octal.
        if (ch == '\r') {
            sink.put("\n");
        } else if (ch == '\n') {
            if (lastch != '\r')
                sink.put("\n");
        } else if (ch == '\\') {
            sink.put("\\\\");
        } else if (std::isprint(ch)) {
            const char one[2] = {static_cast<char>(ch), '\0'};
            sink.put(one);
        } else {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", ch);
            sink.put(octal);
        }
        lastch = ch;
    }
    if (traceit) {
        sink.put("\n");
        sink.flush();
    }
    return TRUE;
}

FieldLayout jpg_find_fields(const BYTE* data, std::size_t length) {
    FieldLayout layout;
    // SOI, then an APP0 "JFIF" segment of length 14 or 16 whose identifier's last byte marks the field.
    if (data == nullptr || length < 12)
        return layout;
    if (data[0] != 0xFF || data[1] != kStartOfImage || data[2] != 0xFF || data[3] != JPEG_APP0)
        return layout;
    const std::uint16_t segment = read_be16(data + 4);
    if (segment != 14 && segment != 16)
        return layout;
    if (std::memcmp(data + 6, "JFIF", 4) != 0)
        return layout;
    const BYTE polarity = data[10];
    if (polarity != 1 && polarity != 2)
        return layout;
    const std::size_t end = end_of_image(data, length, 0);
    if (end == 0)
        return layout;
    for (std::size_t pos = end; pos + 1 < length; ++pos) {
        if (data[pos] == 0xFF && data[pos + 1] == kStartOfImage) {
            layout.fields = 2;
            layout.firstParity = (polarity >> 1) & 1;
            layout.secondStart = pos;
            return layout;
        }
    }
    return layout;
}

} // namespace jpglib32
