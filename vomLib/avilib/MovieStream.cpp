// Streams of an AVI file.
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieStream.h"

namespace {

PAVIFILE TakeFile(CMovieFile& file) {
    PAVIFILE handle = file.GetHandle();
    return handle && AVIFileAddRef(handle) != 0 ? handle : nullptr;
}

} // namespace

CMovieStream::CMovieStream(CMovieFile& file) : m_file(TakeFile(file)) {}

CMovieStream::CMovieStream(CMovieFile& file, LONG index) : m_file(TakeFile(file)) {
    const HRESULT result = AVIFileGetStream(m_file, &m_stream, 0, index);
    if (result != AVIERR_OK) {
        AVIFileRelease(m_file);
        throw CMovieException(result, "Failed. Get AVI file stream");
    }
}

CMovieStream::CMovieStream(CMovieFile& file, DWORD fccType) : m_file(TakeFile(file)) {
    const HRESULT result = AVIFileGetStream(m_file, &m_stream, fccType, 0);
    if (result != AVIERR_OK) {
        AVIFileRelease(m_file);
        throw CMovieException(result, "Failed. Get AVI file stream");
    }
}

CMovieStream::~CMovieStream() {
    AVIStreamRelease(m_stream);
    AVIFileRelease(m_file);
}

HRESULT CMovieStream::ReadFormat(LPVOID format, LONG* size) {
    return AVIStreamReadFormat(m_stream, 0, format, size);
}

HRESULT CMovieStream::Read(LPVOID buffer, LONG* size, LONG position) {
    LONG bytes = 0;
    const HRESULT result = AVIStreamRead(m_stream, position, 1, buffer, size ? *size : 0, &bytes, nullptr);
    if (size)
        *size = bytes;
    return result;
}

LONG CMovieStream::GetSampleSize(LONG position) {
    LONG bytes = 0;
    const HRESULT result = AVIStreamRead(m_stream, position, 1, nullptr, 0, &bytes, nullptr);
    if (result != AVIERR_OK)
        throw CMovieException(result, "cannot get stream length");
    return bytes;
}

HRESULT CMovieStream::Create(const AVISTREAMINFO* info) {
    if (!info)
        return AVIERR_BADPARAM;
    m_info = *info;
    return Create();
}

HRESULT CMovieStream::Create() {
    if (m_stream) {
        AVIStreamRelease(m_stream);
        m_stream = nullptr;
    }
    return AVIFileCreateStreamA(m_file, &m_stream, &m_info);
}

INT_PTR CMovieStream::SaveOptions(AVICOMPRESSOPTIONS* options, HWND owner, UINT flags, int) {
    PAVISTREAM streams[1] = {m_stream};
    LPAVICOMPRESSOPTIONS list[1] = {options};
    const INT_PTR result = AVISaveOptions(owner, flags, 1, streams, list);
    if (result != 1)
        return result;
    const HRESULT freed = AVISaveOptionsFree(1, list);
    return freed != AVIERR_OK ? static_cast<INT_PTR>(freed) : 1;
}

HRESULT CMovieStream::SetFormat(LPVOID format, LONG size, LONG position) {
    return AVIStreamSetFormat(m_stream, position, format, size);
}

HRESULT CMovieStream::Write(LONG position, LPVOID data, LONG size, DWORD flags) {
    return AVIStreamWrite(m_stream, position, 1, data, size, flags, nullptr, nullptr);
}

HRESULT CMovieStream::WriteData(DWORD ckid, LPVOID data, LONG size) {
    return AVIStreamWriteData(m_stream, ckid, data, size);
}
