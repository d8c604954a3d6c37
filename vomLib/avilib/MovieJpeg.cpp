// Two-field Motion-JPEG frames: compression and segment location.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/win32/memory.h"
#include "platform/win32/system.h"
#include "vomLib/avilib/MovieJpeg.h"

namespace {

constexpr BYTE kDqt = 0xDB, kDht = 0xC4, kSof0 = 0xC0, kSos = 0xDA, kEoi = 0xD9, kRst0 = 0xD0;

// Bytes from start up to (not including) the first FF D9, or FF D9 / FF D0 when restart counts too.
DWORD RunUntil(const BYTE* start, const BYTE* end, bool stopAtRestart) {
    for (const BYTE* p = start; p + 1 < end; ++p)
        if (p[0] == 0xFF && (p[1] == kEoi || (stopAtRestart && p[1] == kRst0)))
            return static_cast<DWORD>(p - start);
    return static_cast<DWORD>(end - start);
}

// The scan behind an SOS segment, bounded by end.
CMovieSegment ScanAfter(const CMovieSegment& sos, const BYTE* end) {
    if (!sos.Found())
        return {};
    const BYTE* start = sos.data + sos.length;
    if (start >= end)
        return {};
    if (start + 1 < end && start[0] == 0xFF && start[1] == kRst0)
        return {start, 0};
    return {start, RunUntil(start, end, true)};
}

} // namespace

CMovieJpeg::CMovieJpeg() = default;

CMovieJpeg::~CMovieJpeg() {
    FreeCompressed();
}

void CMovieJpeg::FreeCompressed() {
    if (m_compressed)
        GlobalFree(m_compressed);
    m_compressed = nullptr;
    m_compressedLength = 0;
}

BYTE* CMovieJpeg::DetachCompressed(long* length) {
    BYTE* block = m_compressed;
    if (length)
        *length = m_compressedLength;
    m_compressed = nullptr;
    m_compressedLength = 0;
    m_run = nullptr;
    m_runLength = 0;
    m_sof0 = m_sos = m_dqt = m_dht = m_scan1 = m_scan2 = {};
    return block;
}

CMovieSegment CMovieJpeg::FindMarker(const BYTE* data, DWORD length, BYTE marker) {
    if (!data)
        return {};
    for (DWORD p = 0; p + 3 < length; ++p) {
        if (data[p] != 0xFF || data[p + 1] != marker)
            continue;
        const DWORD size = ((static_cast<DWORD>(data[p + 2]) << 8) | data[p + 3]) + 2;
        if (p + size > length)
            return {};
        return {data + p, size};
    }
    return {};
}

void CMovieJpeg::FindImage(const BYTE* data, DWORD length, bool withHuffman) {
    m_dqt = FindMarker(data, length, kDqt);
    // Writers that give each table its own segment put them one after another: the record covers the
    // whole run, so a rebuilt image keeps every table.
    while (m_dqt.Found()) {
        const DWORD used = static_cast<DWORD>(m_dqt.data - data) + m_dqt.length;
        const CMovieSegment next = FindMarker(data + used, length - used, kDqt);
        if (!next.Found() || next.data != data + used)
            break;
        m_dqt.length += next.length;
    }
    m_dht = withHuffman ? FindMarker(data, length, kDht) : CMovieSegment{};
    m_sof0 = FindMarker(data, length, kSof0);
    m_sos = FindMarker(data, length, kSos);
}

void CMovieJpeg::FindSegments(const BYTE* data, DWORD length, BOOL twoFieldScan) {
    m_run = data;
    m_runLength = data ? length : 0;
    m_scan1 = m_scan2 = {};
    FindImage(data, m_runLength, false);
    const BYTE* end = data + m_runLength;
    m_scan1 = ScanAfter(m_sos, end);
    if (!m_scan1.Found())
        return;
    const BYTE* afterFirst = m_scan1.data + m_scan1.length;
    if (m_runLength > 10 && data[10] == 1) {
        // A second image follows the first; its headers are searched up to the end of the run (small
        // images carry headers longer than their first scan).
        const BYTE* region = afterFirst + 1;
        if (region >= end)
            return;
        const CMovieSegment sos = FindMarker(region, static_cast<DWORD>(end - region), kSos);
        m_scan2 = ScanAfter(sos, end);
    } else if (twoFieldScan) {
        const BYTE* second = afterFirst + 2;
        if (second <= end)
            m_scan2 = {second, RunUntil(second, end, false)};
    }
}

int CMovieJpeg::Compress(const BYTE* pixels, int width, int height, int quality, int fields, int option,
                         JpgRows rows) {
    m_width = width;
    m_height = height;
    m_quality = quality;
    m_fields = fields;
    FreeCompressed();
    int result;
    if (fields < 2)
        result = jpg_compress_rgb(pixels, width, height, rows, &m_compressed, &m_compressedLength, quality,
                                  option);
    else
        result = jpg_compress_fields(pixels, width, height, rows, &m_compressed, &m_compressedLength, quality,
                                     option, 0);
    if (result != JPG_OK) {
        m_compressed = nullptr;
        m_compressedLength = 0;
        return result;
    }
    const DWORD length = static_cast<DWORD>(m_compressedLength);
    m_run = m_compressed;
    m_runLength = length;
    FindImage(m_compressed, length, true);
    m_scan1 = ScanAfter(m_sos, m_compressed + length);
    m_scan2 = {};
    if (fields >= 2 && m_scan1.Found()) {
        const BYTE* region = m_scan1.data + m_scan1.length + 1;
        const BYTE* end = m_compressed + length;
        if (region < end) {
            const CMovieSegment sos = FindMarker(region, static_cast<DWORD>(end - region), kSos);
            m_scan2 = ScanAfter(sos, end);
        }
    }
    char line[160];
    std::snprintf(line, sizeof line, "  RGB  len = %lld  JPEG len = %ld  [Quality = %d]\n",
                  3LL * width * height, m_compressedLength, quality);
    OutputDebugStringA(line);
    return JPG_OK;
}

DWORD CMovieJpeg::BuildTwoFieldFrame(BYTE* out, DWORD capacity) const {
    if (!out || !m_dqt.Found() || !m_sof0.Found() || !m_sos.Found() || !m_scan1.Found() || !m_scan2.Found() ||
        m_sof0.length < 7)
        return 0;
    const std::uint64_t image = kLeadSize + m_dqt.length + m_sof0.length + m_sos.length + 3;
    const std::uint64_t total = 2 * image + m_scan1.length + m_scan2.length;
    if (total > capacity)
        return 0;
    BYTE* p = out;
    for (int field = 1; field <= 2; ++field) {
        const BYTE lead[kLeadSize] = {
            0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x0E, 'J', 'F', 'I', 'F', static_cast<BYTE>(field),
            0,    0,    0,    0,    0,    0,    0};
        std::memcpy(p, lead, kLeadSize);
        p += kLeadSize;
        std::memcpy(p, m_dqt.data, m_dqt.length);
        p += m_dqt.length;
        std::memcpy(p, m_sof0.data, m_sof0.length);
        const unsigned height = (static_cast<unsigned>(p[5]) << 8 | p[6]) / 2;
        p[5] = static_cast<BYTE>(height >> 8);
        p[6] = static_cast<BYTE>(height);
        p += m_sof0.length;
        std::memcpy(p, m_sos.data, m_sos.length);
        p += m_sos.length;
        const CMovieSegment& scan = field == 1 ? m_scan1 : m_scan2;
        if (scan.length)
            std::memcpy(p, scan.data, scan.length);
        p += scan.length;
        *p++ = 0xFF;
        *p++ = 0xFF;
        *p++ = 0xD9;
    }
    return static_cast<DWORD>(p - out);
}
