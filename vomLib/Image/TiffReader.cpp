// Reading TIFF files: the header, the first directory and the pixels of its strips, all within the
// bounds of the data.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/win32/win32.h"
#include "vomLib/Image/TiffFile.h"
#include "vomLib/Utility/vomException.h"

namespace {

struct Reader {
    const BYTE* data;
    bool bigEndian;
    WORD word(std::size_t at) const {
        return bigEndian ? static_cast<WORD>((data[at] << 8) | data[at + 1])
                         : static_cast<WORD>(data[at] | (data[at + 1] << 8));
    }
    DWORD dword(std::size_t at) const {
        return bigEndian ? (DWORD(word(at)) << 16) | word(at + 2) : word(at) | (DWORD(word(at + 2)) << 16);
    }
};

struct GlobalBlock {
    HGLOBAL handle;
    ~GlobalBlock() {
        if (handle)
            GlobalFree(handle);
    }
};

struct FileHandle {
    HANDLE handle;
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

} // namespace

BOOL TiffFile::LoadFile(LPCSTR path, BOOL swapRedBlue) {
    RemoveAllTags();
    FileHandle file{CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE)
        return FALSE;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.handle, &size) || size.QuadPart < 0 || size.QuadPart >= 0xFFFFFFFFll)
        return FALSE;
    const DWORD bytes = static_cast<DWORD>(size.QuadPart);
    GlobalBlock block{GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, static_cast<SIZE_T>(bytes) + 1)};
    if (!block.handle)
        return FALSE;
    DWORD read = 0;
    if (!ReadFile(file.handle, block.handle, bytes, &read, nullptr) || read != bytes)
        return FALSE;
    return ParseMemory(static_cast<const BYTE*>(block.handle), bytes, swapRedBlue, TRUE);
}

BOOL TiffFile::ParseMemory(const BYTE* data, DWORD size, BOOL swapRedBlue, BOOL copyPixels) {
    if (!data || size < 8)
        return FALSE;
    bool bigEndian = false;
    if (data[0] == 'M' && data[1] == 'M')
        bigEndian = true;
    else if (data[0] != 'I' || data[1] != 'I')
        VOM_THROW("Invalid TIFF Order.");
    const Reader in{data, bigEndian};
    if (in.word(2) != 42)
        VOM_THROW("Invalid TIFF Version.");
    m_order[0] = m_order[1] = static_cast<char>(data[0]);
    m_version = 42;
    m_firstIfd = in.dword(4);

    // The first directory.
    const std::uint64_t at = m_firstIfd;
    if (at + 2 > size)
        VOM_THROW("TIFF directory outside the file.");
    const DWORD count = in.word(at);
    if (at + 2 + 12ull * count > size)
        VOM_THROW("TIFF directory entries outside the file.");
    std::vector<std::unique_ptr<TiffIfdEntry>> read;
    read.reserve(count);
    std::uint64_t valueBytes = 0;
    for (DWORD i = 0; i < count; ++i) {
        const std::uint64_t p = at + 2 + 12ull * i;
        auto entry = TiffIfdEntry::Create(in.word(p), in.word(p + 2));
        const DWORD elements = in.dword(p + 4);
        const std::uint64_t bytes =
            static_cast<std::uint64_t>(elements) * TiffIfdEntry::TypeSize(entry->GetType());
        std::uint64_t from = p + 8;
        if (bytes > 4) {
            from = in.dword(p + 8);
            if (from > size || bytes > size - from)
                VOM_THROW("TIFF value outside the file.");
            // Values of a sound file do not overlap; this keeps a hostile directory from multiplying
            // the file's bytes.
            valueBytes += bytes;
            if (valueBytes > 2ull * size)
                VOM_THROW("TIFF directory values exceed the file.");
        }
        entry->Read(data + from, elements, bigEndian);
        read.push_back(std::move(entry));
    }
    // A tag set twice keeps its last value, at the place of its last occurrence. (A map of the tags
    // present: a table of all 65536 tags cost more than the parse of a small file.)
    std::unordered_map<WORD, DWORD> last;
    last.reserve(count);
    for (DWORD i = 0; i < count; ++i)
        last[read[i]->GetTag()] = i;
    std::erase_if(m_entries, [&](const auto& e) { return last.contains(e->GetTag()); });
    for (DWORD i = 0; i < count; ++i)
        if (last.at(read[i]->GetTag()) == i)
            m_entries.push_back(std::move(read[i]));

    // Where the pixels are, and whether their layout can be read.
    const auto width = ImageWidth(), height = ImageLength(), offset = StripOffset();
    if (!width || !*width || !height || !*height || !offset || !*offset || StripBytes() == 0)
        return FALSE;
    if (GetTagValue(TIFFTAG_COMPRESSION).value_or(1) != 1)
        VOM_THROW("Compressed TIFF images are not supported.");
    if (GetTagValue(TIFFTAG_PHOTOMETRIC) == 3u)
        VOM_THROW("Palette TIFF images are not supported.");
    const DWORD samples = SamplesPerPixel().value_or(1);
    const TiffIfdEntry* bitsEntry = FindTag(TIFFTAG_BITSPERSAMPLE);
    if (samples == 0 || !bitsEntry || (bitsEntry->GetCount() != 1 && bitsEntry->GetCount() != samples))
        VOM_THROW("TIFF samples per pixel and bits per sample do not match.");
    const DWORD bits = bitsEntry->GetValue(0);
    for (DWORD i = 1; i < bitsEntry->GetCount(); ++i)
        if (bitsEntry->GetValue(i) != bits)
            VOM_THROW("TIFF images with samples of different sizes are not supported.");
    if (bits != 8 && bits != 16 && bits != 32)
        VOM_THROW("TIFF images of this bit depth are not supported.");
    const DWORD planar = GetTagValue(TIFFTAG_PLANARCONFIG).value_or(1);
    if (planar != 1 && planar != 2)
        VOM_THROW("Invalid TIFF planar configuration.");
    if (IsYCbCr()) {
        const DWORD h = GetTagValue(TIFFTAG_YCBCRSUBSAMPLING, 0).value_or(2);
        const DWORD v = GetTagValue(TIFFTAG_YCBCRSUBSAMPLING, 1).value_or(2);
        if (bits != 8 || samples != 3 || planar != 1 || h != 2 || v != 1)
            VOM_THROW("TIFF YCbCr images other than 8-bit 4:2:2 are not supported.");
    }
    const std::uint64_t expected = ImageBytes();
    if (expected == 0 || expected > size)
        VOM_THROW("TIFF strips hold fewer bytes than the image.");
    if (!copyPixels)
        return TRUE;

    std::vector<BYTE> pixels = GatherStrips(data, size);
    // Samples wider than a byte are kept in host order.
    const std::size_t sampleBytes = bits / 8;
    if (bigEndian && sampleBytes > 1) {
        for (std::size_t i = 0; i + sampleBytes <= pixels.size(); i += sampleBytes)
            std::reverse(pixels.begin() + i, pixels.begin() + i + sampleBytes);
    }
    // Red and blue change places for display as bitmap rows (blue, green, red).
    if (swapRedBlue && !IsYCbCr() && samples >= 3) {
        const std::size_t pixelBytes = sampleBytes * samples;
        for (std::size_t i = 0; i + pixelBytes <= pixels.size(); i += pixelBytes)
            std::swap_ranges(pixels.begin() + i, pixels.begin() + i + sampleBytes,
                             pixels.begin() + i + 2 * sampleBytes);
    }
    SetPixels(pixels.data(), static_cast<DWORD>(pixels.size()), 0);
    return m_pixels ? TRUE : FALSE;
}

std::vector<BYTE> TiffFile::GatherStrips(const BYTE* data, DWORD size) const {
    const TiffIfdEntry* offsets = FindTag(TIFFTAG_STRIPOFFSETS);
    const TiffIfdEntry* counts = FindTag(TIFFTAG_STRIPBYTECOUNTS);
    if (!offsets || !counts || offsets->GetCount() != counts->GetCount())
        VOM_THROW("TIFF strip tables do not match.");
    const DWORD samples = SamplesPerPixel().value_or(1);
    const bool separate = GetTagValue(TIFFTAG_PLANARCONFIG).value_or(1) == 2 && samples > 1;
    const DWORD planes = separate ? samples : 1;
    const DWORD strips = offsets->GetCount();
    if (strips % planes != 0)
        VOM_THROW("TIFF strip tables do not match.");
    const std::uint64_t expected = ImageBytes();
    const std::uint64_t planeBytes = expected / planes;

    std::vector<BYTE> gathered(expected);
    for (DWORD p = 0; p < planes; ++p) {
        std::uint64_t filled = 0;
        for (DWORD s = p * (strips / planes); s < (p + 1) * (strips / planes) && filled < planeBytes; ++s) {
            const std::uint64_t off = offsets->GetValue(s), cnt = counts->GetValue(s);
            if (off > size || cnt > size - off)
                VOM_THROW("TIFF strip outside the file.");
            const std::uint64_t take = std::min(cnt, planeBytes - filled);
            std::memcpy(gathered.data() + p * planeBytes + filled, data + off, take);
            filled += take;
        }
        if (filled < planeBytes)
            VOM_THROW("TIFF strips hold fewer bytes than the image.");
    }
    if (!separate)
        return gathered;

    // Planes one after the other become samples side by side.
    std::vector<BYTE> chunky(expected);
    const std::uint64_t sampleBytes = BitsPerPixel().value_or(0) / samples / 8;
    const std::uint64_t pixels = planeBytes / sampleBytes;
    for (DWORD p = 0; p < planes; ++p) {
        const BYTE* plane = gathered.data() + p * planeBytes;
        for (std::uint64_t i = 0; i < pixels; ++i)
            std::memcpy(chunky.data() + (i * samples + p) * sampleBytes, plane + i * sampleBytes,
                        sampleBytes);
    }
    return chunky;
}
