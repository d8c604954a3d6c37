// Two-field Motion-JPEG frames: compression of a 24-bit frame into one JPEG image or a two-field pair,
// and the location of the segments of a JPEG frame.
//
// A two-field frame is two complete JPEG images one after the other (even rows, then odd rows, each of
// half the frame height), each laid out as: an 18-byte lead (FF D8, an APP0 segment of length 14 with
// "JFIF", the field byte 1 or 2 at byte 10, seven zero bytes), the quantisation tables (DQT), the frame
// header (SOF0) with its height halved, the scan header (SOS), the field's scan bytes and FF FF D9. No
// Huffman tables are written; the decoder installs the standard ones.
#pragma once

#include "platform/win32/types.h"
#include "vomLib/Jpeg/jpglib32.h"

// A run of bytes inside a JPEG frame (null and 0 when not found).
struct CMovieSegment {
    const BYTE* data = nullptr;
    DWORD length = 0;
    bool Found() const { return data != nullptr; }
};

class CMovieJpeg {
public:
    static constexpr int kLeadSize = 18;

    CMovieJpeg();
    ~CMovieJpeg();
    CMovieJpeg(const CMovieJpeg&) = delete;
    CMovieJpeg& operator=(const CMovieJpeg&) = delete;

    // Compresses a 24-bit bottom-up frame (rows as `rows` says) at quality 0..100: one image when fields
    // < 2, else two fields; locates the segments and writes a trace line. The compressed block is kept
    // (replacing the previous one) until the next Compress, Detach or the destruction. Returns the
    // codec's result (JPG_OK on success).
    int Compress(const BYTE* pixels, int width, int height, int quality, int fields, int option,
                 JpgRows rows = JpgRows::Packed);

    // Locates DQT, SOF0, SOS and the first scan of data; with twoFieldScan also the second scan behind a
    // restart marker; when byte 10 of data is 1 the second scan is taken from a second image instead.
    // Every search stays inside the length bytes.
    void FindSegments(const BYTE* data, DWORD length, BOOL twoFieldScan);

    // Writes the two-field frame of the located segments into out; returns its size, or 0 when the
    // segments are missing or the frame would not fit in capacity.
    DWORD BuildTwoFieldFrame(BYTE* out, DWORD capacity) const;

    // The first position of FF marker in the run: (address, big-endian length + 2); empty when the marker
    // is missing or its segment would run past the end.
    static CMovieSegment FindMarker(const BYTE* data, DWORD length, BYTE marker);

    const CMovieSegment& Sof0() const { return m_sof0; }
    const CMovieSegment& Sos() const { return m_sos; }
    const CMovieSegment& Dqt() const { return m_dqt; }
    const CMovieSegment& Dht() const { return m_dht; }
    const CMovieSegment& Scan1() const { return m_scan1; }
    const CMovieSegment& Scan2() const { return m_scan2; }
    const BYTE* Compressed() const { return m_compressed; }
    long CompressedLength() const { return m_compressedLength; }
    // Hands the compressed block to the caller, who frees it with GlobalFree.
    BYTE* DetachCompressed(long* length);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Quality() const { return m_quality; }
    int Fields() const { return m_fields; }

private:
    void FreeCompressed();
    void FindImage(const BYTE* data, DWORD length, bool withHuffman);

    const BYTE* m_run = nullptr;
    DWORD m_runLength = 0;
    CMovieSegment m_sof0, m_sos, m_dqt, m_dht;
    CMovieSegment m_scan1, m_scan2;
    [[maybe_unused]] BYTE m_lead[kLeadSize] = {};
    BYTE* m_compressed = nullptr;
    long m_compressedLength = 0;
    int m_width = 0;
    int m_height = 0;
    int m_quality = 75;
    int m_fields = 2;
};
