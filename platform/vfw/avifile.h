// AVI files and their streams: the file and stream functions, the frame getter, compressed streams and
// the save-options hook.
//
// Files, streams and frame getters are reference-counted objects behind opaque handles. A stream holds a
// reference to its file and a compressed stream one to its source stream, so releasing them in any order
// is safe; a file opened for writing gets its headers and index when its last reference goes, or
// earlier through AVIFileFinish, which alone tells whether that worked.
//
// Reading understands AVI 1.0 (idx1 index, or a scan of the 'movi' lists when the index is missing or
// unusable) and OpenDML files (super indexes and standard indexes, 'AVIX' continuation RIFFs). Every
// size and offset read from a file is checked against the file's real size; a file that is not a RIFF
// AVI, or whose headers contradict the file, is refused with AVIERR_BADFORMAT.
//
// Writing produces AVI 1.0 and, once the first RIFF would pass the switch-over size (1 GiB, see
// AVISetRiffSizeLimit), continues with OpenDML 'AVIX' RIFFs and OpenDML indexes. Any stream type can be
// written, including non-video streams holding a single sample (such as 'NOTE' and 'CSTS'); extra data
// chunks of a stream (AVIStreamWriteData, e.g. 'txts') are stored in the stream's header list, in the
// order written, directly behind the format.
#pragma once

#include <functional>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/win32/bitmap.h"
#include "platform/win32/types.h"

using FOURCC = DWORD;
#ifndef mmioFOURCC
#define mmioFOURCC(a, b, c, d) MAKEFOURCC(a, b, c, d)
#endif

#define streamtypeVIDEO mmioFOURCC('v', 'i', 'd', 's')
#define streamtypeAUDIO mmioFOURCC('a', 'u', 'd', 's')
#define streamtypeMIDI mmioFOURCC('m', 'i', 'd', 's')
#define streamtypeTEXT mmioFOURCC('t', 'x', 't', 's')

// Modes of AVIFileOpen.
#define OF_READ 0x00000000u
#define OF_WRITE 0x00000001u
#define OF_READWRITE 0x00000002u
#define OF_SHARE_DENY_WRITE 0x00000020u
#define OF_SHARE_DENY_NONE 0x00000040u
#define OF_CREATE 0x00001000u

// Result codes: AVIERR_OK or an error of the interface facility, 0x80044000 + n.
#define MAKE_AVIERR(n) MAKE_HRESULT(1, FACILITY_ITF, 0x4000 + (n))
#define AVIERR_OK S_OK
#define AVIERR_UNSUPPORTED MAKE_AVIERR(101)
#define AVIERR_BADFORMAT MAKE_AVIERR(102)
#define AVIERR_MEMORY MAKE_AVIERR(103)
#define AVIERR_INTERNAL MAKE_AVIERR(104)
#define AVIERR_BADFLAGS MAKE_AVIERR(105)
#define AVIERR_BADPARAM MAKE_AVIERR(106)
#define AVIERR_BADSIZE MAKE_AVIERR(107)
#define AVIERR_BADHANDLE MAKE_AVIERR(108)
#define AVIERR_FILEREAD MAKE_AVIERR(109)
#define AVIERR_FILEWRITE MAKE_AVIERR(110)
#define AVIERR_FILEOPEN MAKE_AVIERR(111)
#define AVIERR_COMPRESSOR MAKE_AVIERR(112)
#define AVIERR_NOCOMPRESSOR MAKE_AVIERR(113)
#define AVIERR_READONLY MAKE_AVIERR(114)
#define AVIERR_NODATA MAKE_AVIERR(115)
#define AVIERR_BUFFERTOOSMALL MAKE_AVIERR(116)
#define AVIERR_CANTCOMPRESS MAKE_AVIERR(117)
#define AVIERR_USERABORT MAKE_AVIERR(198)
#define AVIERR_ERROR MAKE_AVIERR(199)

// Sample flags (AVIStreamWrite, index entries).
#define AVIIF_LIST 0x00000001u
#define AVIIF_KEYFRAME 0x00000010u
#define AVIIF_NOTIME 0x00000100u

// AVIFILEINFO flags and capabilities.
#define AVIFILEINFO_HASINDEX 0x00000010u
#define AVIFILEINFO_MUSTUSEINDEX 0x00000020u
#define AVIFILEINFO_ISINTERLEAVED 0x00000100u
#define AVIFILECAPS_CANREAD 0x00000001u
#define AVIFILECAPS_CANWRITE 0x00000002u
#define AVIFILECAPS_ALLKEYFRAMES 0x00000010u
#define AVIFILECAPS_NOCOMPRESSION 0x00000020u

// Flags of AVICOMPRESSOPTIONS.
#define AVICOMPRESSF_INTERLEAVE 0x00000001u
#define AVICOMPRESSF_DATARATE 0x00000002u
#define AVICOMPRESSF_KEYFRAMES 0x00000004u
#define AVICOMPRESSF_VALID 0x00000008u

// AVIStreamRead: read as many samples as are convenient (the rest of the chunk).
#define AVISTREAMREAD_CONVENIENT (-1L)

// 108 bytes, as in files and on the original platform.
struct AVIFILEINFOA {
    DWORD dwMaxBytesPerSec;
    DWORD dwFlags;
    DWORD dwCaps;
    DWORD dwStreams;
    DWORD dwSuggestedBufferSize;
    DWORD dwWidth;
    DWORD dwHeight;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwLength;
    DWORD dwEditCount;
    char szFileType[64];
};
static_assert(sizeof(AVIFILEINFOA) == 108);
using AVIFILEINFO = AVIFILEINFOA;
using LPAVIFILEINFO = AVIFILEINFOA*;

// 140 bytes.
struct AVISTREAMINFOA {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwFlags;
    DWORD dwCaps;
    WORD wPriority;
    WORD wLanguage;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwStart;
    DWORD dwLength;
    DWORD dwInitialFrames;
    DWORD dwSuggestedBufferSize;
    DWORD dwQuality;
    DWORD dwSampleSize;
    RECT rcFrame;
    DWORD dwEditCount;
    DWORD dwFormatChangeCount;
    char szName[64];
};
static_assert(sizeof(AVISTREAMINFOA) == 140);
using AVISTREAMINFO = AVISTREAMINFOA;
using LPAVISTREAMINFO = AVISTREAMINFOA*;

struct AVICOMPRESSOPTIONS {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwKeyFrameEvery;
    DWORD dwQuality;
    DWORD dwBytesPerSecond;
    DWORD dwFlags;
    LPVOID lpFormat;
    DWORD cbFormat;
    LPVOID lpParms;
    DWORD cbParms;
    DWORD dwInterleaveEvery;
};
using LPAVICOMPRESSOPTIONS = AVICOMPRESSOPTIONS*;

struct IAVIFile;
struct IAVIStream;
struct IGetFrame;
using PAVIFILE = IAVIFile*;
using PAVISTREAM = IAVIStream*;
using PGETFRAME = IGetFrame*;

// The standard AVI file handler class {00020000-0000-0000-C000-000000000046}; the only one there is.
extern const CLSID CLSID_AVIFile;

// --- Library -----------------------------------------------------------------------------------------
// Counted; the library works whether or not they were called.
void AVIFileInit();
void AVIFileExit();

// The size at which the writer closes the first RIFF (and each later one) and continues with an
// OpenDML 'AVIX' RIFF. Returns the previous limit; 0 restores the default of 1 GiB. Tests lower it.
ULONGLONG AVISetRiffSizeLimit(ULONGLONG bytes);

// --- Files -------------------------------------------------------------------------------------------
// mode OF_READ opens an existing file (a missing or unreadable file: AVIERR_FILEOPEN; not a RIFF AVI:
// AVIERR_BADFORMAT). mode with OF_CREATE creates the file for writing, replacing an existing one
// (AVIERR_FILEOPEN when it cannot be created). handler may be null or CLSID_AVIFile; any other class
// gives REGDB_E_CLASSNOTREG.
HRESULT AVIFileOpenA(PAVIFILE* file, LPCSTR fileName, UINT mode, const CLSID* handler);
#define AVIFileOpen AVIFileOpenA
// Return the new reference count. Releasing a null handle returns 0 and does nothing.
ULONG AVIFileAddRef(PAVIFILE file);
ULONG AVIFileRelease(PAVIFILE file);
// Finishes a file opened for writing now instead of at its last release, and tells whether it is
// complete: AVIERR_OK, or AVIERR_FILEWRITE when any write to it failed, while samples went in or while
// its headers and indexes were written (a full disk). A file that is not complete must not be used.
// Afterwards the file and its streams take no more streams, samples, formats or data (AVIERR_READONLY);
// the handles stay valid until released. Finishing again returns the first result. A file opened for
// reading: AVIERR_READONLY.
HRESULT AVIFileFinish(PAVIFILE file);
HRESULT AVIFileInfoA(PAVIFILE file, AVIFILEINFOA* info, LONG size);
#define AVIFileInfo AVIFileInfoA
// fccType 0: the param-th stream of any type; otherwise the param-th stream of that type.
// AVIERR_NODATA when there is none.
HRESULT AVIFileGetStream(PAVIFILE file, PAVISTREAM* stream, DWORD fccType, LONG param);
HRESULT AVIFileCreateStreamA(PAVIFILE file, PAVISTREAM* stream, const AVISTREAMINFOA* info);
#define AVIFileCreateStream AVIFileCreateStreamA
// Extra data chunks of the file header (written after the header list).
HRESULT AVIFileWriteData(PAVIFILE file, DWORD ckid, LPVOID data, LONG size);
HRESULT AVIFileReadData(PAVIFILE file, DWORD ckid, LPVOID data, LONG* size);

// --- Streams -----------------------------------------------------------------------------------------
ULONG AVIStreamAddRef(PAVISTREAM stream);
ULONG AVIStreamRelease(PAVISTREAM stream);
HRESULT AVIStreamInfoA(PAVISTREAM stream, AVISTREAMINFOA* info, LONG size);
#define AVIStreamInfo AVIStreamInfoA
// A null format asks the size (*formatSize receives it). A smaller buffer receives the first bytes.
HRESULT AVIStreamReadFormat(PAVISTREAM stream, LONG position, LPVOID format, LONG* formatSize);
HRESULT AVIStreamSetFormat(PAVISTREAM stream, LONG position, LPVOID format, LONG formatSize);
// Reads samples starting at start. A null buffer asks the size: *bytes and *samples receive what a
// read would deliver. A buffer smaller than the data gives AVIERR_BUFFERTOOSMALL (with *bytes the
// size needed). A position outside the stream gives AVIERR_NODATA.
HRESULT AVIStreamRead(PAVISTREAM stream, LONG start, LONG samples, LPVOID buffer, LONG bufferSize,
                      LONG* bytes, LONG* samplesRead);
// Stream data chunks (such as 'txts'); a size of 0 is allowed. Reading with a null buffer asks the size;
// a missing chunk gives AVIERR_NODATA.
HRESULT AVIStreamReadData(PAVISTREAM stream, DWORD ckid, LPVOID data, LONG* size);
HRESULT AVIStreamWriteData(PAVISTREAM stream, DWORD ckid, LPVOID data, LONG size);
// Writes samples at start (which must be the stream's current end for files being written). flags:
// AVIIF_KEYFRAME.
HRESULT AVIStreamWrite(PAVISTREAM stream, LONG start, LONG samples, LPVOID buffer, LONG bufferSize,
                       DWORD flags, LONG* samplesWritten, LONG* bytesWritten);
LONG AVIStreamStart(PAVISTREAM stream);
LONG AVIStreamLength(PAVISTREAM stream);

// --- Frame getter ------------------------------------------------------------------------------------
// wanted null: the decoder's default. A BI_RGB stream is then handed out as it is stored: the format
// (header and colour table) directly followed by the sample, the header's image size set to the bytes
// read (samples shorter than a full image are legal: some streams declare BI_RGB but carry JPEG bytes).
// Compressed streams decode to 24-bit bottom-up DIBs with rows padded to 4 bytes. wanted with 24 bits
// and BI_RGB: every stream is decoded to that form. Returns null when no decoder fits.
PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, LPBITMAPINFOHEADER wanted);
// The packed DIB of the frame at position, owned by the getter and valid until the next call or the
// close; null when the frame cannot be read or decoded.
LPVOID AVIStreamGetFrame(PGETFRAME getter, LONG position);
// Null-safe.
HRESULT AVIStreamGetFrameClose(PGETFRAME getter);

// --- Compressed streams and save options -------------------------------------------------------------
// A stream that compresses what is written to it (24-bit frames, rows either padded to 4 bytes or packed
// to 3 x width bytes, told apart by the written size) and writes the result into the source stream.
// The compressor is options->fccHandler ('DIB ' writes uncompressed DIB samples); AVIERR_NOCOMPRESSOR
// when no installed compressor has that code. A handler of 0 means no compressor: format and samples
// pass through unchanged. The new stream holds a reference to the source.
HRESULT AVIMakeCompressedStream(PAVISTREAM* compressed, PAVISTREAM source, AVICOMPRESSOPTIONS* options,
                                const CLSID* handler);
// The compression-options choice. Without a GUI the installed hook decides; the default hook accepts
// the options as given (returns TRUE, options unchanged). Returns TRUE for OK, FALSE for cancel.
INT_PTR AVISaveOptions(HWND owner, UINT flags, int streamCount, PAVISTREAM* streams,
                       LPAVICOMPRESSOPTIONS* options);
// Frees what AVISaveOptions put into the records (format and parameter blocks) and clears those fields.
HRESULT AVISaveOptionsFree(int streamCount, LPAVICOMPRESSOPTIONS* options);
using AVISaveOptionsHook = std::function<INT_PTR(HWND owner, UINT flags, int streamCount, PAVISTREAM* streams,
                                                 LPAVICOMPRESSOPTIONS* options)>;
// Installs the hook (an empty one restores the default) and returns the previous one. The hook may
// allocate lpFormat / lpParms with new BYTE[]; AVISaveOptionsFree deletes them.
AVISaveOptionsHook AVISetSaveOptionsHook(AVISaveOptionsHook hook);
