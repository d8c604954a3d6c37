// The compressor manager: a table of video compressors and decompressors, opened by four-character
// code into independent instances (one instance per thread; instances share nothing).
//
// Built in: 'DIB ' "Full Frames (Uncompressed)" (24-bit DIB in, 24-bit DIB out) and 'msvc'
// "Microsoft Video 1" (8-bit palettised or 24-bit in; 8-bit or 16-bit out; quality 0..10000). The
// BI_RGB decoders (1, 4, 8, 16, 24 and 32 bits to 24 bits) serve every frame getter.
//
// Layers above the platform add codecs with ICInstallCodec: the Motion-JPEG codec ('MJPG') lives with
// the JPEG library in the image and media library, which installs it through its own install function
// (InstallMjpgCodec() in vomLib/avilib/MjpgCodec.h). Every program that reads or writes MJPG calls that
// function once before opening files; it is idempotent and thread-safe.
//
// Input rows of a 24-bit BI_RGB frame handed to a compressor are taken as padded to 4 bytes, except when
// the header's biSizeImage equals exactly 3 x width x height and that differs from the padded size:
// then the rows are packed (3 x width bytes), the form in which frames travel between the servers.
#pragma once

#include <functional>
#include <memory>

#include "platform/vfw/avifile.h"

using WCHAR = char16_t;

#define ICTYPE_VIDEO mmioFOURCC('v', 'i', 'd', 'c')
#define ICTYPE_AUDIO mmioFOURCC('a', 'u', 'd', 'c')

#define ICMODE_COMPRESS 1u
#define ICMODE_DECOMPRESS 2u
#define ICMODE_FASTDECOMPRESS 3u
#define ICMODE_QUERY 4u
#define ICMODE_FASTCOMPRESS 5u
#define ICMODE_DRAW 8u

#define ICERR_OK 0L
#define ICERR_DONTDRAW 1L
#define ICERR_NEWPALETTE 2L
#define ICERR_UNSUPPORTED (-1L)
#define ICERR_BADFORMAT (-2L)
#define ICERR_MEMORY (-3L)
#define ICERR_INTERNAL (-4L)
#define ICERR_BADFLAGS (-5L)
#define ICERR_BADPARAM (-6L)
#define ICERR_BADSIZE (-7L)
#define ICERR_BADHANDLE (-8L)
#define ICERR_CANTUPDATE (-9L)
#define ICERR_ABORT (-10L)
#define ICERR_ERROR (-100L)
#define ICERR_BADBITDEPTH (-200L)
#define ICERR_BADIMAGESIZE (-201L)

#define ICQUALITY_LOW 0u
#define ICQUALITY_HIGH 10000u
#define ICQUALITY_DEFAULT 0xFFFFFFFFu

#define VIDCF_QUALITY 0x0001u
#define VIDCF_CRUNCH 0x0002u
#define VIDCF_TEMPORAL 0x0004u
#define VIDCF_COMPRESSFRAMES 0x0008u
#define VIDCF_DRAW 0x0010u
#define VIDCF_FASTTEMPORALC 0x0020u
#define VIDCF_FASTTEMPORALD 0x0080u

#define ICCOMPRESS_KEYFRAME 0x00000001u
#define ICDECOMPRESS_HURRYUP 0x80000000u
#define ICDECOMPRESS_NOTKEYFRAME 0x08000000u

// 568 bytes: six 32-bit fields and three UTF-16 texts.
struct ICINFO {
    DWORD dwSize;
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwFlags;
    DWORD dwVersion;
    DWORD dwVersionICM;
    WCHAR szName[16];
    WCHAR szDescription[128];
    WCHAR szDriver[128];
};
static_assert(sizeof(ICINFO) == 568);

struct ICOMPRESSOR;
using HIC = ICOMPRESSOR*;

// --- The codec interface that installed codecs implement --------------------------------------------
// One object per opened instance; an instance is used by one thread at a time.
class VideoCodec {
public:
    virtual ~VideoCodec() = default;

    // Compression. in/out are full BITMAPINFO blocks (header and colour table).
    // CompressQuery: ICERR_OK when the input (and, if given, the output) format can be handled.
    virtual LRESULT CompressQuery(const BITMAPINFO* in, const BITMAPINFO* out);
    // The output format for in: returns its size; writes it when out is not null.
    virtual LRESULT CompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out);
    // The largest compressed frame for in.
    virtual LRESULT CompressGetSize(const BITMAPINFO* in, const BITMAPINFO* out);
    virtual LRESULT CompressBegin(const BITMAPINFO* in, const BITMAPINFO* out);
    // Compresses inBits (described by in) into outBits (capacity: out->bmiHeader.biSizeImage on entry);
    // sets out->bmiHeader.biSizeImage to the bytes produced. *flags holds the call's ICCOMPRESS_ flags on
    // entry (ICCOMPRESS_KEYFRAME: the frame must be a key frame) and the frame's AVIIF_ flags on return
    // (AVIIF_KEYFRAME for a key frame).
    virtual LRESULT Compress(const BITMAPINFO* in, const void* inBits, BITMAPINFO* out, void* outBits,
                             DWORD quality, DWORD* flags);
    virtual LRESULT CompressEnd();

    // Decompression to BI_RGB DIBs.
    virtual LRESULT DecompressQuery(const BITMAPINFO* in, const BITMAPINFO* out);
    virtual LRESULT DecompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out);
    virtual LRESULT DecompressBegin(const BITMAPINFO* in, const BITMAPINFO* out);
    // inSize: the bytes of the compressed frame; out->bmiHeader describes the buffer outBits.
    virtual LRESULT Decompress(DWORD flags, const BITMAPINFO* in, const void* inBits, DWORD inSize,
                               const BITMAPINFO* out, void* outBits);
    virtual LRESULT DecompressEnd();
};

struct VideoCodecDescription {
    FOURCC fccHandler = 0;        // e.g. mmioFOURCC('M','J','P','G'), compared without case
    const char* name = "";        // short name (up to 15 characters)
    const char* description = ""; // what ICGetInfo gives as szDescription
    DWORD flags = 0;              // VIDCF_*
    // Further four-character codes of the compressed format that this codec decodes (biCompression
    // values), compared without case. The handler code itself always counts.
    FOURCC aliases[4] = {0, 0, 0, 0};
};
using VideoCodecFactory = std::function<std::unique_ptr<VideoCodec>()>;

// Adds (or replaces) a codec in the table. Thread-safe. Returns TRUE.
BOOL ICInstallCodec(const VideoCodecDescription& description, VideoCodecFactory factory);
// Removes an installed codec (built-in ones stay); FALSE when none had that code.
BOOL ICRemoveCodec(FOURCC fccHandler);

// --- The compressor manager functions ----------------------------------------------------------------
// fccType ICTYPE_VIDEO (or 0); null when no codec has the handler code.
HIC ICOpen(DWORD fccType, DWORD fccHandler, UINT mode);
// The first installed codec that decompresses in (to out, when given); null when none.
HIC ICLocate(DWORD fccType, DWORD fccHandler, const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out,
             WORD mode);
// Null-safe.
LRESULT ICClose(HIC hic);
// Returns the bytes written into info (sizeof(ICINFO)), 0 for a null instance or buffer.
LRESULT ICGetInfo(HIC hic, ICINFO* info, DWORD size);
// The n-th entry of the table (ICINFO with fccType and fccHandler); FALSE past the end.
BOOL ICInfo(DWORD fccType, DWORD n, ICINFO* info);

LRESULT ICCompressQuery(HIC hic, const BITMAPINFO* in, const BITMAPINFO* out);
LRESULT ICCompressGetFormat(HIC hic, const BITMAPINFO* in, BITMAPINFO* out);
LRESULT ICCompressGetFormatSize(HIC hic, const BITMAPINFO* in);
LRESULT ICCompressGetSize(HIC hic, const BITMAPINFO* in, const BITMAPINFO* out);
LRESULT ICCompressBegin(HIC hic, const BITMAPINFO* in, const BITMAPINFO* out);
// outHeader->biSizeImage: capacity of outData on entry, bytes produced on return. quality 0..10000 or
// ICQUALITY_DEFAULT. *flags receives AVIIF_KEYFRAME for key frames (every frame of these codecs).
LRESULT ICCompress(HIC hic, DWORD compressFlags, LPBITMAPINFOHEADER outHeader, LPVOID outData,
                   LPBITMAPINFOHEADER inHeader, LPVOID inData, LPDWORD ckid, LPDWORD flags, LONG frameNumber,
                   DWORD frameSize, DWORD quality, LPBITMAPINFOHEADER prevHeader, LPVOID prev);
LRESULT ICCompressEnd(HIC hic);

LRESULT ICDecompressQuery(HIC hic, const BITMAPINFO* in, const BITMAPINFO* out);
LRESULT ICDecompressGetFormat(HIC hic, const BITMAPINFO* in, BITMAPINFO* out);
LRESULT ICDecompressGetFormatSize(HIC hic, const BITMAPINFO* in);
LRESULT ICDecompressBegin(HIC hic, const BITMAPINFO* in, const BITMAPINFO* out);
// inHeader->biSizeImage gives the compressed bytes in inData.
DWORD ICDecompress(HIC hic, DWORD flags, LPBITMAPINFOHEADER inHeader, LPVOID inData,
                   LPBITMAPINFOHEADER outHeader, LPVOID outData);
LRESULT ICDecompressEnd(HIC hic);

// --- Helpers for codecs ------------------------------------------------------------------------------
// The row stride of a 24-bit input frame by the rule above.
DWORD ICInputRowStride(const BITMAPINFOHEADER* header);
// FOURCC codes compared without case.
bool ICFourccEqual(FOURCC a, FOURCC b);
// The rows of a frame, stored top-down (negative height) or bottom-up.
DWORD ICFrameRows(const BITMAPINFOHEADER* header);
// What the decompressors give for a frame of header's size: 24-bit BI_RGB, bottom-up, rows padded.
BITMAPINFOHEADER ICOutputFormat24(const BITMAPINFOHEADER* header);
