#include "platform/afx/core/cstring.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/afx/core/exceptions.h"

namespace {

int FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

bool IsWhite(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

int Sign(long long v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Byte-wise comparison over both full lengths, so embedded zero bytes count.
int CompareBytes(std::string_view a, std::string_view b, bool foldCase) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = static_cast<unsigned char>(a[i]);
        int cb = static_cast<unsigned char>(b[i]);
        if (foldCase) {
            ca = FoldAscii(static_cast<unsigned char>(ca));
            cb = FoldAscii(static_cast<unsigned char>(cb));
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return Sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

std::string_view View(LPCTSTR lpsz) {
    return lpsz != nullptr ? std::string_view(lpsz) : std::string_view();
}

size_t Clamp(int value, size_t high) {
    if (value < 0)
        return 0;
    return std::min(static_cast<size_t>(value), high);
}

} // namespace

CString::CString(LPCTSTR lpsz) {
    if (lpsz != nullptr)
        m_str = lpsz;
}

CString::CString(LPCTSTR lpch, int nLength) {
    if (lpch != nullptr && nLength > 0)
        m_str.assign(lpch, static_cast<size_t>(nLength));
}

CString::CString(const unsigned char* lpsz) : CString(reinterpret_cast<LPCTSTR>(lpsz)) {}

CString::CString(TCHAR ch, int nRepeat) {
    if (nRepeat > 0)
        m_str.assign(static_cast<size_t>(nRepeat), ch);
}

CString& CString::operator=(LPCTSTR lpsz) {
    if (lpsz == nullptr)
        m_str.clear();
    else
        m_str = lpsz; // std::string handles a pointer into itself
    return *this;
}

CString& CString::operator=(TCHAR ch) {
    m_str.assign(1, ch);
    return *this;
}

CString& CString::operator=(const unsigned char* lpsz) {
    return *this = reinterpret_cast<LPCTSTR>(lpsz);
}

TCHAR CString::GetAt(int nIndex) const {
    if (nIndex < 0 || static_cast<size_t>(nIndex) > m_str.size())
        AfxThrowInvalidArgException();
    return m_str.c_str()[nIndex];
}

void CString::SetAt(int nIndex, TCHAR ch) {
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_str.size())
        AfxThrowInvalidArgException();
    m_str[static_cast<size_t>(nIndex)] = ch;
}

CString& CString::operator+=(const CString& str) {
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(LPCTSTR lpsz) {
    if (lpsz != nullptr)
        m_str += lpsz;
    return *this;
}

CString& CString::operator+=(TCHAR ch) {
    m_str.push_back(ch);
    return *this;
}

void CString::Append(LPCTSTR lpsz) {
    *this += lpsz;
}

void CString::Append(LPCTSTR lpch, int nLength) {
    if (lpch != nullptr && nLength > 0)
        m_str.append(lpch, static_cast<size_t>(nLength));
}

CString operator+(const CString& a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, LPCTSTR b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(LPCTSTR a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, TCHAR b) {
    CString result(a);
    result += b;
    return result;
}

CString operator+(TCHAR a, const CString& b) {
    CString result(a);
    result += b;
    return result;
}

int CString::Compare(LPCTSTR lpsz) const {
    return CompareBytes(m_str, View(lpsz), false);
}
int CString::Compare(const CString& str) const {
    return CompareBytes(m_str, str.m_str, false);
}
int CString::CompareNoCase(LPCTSTR lpsz) const {
    return CompareBytes(m_str, View(lpsz), true);
}
int CString::CompareNoCase(const CString& str) const {
    return CompareBytes(m_str, str.m_str, true);
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    const size_t first = Clamp(nFirst, m_str.size());
    const size_t count = Clamp(nCount, m_str.size() - first);
    return CString(std::string_view(m_str).substr(first, count));
}

CString CString::Left(int nCount) const {
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const {
    const size_t count = Clamp(nCount, m_str.size());
    return CString(std::string_view(m_str).substr(m_str.size() - count));
}

CString CString::SpanIncluding(LPCTSTR lpszCharSet) const {
    const size_t n = m_str.find_first_not_of(View(lpszCharSet));
    return CString(std::string_view(m_str).substr(0, n == std::string::npos ? m_str.size() : n));
}

CString CString::SpanExcluding(LPCTSTR lpszCharSet) const {
    const size_t n = m_str.find_first_of(View(lpszCharSet));
    return CString(std::string_view(m_str).substr(0, n == std::string::npos ? m_str.size() : n));
}

CString CString::Tokenize(LPCTSTR pszTokens, int& iStart) const {
    if (iStart < 0 || static_cast<size_t>(iStart) >= m_str.size()) {
        iStart = -1;
        return CString();
    }
    const std::string_view tokens = View(pszTokens);
    const size_t from = m_str.find_first_not_of(tokens, static_cast<size_t>(iStart));
    if (from == std::string::npos) {
        iStart = -1;
        return CString();
    }
    size_t to = m_str.find_first_of(tokens, from);
    if (to == std::string::npos)
        to = m_str.size();
    iStart = static_cast<int>(std::min(to + 1, m_str.size()));
    return CString(std::string_view(m_str).substr(from, to - from));
}

int CString::Find(TCHAR ch, int nStart) const {
    if (nStart < 0 || static_cast<size_t>(nStart) >= m_str.size())
        return -1;
    const size_t at = m_str.find(ch, static_cast<size_t>(nStart));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCTSTR lpszSub, int nStart) const {
    if (lpszSub == nullptr || nStart < 0 || static_cast<size_t>(nStart) > m_str.size())
        return -1;
    const size_t at = m_str.find(lpszSub, static_cast<size_t>(nStart));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(TCHAR ch) const {
    const size_t at = m_str.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(LPCTSTR lpszCharSet) const {
    const size_t at = m_str.find_first_of(View(lpszCharSet));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString& CString::MakeUpper() {
    for (char& c : m_str) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return *this;
}

CString& CString::MakeLower() {
    for (char& c : m_str) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return *this;
}

CString& CString::MakeReverse() {
    std::reverse(m_str.begin(), m_str.end());
    return *this;
}

CString& CString::TrimLeft() {
    const auto it = std::find_if(m_str.begin(), m_str.end(), [](char c) { return !IsWhite(c); });
    m_str.erase(m_str.begin(), it);
    return *this;
}

CString& CString::TrimLeft(TCHAR chTarget) {
    const size_t n = m_str.find_first_not_of(chTarget);
    m_str.erase(0, n == std::string::npos ? m_str.size() : n);
    return *this;
}

CString& CString::TrimLeft(LPCTSTR lpszTargets) {
    const size_t n = m_str.find_first_not_of(View(lpszTargets));
    m_str.erase(0, n == std::string::npos ? m_str.size() : n);
    return *this;
}

CString& CString::TrimRight() {
    while (!m_str.empty() && IsWhite(m_str.back()))
        m_str.pop_back();
    return *this;
}

CString& CString::TrimRight(TCHAR chTarget) {
    while (!m_str.empty() && m_str.back() == chTarget)
        m_str.pop_back();
    return *this;
}

CString& CString::TrimRight(LPCTSTR lpszTargets) {
    const size_t n = m_str.find_last_not_of(View(lpszTargets));
    m_str.erase(n == std::string::npos ? 0 : n + 1);
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}
CString& CString::Trim(TCHAR chTarget) {
    return TrimRight(chTarget).TrimLeft(chTarget);
}
CString& CString::Trim(LPCTSTR lpszTargets) {
    return TrimRight(lpszTargets).TrimLeft(lpszTargets);
}

int CString::Replace(TCHAR chOld, TCHAR chNew) {
    int count = 0;
    for (char& c : m_str) {
        if (c == chOld) {
            c = chNew;
            ++count;
        }
    }
    return count;
}

int CString::Replace(LPCTSTR lpszOld, LPCTSTR lpszNew) {
    const std::string_view from = View(lpszOld);
    if (from.empty())
        return 0;
    const std::string_view to = View(lpszNew);
    std::string result;
    int count = 0;
    size_t pos = 0;
    for (size_t at = m_str.find(from); at != std::string::npos; at = m_str.find(from, pos)) {
        result.append(m_str, pos, at - pos);
        result.append(to);
        pos = at + from.size();
        ++count;
    }
    if (count > 0) {
        result.append(m_str, pos, std::string::npos);
        m_str.swap(result);
    }
    return count;
}

int CString::Remove(TCHAR chRemove) {
    const size_t before = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), chRemove), m_str.end());
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int nIndex, TCHAR ch) {
    m_str.insert(Clamp(nIndex, m_str.size()), 1, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCTSTR psz) {
    if (psz != nullptr) {
        const std::string copy(psz); // psz may point into this string
        m_str.insert(Clamp(nIndex, m_str.size()), copy);
    }
    return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
    const size_t at = Clamp(nIndex, m_str.size());
    m_str.erase(at, Clamp(nCount, m_str.size() - at));
    return GetLength();
}

void CString::Truncate(int nNewLength) {
    if (nNewLength >= 0 && static_cast<size_t>(nNewLength) < m_str.size())
        m_str.resize(static_cast<size_t>(nNewLength));
}

void CString::Format(LPCTSTR lpszFormat, ...) {
    va_list args;
    va_start(args, lpszFormat);
    FormatV(lpszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCTSTR lpszFormat, va_list args) {
    m_str.clear();
    AppendFormatV(lpszFormat, args);
}

void CString::AppendFormat(LPCTSTR lpszFormat, ...) {
    va_list args;
    va_start(args, lpszFormat);
    AppendFormatV(lpszFormat, args);
    va_end(args);
}

void CString::AppendFormatV(LPCTSTR lpszFormat, va_list args) {
    if (lpszFormat == nullptr)
        return;
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(nullptr, 0, lpszFormat, args);
    if (needed > 0) {
        const size_t old = m_str.size();
        m_str.resize(old + static_cast<size_t>(needed));
        // The string's own terminator slot takes the zero that vsnprintf writes.
        std::vsnprintf(m_str.data() + old, static_cast<size_t>(needed) + 1, lpszFormat, again);
    }
    va_end(again);
}

LPTSTR CString::GetBuffer(int nMinBufLength) {
    if (nMinBufLength > 0 && static_cast<size_t>(nMinBufLength) > m_str.size())
        m_str.resize(static_cast<size_t>(nMinBufLength), '\0');
    return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0)
        m_str.resize(std::strlen(m_str.c_str()));
    else
        m_str.resize(std::min(static_cast<size_t>(nNewLength), m_str.size()));
}

LPTSTR CString::GetBufferSetLength(int nNewLength) {
    m_str.resize(nNewLength > 0 ? static_cast<size_t>(nNewLength) : 0, '\0');
    return m_str.data();
}

void CString::Preallocate(int nLength) {
    if (nLength > 0)
        m_str.reserve(static_cast<size_t>(nLength));
}
