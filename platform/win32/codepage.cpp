#include "platform/win32/codepage.h"

#include <cerrno>
#include <iconv.h>

namespace {

// Bytes of the UTF-8 sequence that starts with lead (1 for a byte that cannot start one).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

} // namespace

bool Utf8ToCp932(std::string_view utf8, std::string& out) {
    out.clear();
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        out.assign(utf8.size(), '?');
        return utf8.empty();
    }
    bool exact = true;
    char buffer[256];
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    while (inLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: one character the code page lacks, or a broken or cut sequence.
        exact = false;
        out.push_back('?');
        // The lead byte and the continuation bytes that follow it, so that a valid byte after a broken
        // sequence is kept.
        const std::size_t length = SequenceLength(static_cast<unsigned char>(*in));
        std::size_t skip = 1;
        while (skip < length && skip < inLeft && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80)
            ++skip;
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return exact;
}
