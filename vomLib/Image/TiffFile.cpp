// The TIFF image object: its tags, the writer's tag set and pixels, and writing the file.
#include "vomLib/Image/TiffFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/win32/win32.h"

namespace {

constexpr DWORD kHeaderBlock = 640;
constexpr const char* kSoftware = "KivIc image library";
constexpr const char* kCopyright = "Copyright (C) KivIc developers";

void putWord(BYTE* p, WORD v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}
void putLong(BYTE* p, DWORD v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(v >> (8 * i));
}

// Shifts every sample of a block up by shift bits in its stored width U.
template <typename U> void shiftSamples(BYTE* out, const BYTE* in, DWORD size, int shift) {
    const DWORD count = size / sizeof(U);
    for (DWORD i = 0; i < count; ++i) {
        U v;
        std::memcpy(&v, in + i * sizeof(U), sizeof(U));
        v = static_cast<U>(v << shift);
        std::memcpy(out + i * sizeof(U), &v, sizeof(U));
    }
}

// Closes a file handle on every path.
struct FileCloser {
    HANDLE handle;
    ~FileCloser() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

} // namespace

TiffFile::TiffFile() {
    SetTag(TIFFTAG_STRIPOFFSETS, TIFF_LONG, 0);
    SetTag(TIFFTAG_IMAGEWIDTH, TIFF_LONG, 0);
    SetTag(TIFFTAG_IMAGELENGTH, TIFF_LONG, 0);
}

TiffFile::~TiffFile() {
    RemoveAllTags();
    FreePixels();
}

void TiffFile::AppendEntry(std::unique_ptr<TiffIfdEntry> entry) {
    RemoveTag(entry->GetTag());
    m_entries.push_back(std::move(entry));
}

BOOL TiffFile::SetTag(WORD tag, WORD type, DWORD value) {
    if (type == TIFF_ASCII)
        return FALSE;
    auto entry = TiffIfdEntry::Create(tag, type);
    switch (type) {
    case TIFF_RATIONAL:
    case TIFF_SRATIONAL:
        static_cast<TiffIfdRational*>(entry.get())->Values() = {{value, 1}};
        break;
    case TIFF_FLOAT:
        static_cast<TiffIfdFloat*>(entry.get())->Values() = {static_cast<float>(value)};
        break;
    case TIFF_DOUBLE:
        static_cast<TiffIfdDouble*>(entry.get())->Values() = {static_cast<double>(value)};
        break;
    default: {
        BYTE bytes[4];
        putLong(bytes, value);
        entry->Read(bytes, 1, false);
        break;
    }
    }
    AppendEntry(std::move(entry));
    return TRUE;
}

BOOL TiffFile::SetTagArray(WORD tag, WORD type, DWORD count, DWORD value, const BYTE* data, DWORD dataSize) {
    auto entry = TiffIfdEntry::Create(tag, type);
    const std::uint64_t bytes = static_cast<std::uint64_t>(count) * TiffIfdEntry::TypeSize(type);
    if (bytes <= 4) {
        BYTE inLine[4];
        putLong(inLine, value);
        entry->Read(inLine, count, false);
    } else {
        if (!data || value > dataSize || bytes > dataSize - value)
            return FALSE;
        entry->Read(data + value, count, false);
    }
    AppendEntry(std::move(entry));
    return TRUE;
}

BOOL TiffFile::SetTagText(WORD tag, const char* text) {
    auto entry = std::make_unique<TiffIfdAscii>(tag, TIFF_ASCII);
    entry->SetText(text ? text : "");
    AppendEntry(std::move(entry));
    return TRUE;
}

BOOL TiffFile::RemoveTag(WORD tag) {
    auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [tag](const auto& e) { return e->GetTag() == tag; });
    if (it == m_entries.end())
        return FALSE;
    m_entries.erase(it);
    return TRUE;
}

void TiffFile::RemoveAllTags() {
    m_entries.clear();
}

TiffIfdEntry* TiffFile::FindTag(WORD tag) const {
    for (const auto& e : m_entries)
        if (e->GetTag() == tag)
            return e.get();
    return nullptr;
}

std::optional<DWORD> TiffFile::GetTagValue(WORD tag, DWORD index) const {
    const TiffIfdEntry* e = FindTag(tag);
    if (!e || index >= e->GetCount())
        return std::nullopt;
    return e->GetValue(index);
}

std::optional<DWORD> TiffFile::BitsPerPixel() const {
    const TiffIfdEntry* e = FindTag(TIFFTAG_BITSPERSAMPLE);
    if (!e || e->GetCount() == 0)
        return std::nullopt;
    if (e->GetCount() == 1)
        return e->GetValue(0) * SamplesPerPixel().value_or(1);
    std::uint64_t sum = 0;
    for (DWORD i = 0; i < e->GetCount(); ++i)
        sum += e->GetValue(i);
    return static_cast<DWORD>(std::min<std::uint64_t>(sum, 0xFFFFFFFFu));
}

std::uint64_t TiffFile::StripBytes() const {
    const TiffIfdEntry* e = FindTag(TIFFTAG_STRIPBYTECOUNTS);
    std::uint64_t sum = 0;
    for (DWORD i = 0; e && i < e->GetCount(); ++i)
        sum += e->GetValue(i);
    return sum;
}

bool TiffFile::IsYCbCr() const {
    return GetTagValue(TIFFTAG_PHOTOMETRIC) == 6u ||
           (FindTag(TIFFTAG_YCBCRSUBSAMPLING) && FindTag(TIFFTAG_YCBCRPOSITIONING));
}

std::uint64_t TiffFile::ImageBytes() const {
    const auto width = ImageWidth(), height = ImageLength(), bits = BitsPerPixel();
    const DWORD samples = SamplesPerPixel().value_or(1);
    if (!width || !height || !bits || samples == 0)
        return 0;
    if (IsYCbCr())
        return (static_cast<std::uint64_t>(*width) + 1) / 2 * 4 * *height;
    const std::uint64_t bytesPerSample = (*bits / samples + 7) / 8;
    return static_cast<std::uint64_t>(samples) * *height * *width * bytesPerSample;
}

BOOL TiffFile::SetImage(DWORD width, DWORD height, WORD samples, WORD bitsPerPixel, const BYTE* pixels) {
    if (samples == 0 || bitsPerPixel < samples)
        return FALSE;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    RemoveAllTags();
    const DWORD b = bitsPerPixel / samples;
    const DWORD stored = (b + 7) / 8 * 8;
    SetTag(TIFFTAG_NEWSUBFILETYPE, TIFF_LONG, 0);
    SetTag(TIFFTAG_IMAGEWIDTH, TIFF_LONG, width);
    SetTag(TIFFTAG_IMAGELENGTH, TIFF_LONG, height);
    if (stored == 24) {
        const BYTE eights[6] = {8, 0, 8, 0, 8, 0};
        SetTagArray(TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, 3, 0, eights, sizeof(eights));
    } else {
        SetTag(TIFFTAG_BITSPERSAMPLE, TIFF_SHORT, stored);
    }
    SetTag(TIFFTAG_COMPRESSION, TIFF_SHORT, 1);
    SetTag(TIFFTAG_PHOTOMETRIC, TIFF_SHORT, samples == 3 ? 2 : 1);
    SetTag(TIFFTAG_STRIPOFFSETS, TIFF_LONG, kHeaderBlock);
    SetTag(TIFFTAG_SAMPLESPERPIXEL, TIFF_SHORT, samples);
    SetTag(TIFFTAG_ROWSPERSTRIP, TIFF_LONG, height);
    SetTag(TIFFTAG_PLANARCONFIG, TIFF_SHORT, 1);
    SetTag(TIFFTAG_RESOLUTIONUNIT, TIFF_SHORT, 1);
    char date[48];
    std::snprintf(date, sizeof(date), "%04d:%02d:%02d:%02d:%02d:%02d", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    SetTagText(TIFFTAG_DATETIME, date);
    SetTagText(TIFFTAG_SOFTWARE, kSoftware);
    SetTagText(TIFFTAG_COPYRIGHT, kCopyright);
    const std::uint64_t bytes = ImageBytes();
    if (bytes == 0 || bytes > 0xFFFFFFFFu)
        return FALSE;
    SetPixels(pixels, static_cast<DWORD>(bytes), b);
    SetTag(TIFFTAG_SOURCEBITS, TIFF_SHORT, bitsPerPixel);
    return m_pixels ? TRUE : FALSE;
}

void TiffFile::FreePixels() {
    if (m_pixels)
        GlobalFree(m_pixels);
    m_pixels = nullptr;
    m_pixelSize = 0;
}

void TiffFile::SetPixels(const BYTE* pixels, DWORD size, DWORD sourceBits) {
    FreePixels();
    if (size == 0)
        return;
    m_pixels = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size));
    char text[32];
    std::snprintf(text, sizeof(text), "%llx\n",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(m_pixels)));
    OutputDebugStringA(text);
    if (!m_pixels)
        return;
    m_pixelSize = size;
    if (!pixels)
        return;
    const DWORD sum = BitsPerPixel().value_or(0);
    const DWORD samples = SamplesPerPixel().value_or(1);
    const DWORD stored = samples ? sum / samples : 0;
    if (sourceBits == 0 || sourceBits == 8 || sourceBits == sum || sourceBits >= stored) {
        std::memcpy(m_pixels, pixels, size);
        return;
    }
    const int shift = static_cast<int>(stored - sourceBits);
    if (stored == 8)
        shiftSamples<BYTE>(m_pixels, pixels, size, shift);
    else if (stored == 16)
        shiftSamples<WORD>(m_pixels, pixels, size, shift);
    else if (stored == 32)
        shiftSamples<DWORD>(m_pixels, pixels, size, shift);
}

BOOL TiffFile::SaveFile(LPCSTR path) {
    if (!FindTag(TIFFTAG_STRIPBYTECOUNTS)) {
        const std::uint64_t bytes = ImageBytes();
        if (bytes > 0xFFFFFFFFu)
            return FALSE;
        SetTag(TIFFTAG_STRIPBYTECOUNTS, TIFF_LONG, static_cast<DWORD>(bytes));
    }
    // The header block: file header, directory, next-directory offset and padding, larger values.
    const DWORD blockSize = StripOffset().value_or(0);
    const std::uint64_t n = m_entries.size();
    const std::uint64_t directoryEnd = 26 + 12 * n;
    if (n > 0xFFFF || blockSize < directoryEnd)
        return FALSE;
    std::vector<BYTE> block(blockSize, 0);
    block[0] = 'I';
    block[1] = 'I';
    putWord(&block[2], 42);
    putLong(&block[4], 10);
    putWord(&block[10], static_cast<WORD>(n));
    std::uint64_t valuePos = directoryEnd;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const TiffIfdEntry& e = *m_entries[i];
        const std::uint64_t size = e.GetValueSize();
        if (size > 4) {
            if (valuePos + size > blockSize)
                return FALSE; // the values do not fit in the header block
            e.WriteValue(&block[valuePos]);
        }
        e.WriteEntry(&block[12 + 12 * i], static_cast<DWORD>(valuePos));
        if (size > 4)
            valuePos += size;
    }
    const std::uint64_t strip = StripBytes();
    if (strip > m_pixelSize)
        return FALSE;

    FileCloser file{
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD written = 0;
    bool ok = WriteFile(file.handle, block.data(), blockSize, &written, nullptr) && written == blockSize;
    if (ok && strip) {
        ok = WriteFile(file.handle, m_pixels, static_cast<DWORD>(strip), &written, nullptr) &&
             written == strip;
    }
    // The caller learns why from the last error: closing and cleaning up must not replace it.
    DWORD cause = ok ? 0 : GetLastError();
    const HANDLE handle = file.handle;
    file.handle = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle) && ok) {
        ok = false;
        cause = GetLastError();
    }
    if (!ok) {
        DeleteFileA(path);
        SetLastError(cause);
        return FALSE;
    }
    return TRUE;
}

void TiffFile::Dump(std::ostream& out) const {
    for (const auto& e : m_entries)
        e->Dump(out);
}
