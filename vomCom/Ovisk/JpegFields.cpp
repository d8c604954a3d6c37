#include "vomCom/Ovisk/JpegFields.h"

namespace {

constexpr BYTE kSoi = 0xD8;
constexpr BYTE kEoi = 0xD9;
constexpr BYTE kRst0 = 0xD0;
constexpr BYTE kSof0 = 0xC0;
constexpr BYTE kDht = 0xC4;
constexpr BYTE kDqt = 0xDB;
constexpr BYTE kSos = 0xDA;

// Walks the header segments of one image from `at` (which must be its start-of-image marker) up to
// and including the scan header. Returns the offset behind the scan header, or 0 when the header is
// not whole. Every length is checked against `end`.
std::size_t ReadHeader(const BYTE* data, std::size_t at, std::size_t end, JpegFieldParts& parts) {
    if (at + 2 > end || data[at] != 0xFF || data[at + 1] != kSoi)
        return 0;
    std::size_t p = at + 2;
    while (p + 1 < end) {
        if (data[p] != 0xFF)
            return 0;
        while (p + 1 < end && data[p + 1] == 0xFF) // fill bytes before a marker
            ++p;
        if (p + 4 > end)
            return 0;
        const BYTE marker = data[p + 1];
        if (marker == kEoi || marker == kSoi || (marker >= kRst0 && marker <= kRst0 + 7))
            return 0; // no scan in this image
        const std::size_t length = static_cast<std::size_t>(data[p + 2]) << 8 | data[p + 3];
        if (length < 2 || p + 2 + length > end)
            return 0;
        const JpegSegment segment{data + p, length + 2};
        if (marker == kDqt || marker == kDht)
            parts.tables.push_back(segment);
        else if (marker == kSof0)
            parts.frameHeader = segment;
        else if (marker == kSos) {
            parts.scanHeader = segment;
            if (parts.frameHeader.Empty() || parts.frameHeader.length < 7)
                return 0;
            return p + 2 + length;
        }
        p += 2 + length;
    }
    return 0;
}

// The offset of the first FF D0 or FF D9 at or after `from` (entropy-coded data holds FF only as FF 00
// or before a restart marker), or end when there is none.
std::size_t FindScanEnd(const BYTE* data, std::size_t from, std::size_t end, bool stopAtRestart) {
    for (std::size_t p = from; p + 1 < end; ++p)
        if (data[p] == 0xFF && (data[p + 1] == kEoi || (stopAtRestart && data[p + 1] == kRst0)))
            return p;
    return end;
}

void Append(std::vector<BYTE>& out, const JpegSegment& s) {
    out.insert(out.end(), s.data, s.data + s.length);
}

} // namespace

bool JpegFieldParser::Parse(const BYTE* data, std::size_t length) {
    m_fields[0] = {};
    m_fields[1] = {};
    if (!data || length < 11)
        return false;
    const bool twoImages = data[10] == 1;

    JpegFieldParts& first = m_fields[0];
    const std::size_t scanStart = ReadHeader(data, 0, length, first);
    if (scanStart == 0)
        return false;
    const std::size_t firstEnd = FindScanEnd(data, scanStart, length, true);
    if (firstEnd >= length)
        return false;
    first.scan = {data + scanStart, firstEnd - scanStart};

    JpegFieldParts& second = m_fields[1];
    if (!twoImages) {
        // Both fields in one scan: the second runs from behind restart marker 0 to the end of image.
        if (data[firstEnd + 1] != kRst0)
            return false;
        const std::size_t from = firstEnd + 2;
        const std::size_t to = FindScanEnd(data, from, length, false);
        if (to >= length)
            return false;
        first.halveHeight = true;
        second.tables = first.tables;
        second.frameHeader = first.frameHeader;
        second.scanHeader = first.scanHeader;
        second.halveHeight = true;
        second.scan = {data + from, to - from};
        return true;
    }
    // Two images: the second starts at the first start-of-image marker behind the first's end.
    std::size_t next = firstEnd + 2;
    while (next + 1 < length && !(data[next] == 0xFF && data[next + 1] == kSoi))
        ++next;
    const std::size_t secondStart = ReadHeader(data, next, length, second);
    if (secondStart == 0)
        return false;
    const std::size_t secondEnd = FindScanEnd(data, secondStart, length, false);
    if (secondEnd >= length)
        return false;
    second.scan = {data + secondStart, secondEnd - secondStart};
    return true;
}

void JpegFieldParser::Rebuild(std::vector<BYTE>& out) const {
    for (int f = 0; f < 2; ++f) {
        const JpegFieldParts& parts = m_fields[f];
        const std::size_t lead = out.size();
        out.insert(out.end(), kJfifLeadTemplate, kJfifLeadTemplate + sizeof kJfifLeadTemplate);
        out[lead + 10] = static_cast<BYTE>(f + 1);
        for (const JpegSegment& table : parts.tables)
            Append(out, table);
        const std::size_t sof = out.size();
        Append(out, parts.frameHeader);
        if (parts.halveHeight) {
            // Each field holds every second line of the recorded frame.
            const unsigned lines = (static_cast<unsigned>(out[sof + 5]) << 8 | out[sof + 6]) / 2;
            out[sof + 5] = static_cast<BYTE>(lines >> 8);
            out[sof + 6] = static_cast<BYTE>(lines & 0xFF);
        }
        Append(out, parts.scanHeader);
        Append(out, parts.scan);
        out.push_back(0xFF);
        out.push_back(0xFF);
        out.push_back(0xD9);
    }
}
