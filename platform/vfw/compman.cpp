// The compressor manager: the codec table and the functions over its instances.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/vfw/codecs_builtin.h"
#include "platform/vfw/dib_convert.h"

// Default answers of a codec: nothing supported.
LRESULT VideoCodec::CompressQuery(const BITMAPINFO*, const BITMAPINFO*) {
    return ICERR_UNSUPPORTED;
}
LRESULT VideoCodec::CompressGetFormat(const BITMAPINFO*, BITMAPINFO*) {
    return ICERR_UNSUPPORTED;
}
LRESULT VideoCodec::CompressGetSize(const BITMAPINFO*, const BITMAPINFO*) {
    return 0;
}
LRESULT VideoCodec::CompressBegin(const BITMAPINFO* in, const BITMAPINFO* out) {
    return CompressQuery(in, out);
}
LRESULT VideoCodec::Compress(const BITMAPINFO*, const void*, BITMAPINFO*, void*, DWORD, DWORD*) {
    return ICERR_UNSUPPORTED;
}
LRESULT VideoCodec::CompressEnd() {
    return ICERR_OK;
}
LRESULT VideoCodec::DecompressQuery(const BITMAPINFO*, const BITMAPINFO*) {
    return ICERR_UNSUPPORTED;
}
LRESULT VideoCodec::DecompressGetFormat(const BITMAPINFO*, BITMAPINFO*) {
    return ICERR_UNSUPPORTED;
}
LRESULT VideoCodec::DecompressBegin(const BITMAPINFO* in, const BITMAPINFO* out) {
    return DecompressQuery(in, out);
}
LRESULT VideoCodec::Decompress(DWORD, const BITMAPINFO*, const void*, DWORD, const BITMAPINFO*, void*) {
    return ICERR_UNSUPPORTED;
}
LRESULT VideoCodec::DecompressEnd() {
    return ICERR_OK;
}

struct ICOMPRESSOR {
    std::unique_ptr<VideoCodec> codec;
    VideoCodecDescription description;
    UINT mode = 0;
    bool compressing = false;
    bool decompressing = false;
};

namespace kivic::vfw {

std::size_t FormatSize(const BITMAPINFO* info) {
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const std::size_t colours = h.biBitCount <= 8 ? std::min<DWORD>(DibColorCount(&h), 256) : 0;
    return h.biSize + 4 * colours;
}

namespace {

struct Entry {
    VideoCodecDescription description;
    VideoCodecFactory factory;
    std::string name, text; // keep the texts the description points at
    bool builtIn = false;
};

struct Table {
    std::mutex mutex;
    std::vector<Entry> entries;
    Table() {
        Add({mmioFOURCC('D', 'I', 'B', ' '), "DIB", "Full Frames (Uncompressed)", VIDCF_QUALITY, {}},
            NewDibCodec, true);
        Add({mmioFOURCC('m', 's', 'v', 'c'),
             "MSVC",
             "Microsoft Video 1",
             VIDCF_QUALITY | VIDCF_TEMPORAL,
             {mmioFOURCC('C', 'R', 'A', 'M'), mmioFOURCC('W', 'H', 'A', 'M'), 0, 0}},
            NewMsvcCodec, true);
    }
    void Add(const VideoCodecDescription& d, VideoCodecFactory factory, bool builtIn) {
        for (auto it = entries.begin(); it != entries.end(); ++it)
            if (ICFourccEqual(it->description.fccHandler, d.fccHandler)) {
                entries.erase(it);
                break;
            }
        Entry e;
        e.description = d;
        e.name = d.name ? d.name : "";
        e.text = d.description ? d.description : "";
        e.factory = std::move(factory);
        e.builtIn = builtIn;
        entries.push_back(std::move(e));
        for (auto& entry : entries) {
            entry.description.name = entry.name.c_str();
            entry.description.description = entry.text.c_str();
        }
    }
};

Table& TheTable() {
    static Table table;
    return table;
}

bool Matches(const VideoCodecDescription& d, FOURCC code) {
    if (ICFourccEqual(d.fccHandler, code))
        return true;
    for (FOURCC alias : d.aliases)
        if (alias && ICFourccEqual(alias, code))
            return true;
    return false;
}

HIC NewInstance(const Entry& entry, UINT mode) {
    auto codec = entry.factory ? entry.factory() : nullptr;
    if (!codec)
        return nullptr;
    HIC hic = new ICOMPRESSOR;
    hic->codec = std::move(codec);
    hic->description = entry.description;
    hic->description.name = "";
    hic->description.description = "";
    hic->mode = mode;
    return hic;
}

void CopyText(WCHAR* out, std::size_t capacity, const std::string& text) {
    std::size_t i = 0;
    for (; i + 1 < capacity && i < text.size(); ++i)
        out[i] = static_cast<unsigned char>(text[i]);
    out[i] = 0;
}

void FillInfo(const Entry& e, ICINFO* info) {
    std::memset(info, 0, sizeof *info);
    info->dwSize = sizeof(ICINFO);
    info->fccType = ICTYPE_VIDEO;
    info->fccHandler = e.description.fccHandler;
    info->dwFlags = e.description.flags;
    info->dwVersion = 1;
    info->dwVersionICM = 0x0104;
    CopyText(info->szName, 16, e.name);
    CopyText(info->szDescription, 128, e.text);
    CopyText(info->szDriver, 128, "kivic_platform");
}

} // namespace
} // namespace kivic::vfw

using kivic::vfw::TheTable;

bool ICFourccEqual(FOURCC a, FOURCC b) {
    for (int i = 0; i < 4; ++i)
        if (std::tolower((a >> (8 * i)) & 0xFF) != std::tolower((b >> (8 * i)) & 0xFF))
            return false;
    return true;
}

DWORD ICInputRowStride(const BITMAPINFOHEADER* h) {
    const std::uint64_t padded = DibRowBytes(h->biWidth, h->biBitCount);
    if (h->biBitCount == 24 && h->biWidth > 0) {
        const std::uint64_t packed = 3ull * static_cast<std::uint64_t>(h->biWidth);
        const std::uint64_t rows = h->biHeight < 0 ? -static_cast<std::int64_t>(h->biHeight) : h->biHeight;
        if (packed != padded && h->biSizeImage == packed * rows)
            return static_cast<DWORD>(packed);
    }
    return static_cast<DWORD>(padded);
}

DWORD ICFrameRows(const BITMAPINFOHEADER* h) {
    return static_cast<DWORD>(h->biHeight < 0 ? -static_cast<std::int64_t>(h->biHeight) : h->biHeight);
}

BITMAPINFOHEADER ICOutputFormat24(const BITMAPINFOHEADER* h) {
    BITMAPINFOHEADER out{};
    out.biSize = sizeof out;
    out.biWidth = h->biWidth;
    out.biHeight = static_cast<LONG>(ICFrameRows(h));
    out.biPlanes = 1;
    out.biBitCount = 24;
    out.biCompression = BI_RGB;
    out.biSizeImage = static_cast<DWORD>(DibRowBytes(h->biWidth, 24) * ICFrameRows(h));
    return out;
}

BOOL ICInstallCodec(const VideoCodecDescription& description, VideoCodecFactory factory) {
    auto& table = TheTable();
    std::lock_guard lock(table.mutex);
    table.Add(description, std::move(factory), false);
    return TRUE;
}

BOOL ICRemoveCodec(FOURCC fccHandler) {
    auto& table = TheTable();
    std::lock_guard lock(table.mutex);
    for (auto it = table.entries.begin(); it != table.entries.end(); ++it)
        if (!it->builtIn && ICFourccEqual(it->description.fccHandler, fccHandler)) {
            table.entries.erase(it);
            return TRUE;
        }
    return FALSE;
}

HIC ICOpen(DWORD fccType, DWORD fccHandler, UINT mode) {
    if (fccType != 0 && !ICFourccEqual(fccType, ICTYPE_VIDEO))
        return nullptr;
    auto& table = TheTable();
    std::lock_guard lock(table.mutex);
    for (const auto& e : table.entries)
        if (kivic::vfw::Matches(e.description, fccHandler))
            return kivic::vfw::NewInstance(e, mode);
    return nullptr;
}

HIC ICLocate(DWORD fccType, DWORD fccHandler, const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out,
             WORD mode) {
    if (!in)
        return nullptr;
    const bool compress = mode == ICMODE_COMPRESS || mode == ICMODE_FASTCOMPRESS;
    auto query = [&](HIC hic) {
        auto* i = reinterpret_cast<const BITMAPINFO*>(in);
        auto* o = reinterpret_cast<const BITMAPINFO*>(out);
        return compress ? hic->codec->CompressQuery(i, o) : hic->codec->DecompressQuery(i, o);
    };
    if (fccHandler) {
        HIC hic = ICOpen(fccType, fccHandler, mode);
        if (hic && query(hic) == ICERR_OK)
            return hic;
        ICClose(hic);
    }
    std::vector<kivic::vfw::Entry> candidates;
    {
        auto& table = TheTable();
        std::lock_guard lock(table.mutex);
        candidates = table.entries;
    }
    for (auto& e : candidates) {
        e.description.name = e.name.c_str();
        HIC hic = kivic::vfw::NewInstance(e, mode);
        if (hic && query(hic) == ICERR_OK)
            return hic;
        ICClose(hic);
    }
    return nullptr;
}

LRESULT ICClose(HIC hic) {
    if (!hic)
        return ICERR_BADHANDLE;
    if (hic->compressing)
        hic->codec->CompressEnd();
    if (hic->decompressing)
        hic->codec->DecompressEnd();
    delete hic;
    return ICERR_OK;
}

LRESULT ICGetInfo(HIC hic, ICINFO* info, DWORD size) {
    if (!hic || !info || size < sizeof(ICINFO))
        return 0;
    auto& table = TheTable();
    std::lock_guard lock(table.mutex);
    for (const auto& e : table.entries)
        if (ICFourccEqual(e.description.fccHandler, hic->description.fccHandler)) {
            kivic::vfw::FillInfo(e, info);
            return sizeof(ICINFO);
        }
    return 0;
}

BOOL ICInfo(DWORD fccType, DWORD n, ICINFO* info) {
    if (!info || (fccType != 0 && !ICFourccEqual(fccType, ICTYPE_VIDEO)))
        return FALSE;
    auto& table = TheTable();
    std::lock_guard lock(table.mutex);
    if (n >= table.entries.size())
        return FALSE;
    kivic::vfw::FillInfo(table.entries[n], info);
    return TRUE;
}

LRESULT ICCompressQuery(HIC hic, const BITMAPINFO* in, const BITMAPINFO* out) {
    return hic && in ? hic->codec->CompressQuery(in, out) : ICERR_BADHANDLE;
}

LRESULT ICCompressGetFormat(HIC hic, const BITMAPINFO* in, BITMAPINFO* out) {
    return hic && in ? hic->codec->CompressGetFormat(in, out) : ICERR_BADHANDLE;
}

LRESULT ICCompressGetFormatSize(HIC hic, const BITMAPINFO* in) {
    return ICCompressGetFormat(hic, in, nullptr);
}

LRESULT ICCompressGetSize(HIC hic, const BITMAPINFO* in, const BITMAPINFO* out) {
    return hic && in ? hic->codec->CompressGetSize(in, out) : 0;
}

LRESULT ICCompressBegin(HIC hic, const BITMAPINFO* in, const BITMAPINFO* out) {
    if (!hic || !in)
        return ICERR_BADHANDLE;
    if (hic->compressing)
        hic->codec->CompressEnd();
    const LRESULT r = hic->codec->CompressBegin(in, out);
    hic->compressing = r == ICERR_OK;
    return r;
}

LRESULT ICCompress(HIC hic, DWORD compressFlags, LPBITMAPINFOHEADER outHeader, LPVOID outData,
                   LPBITMAPINFOHEADER inHeader, LPVOID inData, LPDWORD ckid, LPDWORD flags, LONG, DWORD,
                   DWORD quality, LPBITMAPINFOHEADER, LPVOID) {
    if (!hic)
        return ICERR_BADHANDLE;
    if (!outHeader || !outData || !inHeader || !inData)
        return ICERR_BADPARAM;
    // In: what the caller asks of the frame (ICCOMPRESS_KEYFRAME); out: what the codec made of it.
    DWORD frameFlags = compressFlags;
    const LRESULT r =
        hic->codec->Compress(reinterpret_cast<const BITMAPINFO*>(inHeader), inData,
                             reinterpret_cast<BITMAPINFO*>(outHeader), outData, quality, &frameFlags);
    if (flags)
        *flags = r == ICERR_OK ? frameFlags : 0;
    if (ckid)
        *ckid = 0;
    return r;
}

LRESULT ICCompressEnd(HIC hic) {
    if (!hic)
        return ICERR_BADHANDLE;
    hic->compressing = false;
    return hic->codec->CompressEnd();
}

LRESULT ICDecompressQuery(HIC hic, const BITMAPINFO* in, const BITMAPINFO* out) {
    return hic && in ? hic->codec->DecompressQuery(in, out) : ICERR_BADHANDLE;
}

LRESULT ICDecompressGetFormat(HIC hic, const BITMAPINFO* in, BITMAPINFO* out) {
    return hic && in ? hic->codec->DecompressGetFormat(in, out) : ICERR_BADHANDLE;
}

LRESULT ICDecompressGetFormatSize(HIC hic, const BITMAPINFO* in) {
    return ICDecompressGetFormat(hic, in, nullptr);
}

LRESULT ICDecompressBegin(HIC hic, const BITMAPINFO* in, const BITMAPINFO* out) {
    if (!hic || !in)
        return ICERR_BADHANDLE;
    if (hic->decompressing)
        hic->codec->DecompressEnd();
    const LRESULT r = hic->codec->DecompressBegin(in, out);
    hic->decompressing = r == ICERR_OK;
    return r;
}

DWORD ICDecompress(HIC hic, DWORD flags, LPBITMAPINFOHEADER inHeader, LPVOID inData,
                   LPBITMAPINFOHEADER outHeader, LPVOID outData) {
    if (!hic)
        return static_cast<DWORD>(ICERR_BADHANDLE);
    if (!inHeader || !inData || !outHeader || !outData)
        return static_cast<DWORD>(ICERR_BADPARAM);
    return static_cast<DWORD>(hic->codec->Decompress(
        flags, reinterpret_cast<const BITMAPINFO*>(inHeader), inData, inHeader->biSizeImage,
        reinterpret_cast<const BITMAPINFO*>(outHeader), outData));
}

LRESULT ICDecompressEnd(HIC hic) {
    if (!hic)
        return ICERR_BADHANDLE;
    hic->decompressing = false;
    return hic->codec->DecompressEnd();
}
