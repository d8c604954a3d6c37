// The framework's text string. It keeps an explicit length, so it may hold embedded zero bytes where
// code stores binary data in it; operator LPCTSTR gives the text with a terminating zero byte.
// Comparisons compare the whole length byte by byte (CompareNoCase ignores ASCII case).
#pragma once

#include <string>
#include <string_view>

#include "platform/afx/core/afxdefs.h"

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCTSTR lpsz);                       // nullptr gives an empty string
    CString(LPCTSTR lpch, int nLength);          // nLength bytes, zero bytes included
    CString(const unsigned char* lpsz);          // text in unsigned bytes
    explicit CString(TCHAR ch, int nRepeat = 1); // ch repeated nRepeat times
    CString(const std::string& str) : m_str(str) {}
    CString(std::string_view str) : m_str(str) {}
    ~CString() = default;

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCTSTR lpsz);
    CString& operator=(TCHAR ch);
    CString& operator=(const unsigned char* lpsz);

    // --- Size and elements ---------------------------------------------------------------------------
    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty() ? TRUE : FALSE; }
    void Empty() { m_str.clear(); }
    TCHAR GetAt(int nIndex) const;
    void SetAt(int nIndex, TCHAR ch);
    TCHAR operator[](int nIndex) const { return GetAt(nIndex); }
    operator LPCTSTR() const { return m_str.c_str(); }
    LPCTSTR GetString() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }

    // --- Concatenation -------------------------------------------------------------------------------
    CString& operator+=(const CString& str);
    CString& operator+=(LPCTSTR lpsz);
    CString& operator+=(TCHAR ch);
    void Append(LPCTSTR lpsz);
    void Append(LPCTSTR lpch, int nLength);
    void Append(const CString& str) { *this += str; }
    void AppendChar(TCHAR ch) { m_str.push_back(ch); }

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCTSTR b);
    friend CString operator+(LPCTSTR a, const CString& b);
    friend CString operator+(const CString& a, TCHAR b);
    friend CString operator+(TCHAR a, const CString& b);

    // --- Comparison ----------------------------------------------------------------------------------
    // <0, 0 or >0 as strcmp; CompareNoCase folds ASCII letters.
    int Compare(LPCTSTR lpsz) const;
    int Compare(const CString& str) const;
    int CompareNoCase(LPCTSTR lpsz) const;
    int CompareNoCase(const CString& str) const;
    int Collate(LPCTSTR lpsz) const { return Compare(lpsz); }
    int CollateNoCase(LPCTSTR lpsz) const { return CompareNoCase(lpsz); }

    friend bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
    friend bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
    friend bool operator!=(const CString& a, LPCTSTR b) { return a.Compare(b) != 0; }
    friend bool operator!=(LPCTSTR a, const CString& b) { return b.Compare(a) != 0; }
    friend bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
    friend bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
    friend bool operator<(LPCTSTR a, const CString& b) { return b.Compare(a) > 0; }
    friend bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
    friend bool operator>(const CString& a, LPCTSTR b) { return a.Compare(b) > 0; }
    friend bool operator>(LPCTSTR a, const CString& b) { return b.Compare(a) < 0; }
    friend bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
    friend bool operator<=(const CString& a, LPCTSTR b) { return a.Compare(b) <= 0; }
    friend bool operator<=(LPCTSTR a, const CString& b) { return b.Compare(a) >= 0; }
    friend bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
    friend bool operator>=(const CString& a, LPCTSTR b) { return a.Compare(b) >= 0; }
    friend bool operator>=(LPCTSTR a, const CString& b) { return b.Compare(a) <= 0; }

    // --- Extraction ----------------------------------------------------------------------------------
    // Out-of-range starts and counts are clamped, as the framework always did.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCTSTR lpszCharSet) const;
    CString SpanExcluding(LPCTSTR lpszCharSet) const;
    // The next token after iStart delimited by any of pszTokens; iStart becomes -1 after the last.
    CString Tokenize(LPCTSTR pszTokens, int& iStart) const;

    // --- Search (index of the first match, -1 when none) ---------------------------------------------
    int Find(TCHAR ch, int nStart = 0) const;
    int Find(LPCTSTR lpszSub, int nStart = 0) const;
    int ReverseFind(TCHAR ch) const;
    int FindOneOf(LPCTSTR lpszCharSet) const;

    // --- Changes in place ----------------------------------------------------------------------------
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    CString& TrimLeft(); // white space
    CString& TrimLeft(TCHAR chTarget);
    CString& TrimLeft(LPCTSTR lpszTargets);
    CString& TrimRight();
    CString& TrimRight(TCHAR chTarget);
    CString& TrimRight(LPCTSTR lpszTargets);
    CString& Trim();
    CString& Trim(TCHAR chTarget);
    CString& Trim(LPCTSTR lpszTargets);
    // Each returns the number of replacements or removals; Insert and Delete return the new length.
    int Replace(TCHAR chOld, TCHAR chNew);
    int Replace(LPCTSTR lpszOld, LPCTSTR lpszNew);
    int Remove(TCHAR chRemove);
    int Insert(int nIndex, TCHAR ch);
    int Insert(int nIndex, LPCTSTR psz);
    int Delete(int nIndex, int nCount = 1);
    void Truncate(int nNewLength);

    // --- Formatting ----------------------------------------------------------------------------------
    void Format(LPCTSTR lpszFormat, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(LPCTSTR lpszFormat, va_list args);
    void AppendFormat(LPCTSTR lpszFormat, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormatV(LPCTSTR lpszFormat, va_list args);

    // --- Direct buffer access ------------------------------------------------------------------------
    // The buffer holds at least nMinBufLength characters plus a terminating zero. After writing,
    // ReleaseBuffer sets the length: up to the first zero byte (-1) or the given count.
    LPTSTR GetBuffer(int nMinBufLength);
    LPTSTR GetBuffer() { return GetBuffer(0); }
    void ReleaseBuffer(int nNewLength = -1);
    // Like GetBuffer, but the length becomes exactly nNewLength at once.
    LPTSTR GetBufferSetLength(int nNewLength);
    void FreeExtra() { m_str.shrink_to_fit(); }
    void Preallocate(int nLength);

private:
    std::string m_str;
};
