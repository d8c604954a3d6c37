#include "vomLib/Image/TiffIfdEntry.h"

#include <bit>
#include <cstring>
#include <type_traits>

#include "vomLib/Utility/vomException.h"

namespace {

template <typename U> U load(const BYTE* p, bool bigEndian) {
    U v = 0;
    for (std::size_t i = 0; i < sizeof(U); ++i)
        v |= static_cast<U>(p[bigEndian ? i : sizeof(U) - 1 - i]) << (8 * (sizeof(U) - 1 - i));
    return v;
}

template <typename U> void store(BYTE* p, U v) {
    for (std::size_t i = 0; i < sizeof(U); ++i)
        p[i] = static_cast<BYTE>(v >> (8 * i));
}

void header(std::ostream& out, WORD tag, WORD type, std::uint64_t size) {
    out << "  Code : " << std::hex << tag << std::dec << "\n";
    out << "  Type : " << type << "\n";
    out << "  Size : " << size << "\n";
}

} // namespace

std::unique_ptr<TiffIfdEntry> TiffIfdEntry::Create(WORD tag, WORD type) {
    switch (type) {
    case TIFF_BYTE:
    case TIFF_SBYTE:
    case TIFF_UNDEFINED:
        return std::make_unique<TiffIfdByte>(tag, type);
    case TIFF_ASCII:
        return std::make_unique<TiffIfdAscii>(tag, type);
    case TIFF_SHORT:
    case TIFF_SSHORT:
        return std::make_unique<TiffIfdShort>(tag, type);
    case TIFF_LONG:
    case TIFF_SLONG:
        return std::make_unique<TiffIfdLong>(tag, type);
    case TIFF_RATIONAL:
    case TIFF_SRATIONAL:
        return std::make_unique<TiffIfdRational>(tag, type);
    case TIFF_FLOAT:
        return std::make_unique<TiffIfdFloat>(tag, type);
    case TIFF_DOUBLE:
        return std::make_unique<TiffIfdDouble>(tag, type);
    default:
        VOM_THROW("unknown IFD type.");
    }
}

DWORD TiffIfdEntry::TypeSize(WORD type) {
    switch (type) {
    case TIFF_BYTE:
    case TIFF_ASCII:
    case TIFF_SBYTE:
    case TIFF_UNDEFINED:
        return 1;
    case TIFF_SHORT:
    case TIFF_SSHORT:
        return 2;
    case TIFF_LONG:
    case TIFF_SLONG:
    case TIFF_FLOAT:
        return 4;
    case TIFF_RATIONAL:
    case TIFF_SRATIONAL:
    case TIFF_DOUBLE:
        return 8;
    default:
        return 0;
    }
}

void TiffIfdEntry::WriteEntry(BYTE* out, DWORD valueOffset) const {
    store<WORD>(out, m_tag);
    store<WORD>(out + 2, m_type);
    store<DWORD>(out + 4, GetCount());
    std::memset(out + 8, 0, 4);
    if (GetValueSize() <= 4)
        WriteValue(out + 8);
    else
        store<DWORD>(out + 8, valueOffset);
}

template <typename T> void TiffIfdArray<T>::Dump(std::ostream& out) const {
    header(out, m_tag, m_type, GetValueSize());
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        out << "    Data[" << i << "] : ";
        if constexpr (std::is_same_v<T, std::pair<DWORD, DWORD>>)
            out << m_values[i].first << "/" << m_values[i].second;
        else if constexpr (std::is_same_v<T, BYTE>)
            out << static_cast<unsigned>(m_values[i]);
        else
            out << m_values[i];
        out << "\n";
    }
}

template <typename T> void TiffIfdArray<T>::WriteValue(BYTE* out) const {
    for (const T& v : m_values) {
        if constexpr (std::is_same_v<T, std::pair<DWORD, DWORD>>) {
            store<DWORD>(out, v.first);
            store<DWORD>(out + 4, v.second);
            out += 8;
        } else if constexpr (std::is_same_v<T, float>) {
            store<DWORD>(out, std::bit_cast<DWORD>(v));
            out += 4;
        } else if constexpr (std::is_same_v<T, double>) {
            store<std::uint64_t>(out, std::bit_cast<std::uint64_t>(v));
            out += 8;
        } else {
            store<T>(out, v);
            out += sizeof(T);
        }
    }
}

template <typename T> void TiffIfdArray<T>::Read(const BYTE* bytes, DWORD count, bool bigEndian) {
    m_values.clear();
    m_values.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        if constexpr (std::is_same_v<T, std::pair<DWORD, DWORD>>) {
            m_values.emplace_back(load<DWORD>(bytes, bigEndian), load<DWORD>(bytes + 4, bigEndian));
            bytes += 8;
        } else if constexpr (std::is_same_v<T, float>) {
            m_values.push_back(std::bit_cast<float>(load<DWORD>(bytes, bigEndian)));
            bytes += 4;
        } else if constexpr (std::is_same_v<T, double>) {
            m_values.push_back(std::bit_cast<double>(load<std::uint64_t>(bytes, bigEndian)));
            bytes += 8;
        } else {
            m_values.push_back(load<T>(bytes, bigEndian));
            bytes += sizeof(T);
        }
    }
}

template <typename T> DWORD TiffIfdArray<T>::GetValue(DWORD index) const {
    if (index >= m_values.size())
        return 0;
    const T& v = m_values[index];
    if constexpr (std::is_same_v<T, std::pair<DWORD, DWORD>>)
        return v.second ? v.first / v.second : 0;
    else if constexpr (std::is_floating_point_v<T>)
        return v >= 0 && v < 4294967296.0 ? static_cast<DWORD>(v) : 0;
    else
        return static_cast<DWORD>(v);
}

template class TiffIfdArray<BYTE>;
template class TiffIfdArray<WORD>;
template class TiffIfdArray<DWORD>;
template class TiffIfdArray<std::pair<DWORD, DWORD>>;
template class TiffIfdArray<float>;
template class TiffIfdArray<double>;

void TiffIfdAscii::Dump(std::ostream& out) const {
    header(out, m_tag, m_type, GetValueSize());
    out << "  Data[0] : " << m_text << "\n";
}

void TiffIfdAscii::WriteValue(BYTE* out) const {
    std::memcpy(out, m_text.data(), m_text.size());
    out[m_text.size()] = 0;
}

void TiffIfdAscii::Read(const BYTE* bytes, DWORD count, bool) {
    // The text ends at its first NUL (or after count bytes when it has none).
    const auto* text = reinterpret_cast<const char*>(bytes);
    m_text.assign(text, strnlen(text, count));
}

DWORD TiffIfdAscii::GetValue(DWORD index) const {
    return index < m_text.size() ? static_cast<BYTE>(m_text[index]) : 0;
}
