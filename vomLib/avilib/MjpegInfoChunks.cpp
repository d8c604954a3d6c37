#include "vomLib/avilib/MjpegInfoChunks.h"

#include <cstdint>
#include <cstring>

#include "platform/win32/errors.h"
#include "platform/win32/files.h"
#include "platform/win32/memory.h"
#include "platform/win32/system.h"

namespace {

constexpr std::uint64_t kMainHeaderOffset = 32;
constexpr std::uint64_t kMainHeaderSize = 56;
constexpr std::uint64_t kStreamsField = 24;
constexpr std::uint64_t kListHeaderSize = 12;
constexpr std::uint64_t kChunkHeaderSize = 8;

bool IdIs(const unsigned char* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

std::uint32_t U32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The open file with its size; every read states where it reads and fails rather than run short.
class InfoChunkFile {
public:
    explicit InfoChunkFile(HANDLE file) : m_file(file) {
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
            m_size = static_cast<std::uint64_t>(size.QuadPart);
        }
    }
    ~InfoChunkFile() { CloseHandle(m_file); }
    InfoChunkFile(const InfoChunkFile&) = delete;
    InfoChunkFile& operator=(const InfoChunkFile&) = delete;

    std::uint64_t Size() const { return m_size; }

    bool ReadAt(std::uint64_t offset, void* buffer, std::uint64_t length) {
        if (offset > m_size || length > m_size - offset || length > 0xFFFFFFFFu) {
            return false;
        }
        LARGE_INTEGER distance{};
        distance.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(m_file, distance, nullptr, FILE_BEGIN)) {
            return false;
        }
        DWORD read = 0;
        return ReadFile(m_file, buffer, static_cast<DWORD>(length), &read, nullptr) && read == length;
    }

    // Reads an 8-byte chunk header at offset whose data must end by limit.
    bool ReadChunk(std::uint64_t offset, std::uint64_t limit, unsigned char header[8],
                   std::uint64_t* dataSize) {
        if (offset > limit || limit - offset < kChunkHeaderSize ||
            !ReadAt(offset, header, kChunkHeaderSize)) {
            return false;
        }
        *dataSize = U32(header + 4);
        return *dataSize <= limit - offset - kChunkHeaderSize;
    }

private:
    HANDLE m_file;
    std::uint64_t m_size = 0;
};

// A RIFF chunk of odd size is followed by a pad byte, which the next chunk header comes after.
std::uint64_t Padded(std::uint64_t size) {
    return size + (size & 1);
}

void ReportOpenFailure() {
    LPSTR text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<LPSTR>(&text), 0, nullptr);
    MessageBoxA(nullptr, text != nullptr ? text : "", "Error", MB_OK | MB_ICONINFORMATION);
    if (text != nullptr) {
        LocalFree(text);
    }
}

int Fail(const char* message) {
    OutputDebugStringA(message);
    return -1;
}

// One stream header list at offset: its 'CSTS' and 'NOTE' chunks. Returns the list's total length, or 0.
std::uint64_t ReadStreamList(InfoChunkFile& file, std::uint64_t offset, std::vector<std::string>& cstsList,
                             std::vector<NOTES>& notesList) {
    unsigned char list[kListHeaderSize];
    if (!file.ReadAt(offset, list, kListHeaderSize) || !IdIs(list, "LIST") || !IdIs(list + 8, "strl")) {
        Fail("ReadInfoChunks: no stream header list\n");
        return 0;
    }
    const std::uint64_t listSize = U32(list + 4);
    if (listSize < 4 || listSize > file.Size() - offset - kChunkHeaderSize) {
        Fail("ReadInfoChunks: stream header list runs past the file\n");
        return 0;
    }
    const std::uint64_t end = offset + kChunkHeaderSize + listSize;
    std::uint64_t position = offset + kListHeaderSize;
    unsigned char header[8];
    std::uint64_t dataSize = 0;
    // 'strh' and 'strf' are skipped whole; the next header only opens the data that holds the blocks.
    for (int skipped = 0; skipped < 2; ++skipped) {
        if (!file.ReadChunk(position, end, header, &dataSize)) {
            Fail("ReadInfoChunks: stream header chunk runs past its list\n");
            return 0;
        }
        position += kChunkHeaderSize + Padded(dataSize);
    }
    if (position > end || end - position < kChunkHeaderSize ||
        !file.ReadAt(position, header, kChunkHeaderSize)) {
        Fail("Error CSTS chunk!!!");
        return 0;
    }
    position += kChunkHeaderSize;

    if (!file.ReadChunk(position, end, header, &dataSize) || !IdIs(header, "CSTS")) {
        Fail("Error CSTS chunk!!!");
        return 0;
    }
    std::string csts(static_cast<std::size_t>(dataSize), '\0');
    if (!file.ReadAt(position + kChunkHeaderSize, csts.data(), dataSize)) {
        Fail("Error CSTS chunk!!!");
        return 0;
    }
    cstsList.push_back(std::move(csts));
    position += kChunkHeaderSize + dataSize;
    // The recording system writes the 'NOTE' chunk directly behind the 'CSTS' data; a writer that
    // treats the two as RIFF chunks puts a pad byte between them when the 'CSTS' data are odd.
    if ((dataSize & 1) != 0 && end - position > kChunkHeaderSize) {
        unsigned char id[4];
        if (file.ReadAt(position, id, 4) && !IdIs(id, "NOTE") && file.ReadAt(position + 1, id, 4) &&
            IdIs(id, "NOTE")) {
            ++position;
        }
    }

    if (!file.ReadChunk(position, end, header, &dataSize) || !IdIs(header, "NOTE")) {
        Fail("Error NOTES chunk!!!");
        return 0;
    }
    std::string note(static_cast<std::size_t>(dataSize), '\0');
    if (!file.ReadAt(position + kChunkHeaderSize, note.data(), dataSize)) {
        Fail("Error NOTES chunk!!!");
        return 0;
    }
    NOTES notes;
    notes.Parse(note.data(), note.size());
    notesList.push_back(std::move(notes));
    return kChunkHeaderSize + Padded(listSize);
}

} // namespace

int ReadInfoChunks(const char* fileName, std::vector<std::string>& cstsList, std::vector<NOTES>& notesList) {
    HANDLE handle = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        ReportOpenFailure();
        return -1;
    }
    InfoChunkFile file(handle);

    unsigned char head[kMainHeaderOffset + kMainHeaderSize];
    if (!file.ReadAt(0, head, sizeof head)) {
        return Fail("ReadInfoChunks: file too short for an AVI header\n");
    }
    if (!IdIs(head, "RIFF") || !IdIs(head + 8, "AVI ") || !IdIs(head + 12, "LIST") ||
        !IdIs(head + 20, "hdrl") || !IdIs(head + 24, "avih")) {
        return Fail("ReadInfoChunks: not an AVI file\n");
    }
    const std::uint64_t mainHeaderSize = U32(head + 28);
    if (mainHeaderSize < kMainHeaderSize || mainHeaderSize > file.Size() - kMainHeaderOffset) {
        return Fail("ReadInfoChunks: bad main AVI header\n");
    }
    // The stream lists follow the main header; a list needs at least its 12-byte header.
    std::uint64_t offset = kMainHeaderOffset + Padded(mainHeaderSize);
    const std::uint64_t streams = U32(head + kMainHeaderOffset + kStreamsField);
    if (offset > file.Size() || streams > (file.Size() - offset) / kListHeaderSize) {
        return Fail("ReadInfoChunks: more streams than the file can hold\n");
    }
    for (std::uint64_t i = 0; i < streams; ++i) {
        const std::uint64_t length = ReadStreamList(file, offset, cstsList, notesList);
        if (length == 0) {
            return -1;
        }
        offset += length;
    }
    return 0;
}
