#include "platform/afx/core/file.h"

#include <cstring>

#include "platform/win32/errors.h"
#include "platform/win32/files.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

DWORD AccessFor(UINT flags) {
    switch (flags & 3u) {
    case CFile::modeRead:
        return GENERIC_READ;
    case CFile::modeWrite:
        return GENERIC_WRITE;
    default:
        return GENERIC_READ | GENERIC_WRITE;
    }
}

DWORD ShareFor(UINT flags) {
    switch (flags & 0x70u) {
    case CFile::shareDenyWrite:
        return FILE_SHARE_READ;
    case CFile::shareDenyRead:
        return FILE_SHARE_WRITE;
    case CFile::shareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: // shareCompat, shareExclusive
        return 0;
    }
}

DWORD DispositionFor(UINT flags) {
    if ((flags & CFile::modeCreate) == 0)
        return OPEN_EXISTING;
    return (flags & CFile::modeNoTruncate) != 0 ? OPEN_ALWAYS : CREATE_ALWAYS;
}

DWORD AttributesFor(UINT flags) {
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if ((flags & CFile::osSequentialScan) != 0)
        attributes |= FILE_FLAG_SEQUENTIAL_SCAN;
    return attributes;
}

CString FullPathOf(LPCTSTR name) {
    char full[MAX_PATH * 4];
    const DWORD n = GetFullPathNameA(name, sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full)
        return CString(name);
    return CString(full);
}

int LastSeparator(const CString& path) {
    const int slash = path.ReverseFind('/');
    const int backslash = path.ReverseFind('\\');
    return slash > backslash ? slash : backslash;
}

} // namespace

CFile::CFile() : m_hFile(INVALID_HANDLE_VALUE), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : CFile() {
    CFileException error;
    if (!OpenHandle(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile() {
    if (m_hFile != INVALID_HANDLE_VALUE && m_bCloseOnDelete)
        CFile::Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    return OpenHandle(lpszFileName, nOpenFlags, pError);
}

BOOL CFile::OpenHandle(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    ASSERT(m_hFile == INVALID_HANDLE_VALUE);
    if (pError != nullptr)
        pError->ClearError();
    if (lpszFileName == nullptr || *lpszFileName == '\0') {
        if (pError != nullptr) {
            pError->m_cause = CFileException::badPath;
            pError->m_lOsError = ERROR_PATH_NOT_FOUND;
        }
        return FALSE;
    }
    const CString fullPath = FullPathOf(lpszFileName);
    HANDLE handle = CreateFileA(lpszFileName, AccessFor(nOpenFlags), ShareFor(nOpenFlags), nullptr,
                                DispositionFor(nOpenFlags), AttributesFor(nOpenFlags), nullptr);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        const LONG osError = static_cast<LONG>(GetLastError());
        if (pError != nullptr) {
            pError->m_lOsError = osError;
            pError->m_cause = CFileException::OsErrorToException(osError);
            pError->m_strFileName = fullPath;
        }
        return FALSE;
    }
    m_hFile = handle;
    m_bCloseOnDelete = TRUE;
    m_strFileName = fullPath;
    return TRUE;
}

void CFile::ThrowLastError() const {
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    if (nCount == 0)
        return 0;
    if (lpBuf == nullptr)
        AfxThrowInvalidArgException();
    DWORD read = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &read, nullptr))
        ThrowLastError();
    return read;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    if (nCount == 0)
        return;
    if (lpBuf == nullptr)
        AfxThrowInvalidArgException();
    DWORD written = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        ThrowLastError();
    if (written != nCount)
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    LONGLONG origin = 0;
    switch (nFrom) {
    case begin:
        break;
    case current:
        origin = static_cast<LONGLONG>(CFile::GetPosition());
        break;
    case end:
        origin = static_cast<LONGLONG>(CFile::GetLength());
        break;
    default:
        AfxThrowInvalidArgException();
    }
    if ((lOff < 0 && origin + lOff < 0) || (lOff > 0 && origin > INT64_MAX - lOff))
        AfxThrowFileException(CFileException::badSeek, ERROR_NEGATIVE_SEEK, m_strFileName);
    LARGE_INTEGER target{};
    target.QuadPart = origin + lOff;
    LARGE_INTEGER reached{};
    if (!SetFilePointerEx(m_hFile, target, &reached, FILE_BEGIN))
        ThrowLastError();
    return static_cast<ULONGLONG>(reached.QuadPart);
}

ULONGLONG CFile::GetPosition() const {
    LARGE_INTEGER zero{};
    LARGE_INTEGER position{};
    if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        ThrowLastError();
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
    if (dwNewLen > static_cast<ULONGLONG>(INT64_MAX))
        AfxThrowFileException(CFileException::badSeek, ERROR_INVALID_PARAMETER, m_strFileName);
    CFile::Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError();
}

void CFile::Flush() {
    if (m_hFile == INVALID_HANDLE_VALUE)
        return;
    if (!FlushFileBuffers(m_hFile))
        ThrowLastError();
}

void CFile::Close() {
    BOOL ok = TRUE;
    DWORD osError = NO_ERROR;
    if (m_hFile != INVALID_HANDLE_VALUE) {
        ok = CloseHandle(m_hFile);
        if (!ok)
            osError = GetLastError();
    }
    const CString name = m_strFileName;
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
    if (!ok)
        CFileException::ThrowOsError(static_cast<LONG>(osError), name);
}

void CFile::Abort() {
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

CString CFile::GetFileName() const {
    return m_strFileName.Mid(LastSeparator(m_strFileName) + 1);
}

CString CFile::GetFileTitle() const {
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName) {
    if (!MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszOldName);
}

void CFile::Remove(LPCTSTR lpszFileName) {
    if (!DeleteFileA(lpszFileName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszFileName);
}

BOOL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus) {
    std::memset(&rStatus, 0, sizeof rStatus);
    if (lpszFileName == nullptr || *lpszFileName == '\0')
        return FALSE;
    const DWORD attributes = GetFileAttributesA(lpszFileName);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    rStatus.m_attribute = static_cast<BYTE>(attributes & 0x3Fu);
    const CString full = FullPathOf(lpszFileName);
    std::strncpy(rStatus.m_szFullName, full, sizeof rStatus.m_szFullName - 1);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        WIN32_FIND_DATAA data{};
        HANDLE find = FindFirstFileA(lpszFileName, &data);
        if (find != INVALID_HANDLE_VALUE) {
            rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            FindClose(find);
        }
    }
    return TRUE;
}
