#include "platform/afx/core/exceptions.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/win32/errors.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)

namespace {

BOOL CopyMessage(LPCTSTR text, LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    std::snprintf(lpszError, nMaxError, "%s", text);
    return TRUE;
}

const char* CauseText(int cause) {
    switch (cause) {
    case CFileException::none:
        return "No error occurred.";
    case CFileException::fileNotFound:
        return "could not be found.";
    case CFileException::badPath:
        return "contains an incorrect path.";
    case CFileException::tooManyOpenFiles:
        return "could not be opened because there are too many open files.";
    case CFileException::accessDenied:
        return "Access is denied.";
    case CFileException::invalidFile:
        return "An invalid file handle was used.";
    case CFileException::removeCurrentDir:
        return "The current folder cannot be removed.";
    case CFileException::directoryFull:
        return "The folder is full.";
    case CFileException::badSeek:
        return "Could not seek to the requested position.";
    case CFileException::hardIO:
        return "A hardware I/O error was reported.";
    case CFileException::sharingViolation:
        return "A sharing violation occurred.";
    case CFileException::lockViolation:
        return "A locking violation occurred.";
    case CFileException::diskFull:
        return "The disk is full.";
    case CFileException::endOfFile:
        return "An attempt was made to access past the end of the file.";
    default:
        return "An unexpected error occurred.";
    }
}

} // namespace

void CException::Delete() {
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    CopyMessage("", lpszError, nMaxError, pnHelpContext);
    return FALSE;
}

int CException::ReportError(UINT nType, UINT /*nMessageID*/) const {
    char text[512];
    if (!GetErrorMessage(text, sizeof text))
        std::snprintf(text, sizeof text, "%s", "No error message is available.");
    return MessageBoxA(nullptr, text, nullptr, nType);
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    return CopyMessage("Out of memory.", lpszError, nMaxError, pnHelpContext);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    return CopyMessage("An unsupported operation was attempted.", lpszError, nMaxError, pnHelpContext);
}

BOOL CInvalidArgException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    return CopyMessage("An invalid argument was encountered.", lpszError, nMaxError, pnHelpContext);
}

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName) {}

void CFileException::ClearError() {
    m_cause = none;
    m_lOsError = -1;
    m_strFileName.Empty();
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    CString text;
    const CString name = m_strFileName.IsEmpty() ? CString("an unnamed file") : m_strFileName;
    switch (m_cause) {
    case fileNotFound:
    case badPath:
    case tooManyOpenFiles:
        text.Format("%s %s", name.GetString(), CauseText(m_cause));
        break;
    default:
        if (m_strFileName.IsEmpty())
            text = CauseText(m_cause);
        else
            text.Format("%s: %s", name.GetString(), CauseText(m_cause));
        break;
    }
    return CopyMessage(text, lpszError, nMaxError, pnHelpContext);
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName) {
    throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void CFileException::ThrowErrno(int nErrno, LPCTSTR lpszFileName) {
    throw new CFileException(ErrnoToException(nErrno), static_cast<LONG>(Win32ErrorFromErrno(nErrno)),
                             lpszFileName);
}

int CFileException::OsErrorToException(LONG lOsError) {
    switch (lOsError) {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_DIR_NOT_EMPTY:
        return removeCurrentDir;
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_NOT_LOCKED:
        return lockViolation;
    case ERROR_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

int CFileException::ErrnoToException(int nErrno) {
    switch (nErrno) {
    case 0:
        return none;
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EEXIST:
    case EROFS:
    case EISDIR:
        return accessDenied;
    case EBADF:
        return invalidFile;
    case ENOTEMPTY:
    case EBUSY:
        return removeCurrentDir;
    case ESPIPE:
        return badSeek;
    case EIO:
        return hardIO;
    case ENOLCK:
    case EDEADLK:
        return lockViolation;
    case ENOSPC:
    case EFBIG:
        return diskFull;
    default:
        return genericException;
    }
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName) {
    throw new CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowMemoryException() {
    throw new CMemoryException();
}
void AfxThrowNotSupportedException() {
    throw new CNotSupportedException();
}
void AfxThrowInvalidArgException() {
    throw new CInvalidArgException();
}
