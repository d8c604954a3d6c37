// Entries of a TIFF image file directory: a tag, a field type and the values, one class per group of
// field types. Values are held in host form; they are read from either byte order and written
// little-endian.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/types.h"

// TIFF field types.
enum : WORD {
    TIFF_BYTE = 1,
    TIFF_ASCII = 2,
    TIFF_SHORT = 3,
    TIFF_LONG = 4,
    TIFF_RATIONAL = 5,
    TIFF_SBYTE = 6,
    TIFF_UNDEFINED = 7,
    TIFF_SSHORT = 8,
    TIFF_SLONG = 9,
    TIFF_SRATIONAL = 10,
    TIFF_FLOAT = 11,
    TIFF_DOUBLE = 12,
};

class TiffIfdEntry {
public:
    TiffIfdEntry(WORD tag, WORD type) : m_tag(tag), m_type(type) {}
    virtual ~TiffIfdEntry() = default;
    TiffIfdEntry(const TiffIfdEntry&) = delete;
    TiffIfdEntry& operator=(const TiffIfdEntry&) = delete;

    // An empty entry of the class for type; throws vomException "unknown IFD type." for others.
    static std::unique_ptr<TiffIfdEntry> Create(WORD tag, WORD type);
    // Bytes of one element of a field type, 0 for an unknown type.
    static DWORD TypeSize(WORD type);

    WORD GetTag() const { return m_tag; }
    WORD GetType() const { return m_type; }

    // Number of elements (for ASCII the bytes including the terminating NUL).
    virtual DWORD GetCount() const = 0;
    // Bytes of the values: count x element size.
    std::uint64_t GetValueSize() const { return static_cast<std::uint64_t>(GetCount()) * TypeSize(m_type); }
    // Writes "  Code : ", "  Type : ", "  Size : " and one "    Data[i] : " line per element.
    virtual void Dump(std::ostream& out) const = 0;
    // The 12-byte directory entry, little-endian; values of up to 4 bytes stand in it, left-aligned,
    // larger ones are replaced by valueOffset.
    void WriteEntry(BYTE* out, DWORD valueOffset) const;
    // The value bytes, little-endian (GetValueSize() bytes).
    virtual void WriteValue(BYTE* out) const = 0;
    // Sets count elements from value bytes in the file's byte order (big-endian when bigEndian).
    virtual void Read(const BYTE* bytes, DWORD count, bool bigEndian) = 0;
    // Element index as an unsigned number (a rational's quotient, a float truncated, a character's
    // code); 0 past the end.
    virtual DWORD GetValue(DWORD index) const = 0;

protected:
    WORD m_tag;
    WORD m_type;
};

// The numeric groups share one implementation; T is the element as held.
template <typename T> class TiffIfdArray : public TiffIfdEntry {
public:
    using TiffIfdEntry::TiffIfdEntry;
    DWORD GetCount() const override { return static_cast<DWORD>(m_values.size()); }
    void Dump(std::ostream& out) const override;
    void WriteValue(BYTE* out) const override;
    void Read(const BYTE* bytes, DWORD count, bool bigEndian) override;
    DWORD GetValue(DWORD index) const override;

    std::vector<T>& Values() { return m_values; }
    const std::vector<T>& Values() const { return m_values; }

private:
    std::vector<T> m_values;
};

using TiffIfdByte = TiffIfdArray<BYTE>;                        // BYTE, SBYTE, UNDEFINED
using TiffIfdShort = TiffIfdArray<WORD>;                       // SHORT, SSHORT
using TiffIfdLong = TiffIfdArray<DWORD>;                       // LONG, SLONG
using TiffIfdRational = TiffIfdArray<std::pair<DWORD, DWORD>>; // RATIONAL, SRATIONAL
using TiffIfdFloat = TiffIfdArray<float>;                      // FLOAT
using TiffIfdDouble = TiffIfdArray<double>;                    // DOUBLE

class TiffIfdAscii : public TiffIfdEntry {
public:
    using TiffIfdEntry::TiffIfdEntry;
    DWORD GetCount() const override { return static_cast<DWORD>(m_text.size() + 1); }
    void Dump(std::ostream& out) const override;
    void WriteValue(BYTE* out) const override;
    void Read(const BYTE* bytes, DWORD count, bool bigEndian) override;
    DWORD GetValue(DWORD index) const override;

    const std::string& Text() const { return m_text; }
    void SetText(std::string text) { m_text = std::move(text); }

private:
    std::string m_text;
};
