// AVI files: opening, creating, information, streams and file data chunks.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "platform/vfw/avi_objects.h"
#include "platform/win32/native_path.h"
#include "platform/win32/system.h"

const CLSID CLSID_AVIFile = {0x00020000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace kivic::vfw {

namespace {

constexpr ULONGLONG kDefaultRiffLimit = 1ull << 30;
std::atomic<ULONGLONG> g_riffLimit{kDefaultRiffLimit};
std::atomic<int> g_initCount{0};

std::mutex& HandleMutex() {
    static std::mutex m;
    return m;
}
std::unordered_set<const void*>& Handles() {
    static std::unordered_set<const void*> handles;
    return handles;
}

} // namespace

void RegisterHandle(const void* object) {
    std::lock_guard lock(HandleMutex());
    Handles().insert(object);
}
void UnregisterHandle(const void* object) {
    std::lock_guard lock(HandleMutex());
    Handles().erase(object);
}
bool IsLiveHandle(const void* object) {
    if (!object)
        return false;
    std::lock_guard lock(HandleMutex());
    return Handles().count(object) != 0;
}

ULONG AddRefHandle(AviRefCounted* object) {
    if (!IsLiveHandle(object))
        return 0;
    return ++object->refs;
}

ULONG ReleaseHandle(AviRefCounted* object) {
    if (!IsLiveHandle(object))
        return 0;
    const ULONG left = --object->refs;
    if (left == 0) {
        UnregisterHandle(object);
        delete object;
    }
    return left;
}

HRESULT ReadDataChunk(const std::vector<DataChunk>& chunks, DWORD ckid, void* data, LONG* size) {
    for (const auto& chunk : chunks) {
        if (chunk.ckid != ckid)
            continue;
        const LONG needed = static_cast<LONG>(chunk.data.size());
        if (!data) {
            *size = needed;
            return AVIERR_OK;
        }
        if (*size < needed) {
            *size = needed;
            return AVIERR_BUFFERTOOSMALL;
        }
        std::copy(chunk.data.begin(), chunk.data.end(), static_cast<BYTE*>(data));
        *size = needed;
        return AVIERR_OK;
    }
    return AVIERR_NODATA;
}

ULONGLONG RiffSizeLimit() {
    return g_riffLimit.load();
}

AviFile::~AviFile() {
    if (writer) {
        std::lock_guard lock(mutex);
        // Nobody asked whether the file was finished: the log is all that can tell.
        if (!finished && Finish() != AVIERR_OK)
            OutputDebugStringA("AVIFile: the file could not be finished\n");
    }
    file.Close();
}

HRESULT AviFile::Finish() {
    if (!finished) {
        finished = true;
        finishResult = writer->Finish();
    }
    return finishResult;
}

HRESULT AviFile::Open(const char* path, UINT mode, AviFile** out) {
    *out = nullptr;
    if (!path || !*path)
        return AVIERR_FILEOPEN;
    auto avi = std::make_unique<AviFile>();
    const std::string native = kivic::win32::NativePath(path);
    if (mode & OF_CREATE) {
        if (!avi->file.Create(native))
            return AVIERR_FILEOPEN;
        avi->writer = std::make_unique<AviWriter>(avi->file, RiffSizeLimit());
    } else {
        if (!avi->file.OpenRead(native))
            return AVIERR_FILEOPEN;
        const HRESULT hr = ReadAviContent(avi->file, avi->content);
        if (hr != AVIERR_OK)
            return hr;
    }
    *out = avi.release();
    return AVIERR_OK;
}

int AviFile::StreamCount() const {
    return writer ? writer->StreamCount() : static_cast<int>(content.streams.size());
}

const StreamContent& AviFile::StreamAt(int index) const {
    return writer ? writer->Stream(index) : content.streams[index];
}

} // namespace kivic::vfw

using kivic::vfw::AviFile;
using kivic::vfw::IsLiveHandle;

void AVIFileInit() {
    ++kivic::vfw::g_initCount;
}
void AVIFileExit() {
    int count = kivic::vfw::g_initCount.load();
    while (count > 0 && !kivic::vfw::g_initCount.compare_exchange_weak(count, count - 1)) {
    }
}

ULONGLONG AVISetRiffSizeLimit(ULONGLONG bytes) {
    // Never above the default: a RIFF must stay well inside what 32-bit sizes and offsets can say.
    const ULONGLONG limit = (bytes == 0 || bytes > kivic::vfw::kDefaultRiffLimit)
                                ? kivic::vfw::kDefaultRiffLimit
                                : std::max<ULONGLONG>(bytes, 4096);
    return kivic::vfw::g_riffLimit.exchange(limit);
}

HRESULT AVIFileOpenA(PAVIFILE* file, LPCSTR fileName, UINT mode, const CLSID* handler) {
    if (!file)
        return AVIERR_BADPARAM;
    *file = nullptr;
    if (handler && *handler != CLSID_AVIFile)
        return REGDB_E_CLASSNOTREG;
    AviFile* avi = nullptr;
    const HRESULT hr = AviFile::Open(fileName, mode, &avi);
    if (hr != AVIERR_OK)
        return hr;
    kivic::vfw::RegisterHandle(avi);
    *file = avi;
    return AVIERR_OK;
}

ULONG AVIFileAddRef(PAVIFILE file) {
    return kivic::vfw::AddRefHandle(file);
}

ULONG AVIFileRelease(PAVIFILE file) {
    return kivic::vfw::ReleaseHandle(file);
}

HRESULT AVIFileFinish(PAVIFILE file) {
    if (!IsLiveHandle(file))
        return AVIERR_BADHANDLE;
    auto* avi = static_cast<AviFile*>(file);
    std::lock_guard lock(avi->mutex);
    if (!avi->writer)
        return AVIERR_READONLY;
    return avi->Finish();
}

HRESULT AVIFileInfoA(PAVIFILE file, AVIFILEINFOA* info, LONG size) {
    if (!IsLiveHandle(file))
        return AVIERR_BADHANDLE;
    if (!info || size < 0)
        return AVIERR_BADPARAM;
    auto* avi = static_cast<AviFile*>(file);
    std::lock_guard lock(avi->mutex);
    AVIFILEINFOA i{};
    i.dwStreams = static_cast<DWORD>(avi->StreamCount());
    i.dwCaps = AVIFILECAPS_CANREAD | AVIFILECAPS_ALLKEYFRAMES | (avi->writer ? AVIFILECAPS_CANWRITE : 0u);
    i.dwFlags = AVIFILEINFO_HASINDEX;
    i.dwMaxBytesPerSec = avi->content.maxBytesPerSec;
    i.dwSuggestedBufferSize = avi->content.suggestedBufferSize;
    // Size, rate and length come from the first video stream.
    for (int s = 0; s < avi->StreamCount(); ++s) {
        const auto& stream = avi->StreamAt(s);
        i.dwSuggestedBufferSize = std::max(i.dwSuggestedBufferSize, stream.info.dwSuggestedBufferSize);
        if (stream.info.fccType != streamtypeVIDEO || i.dwRate != 0)
            continue;
        i.dwScale = stream.info.dwScale;
        i.dwRate = stream.info.dwRate;
        i.dwLength = static_cast<DWORD>(stream.Length());
        if (stream.format.size() >= sizeof(BITMAPINFOHEADER)) {
            BITMAPINFOHEADER h;
            std::memcpy(&h, stream.format.data(), sizeof h);
            i.dwWidth = static_cast<DWORD>(h.biWidth);
            i.dwHeight =
                static_cast<DWORD>(h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight);
        } else {
            i.dwWidth = static_cast<DWORD>(stream.info.rcFrame.right - stream.info.rcFrame.left);
            i.dwHeight = static_cast<DWORD>(stream.info.rcFrame.bottom - stream.info.rcFrame.top);
        }
    }
    if (i.dwRate == 0) {
        i.dwWidth = avi->content.width;
        i.dwHeight = avi->content.height;
    }
    std::snprintf(i.szFileType, sizeof i.szFileType, "AVI: Standard AVI File");
    std::memcpy(info, &i, std::min<std::size_t>(sizeof i, static_cast<std::size_t>(size)));
    return AVIERR_OK;
}

HRESULT AVIFileGetStream(PAVIFILE file, PAVISTREAM* stream, DWORD fccType, LONG param) {
    if (!stream)
        return AVIERR_BADPARAM;
    *stream = nullptr;
    if (!IsLiveHandle(file))
        return AVIERR_BADHANDLE;
    auto* avi = static_cast<AviFile*>(file);
    int found = -1;
    {
        std::lock_guard lock(avi->mutex);
        LONG seen = 0;
        for (int s = 0; s < avi->StreamCount() && found < 0; ++s) {
            if (fccType != 0 && avi->StreamAt(s).info.fccType != fccType)
                continue;
            if (seen++ == param)
                found = s;
        }
    }
    if (found < 0 || param < 0)
        return AVIERR_NODATA;
    *stream = kivic::vfw::NewFileStream(avi, found);
    return AVIERR_OK;
}

HRESULT AVIFileCreateStreamA(PAVIFILE file, PAVISTREAM* stream, const AVISTREAMINFOA* info) {
    if (!stream || !info)
        return AVIERR_BADPARAM;
    *stream = nullptr;
    if (!IsLiveHandle(file))
        return AVIERR_BADHANDLE;
    auto* avi = static_cast<AviFile*>(file);
    int index;
    {
        std::lock_guard lock(avi->mutex);
        if (!avi->Writable())
            return AVIERR_READONLY;
        if (avi->writer->StreamCount() >= 100)
            return AVIERR_UNSUPPORTED;
        index = avi->writer->AddStream(*info);
    }
    *stream = kivic::vfw::NewFileStream(avi, index);
    return AVIERR_OK;
}

HRESULT AVIFileWriteData(PAVIFILE file, DWORD ckid, LPVOID data, LONG size) {
    if (!IsLiveHandle(file))
        return AVIERR_BADHANDLE;
    if (size < 0 || (size > 0 && !data))
        return AVIERR_BADPARAM;
    auto* avi = static_cast<AviFile*>(file);
    std::lock_guard lock(avi->mutex);
    if (!avi->Writable())
        return AVIERR_READONLY;
    avi->writer->AddFileData(ckid, data, static_cast<std::size_t>(size));
    return AVIERR_OK;
}

HRESULT AVIFileReadData(PAVIFILE file, DWORD ckid, LPVOID data, LONG* size) {
    if (!IsLiveHandle(file))
        return AVIERR_BADHANDLE;
    if (!size)
        return AVIERR_BADPARAM;
    auto* avi = static_cast<AviFile*>(file);
    std::lock_guard lock(avi->mutex);
    return kivic::vfw::ReadDataChunk(avi->content.fileData, ckid, data, size);
}
