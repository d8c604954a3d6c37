// AVI files through the AVIFile layer.
#include <cstdio>

#include "platform/win32/files.h"
#include "platform/win32/system.h"
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieStream.h"

CMovieFile::CMovieFile() {
    AVIFileInit();
}

CMovieFile::CMovieFile(LPCSTR name, UINT mode) {
    AVIFileInit();
    const HRESULT result = Open(name, mode);
    if (result != AVIERR_OK) {
        // The destructor does not run for a throwing constructor; balance the initialisation here.
        AVIFileExit();
        throw CMovieException(result, OpenErrorMessage(result));
    }
}

CMovieFile::CMovieFile(PAVIFILE handle) {
    AVIFileInit();
    if (handle && AVIFileAddRef(handle) != 0)
        m_file = handle;
}

CMovieFile::~CMovieFile() {
    if (m_file) {
        const ULONG left = AVIFileRelease(m_file);
        char text[64];
        std::snprintf(text, sizeof text, "AVIFileRelease:%ld", static_cast<long>(left));
        OutputDebugStringA(text);
        m_file = nullptr;
    }
    AVIFileExit();
}

const char* CMovieFile::OpenErrorMessage(HRESULT result) {
    switch (result) {
    case AVIERR_BADFORMAT:
        return "Fail to AVIFileOpen. AVI bad format ";
    case AVIERR_MEMORY:
        return "Fail to AVIFileOpen. memory error   ";
    case AVIERR_FILEREAD:
        return "Fail to AVIFileOpen. file read error";
    case AVIERR_FILEOPEN:
    case REGDB_E_CLASSNOTREG:
        return "Fail to AVIFileOpen. file open error";
    default:
        return "Fail to AVIFileOpen. unknown error  ";
    }
}

HRESULT CMovieFile::Open(LPCSTR name, UINT mode) {
    m_name = name;
    if (mode & OF_CREATE)
        DeleteFileA(name);
    if (m_file) {
        AVIFileRelease(m_file);
        m_file = nullptr;
    }
    return AVIFileOpenA(&m_file, name, mode, &CLSID_AVIFile);
}

HRESULT CMovieFile::Create(LPCSTR name) {
    return Open(name, OF_CREATE | OF_WRITE);
}

HRESULT CMovieFile::GetInfo(AVIFILEINFO* info) {
    return AVIFileInfoA(m_file, info, sizeof(AVIFILEINFO));
}

HRESULT CMovieFile::WriteData(DWORD ckid, LPVOID data, LONG size) {
    return AVIFileWriteData(m_file, ckid, data, size);
}

HRESULT CMovieFile::EnumStreams(const AVIFILEINFO* info, std::vector<CMovieStream*>* list, DWORD fccType) {
    HRESULT result = AVIERR_OK;
    for (DWORD i = 0; i < info->dwStreams; ++i) {
        auto* stream = new CMovieStream(*this, static_cast<LONG>(i));
        result = AVIStreamInfoA(stream->GetHandle(), &stream->Info(), sizeof(AVISTREAMINFO));
        if (result != AVIERR_OK || (fccType != 0 && stream->Info().fccType != fccType))
            delete stream;
        else
            list->push_back(stream);
    }
    return result;
}
