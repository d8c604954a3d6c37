#include "vomLib/avilib/Notes.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/win32/system.h"
#include "vomLib/avilib/TaggedItem.h"

namespace {

constexpr std::size_t kEntriesOffset = 24;
constexpr std::size_t kCountOffset = 20;
// The smallest entry is its index item alone. It caps the entries a block may announce at what its
// bytes can hold, so a damaged count cannot make the record allocate millions of empty entries.
constexpr std::size_t kSmallestEntry = TaggedItem::kHeaderSize + 4;
constexpr std::size_t kValue1Length = 18;
constexpr std::size_t kValue3Length = 10;
constexpr std::size_t kTitleLength = 40;
constexpr std::size_t kCommentLength = 255;
constexpr std::size_t kCommentLineLength = 18;
constexpr int kAttributeValue = 128;
constexpr int kStartValue = 42;

// The decimal number at the start of a text, as the C conversion reads it, kept within int.
int ToInt(const std::string& text) {
    errno = 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

std::string CutAtZero(const unsigned char* data, std::size_t length) {
    const auto* begin = reinterpret_cast<const char*>(data);
    const auto* end = std::find(begin, begin + length, '\0');
    return std::string(begin, end);
}

std::string Format2(int v) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", v);
    return text;
}

} // namespace

void NOTES::Clear() {
    m_entries.clear();
    m_values.clear();
    m_listChoices.clear();
    m_commentLines.clear();
}

void NOTES::Reset(int count) {
    Clear();
    const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0u;
    m_entries.resize(n);
    m_values.resize(n);
    m_title.clear();
    m_commentLines.resize(kCommentLineCount);
}

void NOTES::Fail() {
    m_rawBlock.clear();
    Reset(kEntryCount);
}

bool NOTES::Parse(const void* block, std::size_t size) {
    const auto* data = static_cast<const unsigned char*>(block);
    if (data == nullptr) {
        size = 0;
    }
    m_rawBlock.assign(reinterpret_cast<const char*>(data), size);
    // The count at byte 20 belongs to the second item; a shorter block has none.
    if (size < kEntriesOffset || TaggedItem::ReadU16(data) != kTagStart) {
        Fail();
        return false;
    }
    std::int64_t count = TaggedItem::ReadI32(data + kCountOffset);
    if (count <= 0) {
        count = kEntryCount;
    }
    // A block cannot hold more entries than it has room for, whatever its count says.
    const std::int64_t room = static_cast<std::int64_t>((size - kEntriesOffset) / kSmallestEntry);
    count = std::min(count, std::max<std::int64_t>(kEntryCount, room));
    Reset(static_cast<int>(count));
    if (!ParseEntries(data, size, static_cast<int>(count))) {
        Fail();
        return false;
    }
    DeriveCode();
    DeriveList();
    DeriveTitleAndComment();
    DeriveDate();
    DeriveFlag();
    return true;
}

bool NOTES::ParseEntries(const unsigned char* data, std::size_t size, int count) {
    std::size_t pos = kEntriesOffset;
    bool entryStart = true;
    Entry current;
    for (;;) {
        // Running out of block before the end item: the block is cut short.
        if (size - pos < TaggedItem::kHeaderSize) {
            return false;
        }
        const TaggedItem::Header item = TaggedItem::ReadHeader(data + pos);
        const std::uint64_t left = size - pos - TaggedItem::kHeaderSize;
        if (entryStart && item.tag == kTagEnd) {
            // The end item must be whole too, or the block was cut inside it.
            return 4ull * item.count <= left;
        }
        const unsigned char* payload = data + pos + TaggedItem::kHeaderSize;
        std::uint64_t length = 0;
        switch (item.tag) {
        case kTagName:
        case kTagText:
        case kTagValue: {
            length = item.count;
            if (length > left) {
                return false;
            }
            std::string text = CutAtZero(payload, static_cast<std::size_t>(length));
            if (item.tag == kTagName) {
                current.name = std::move(text);
            } else if (item.tag == kTagText) {
                current.text = std::move(text);
            } else {
                current.value = std::move(text);
            }
            entryStart = false;
            break;
        }
        case kTagAttribute:
        case kTagEnd:
            length = 4ull * item.count;
            if (length > left) {
                return false;
            }
            entryStart = false;
            break;
        case kTagIndex: {
            length = 4ull * item.count;
            if (item.count == 0 || length > left) {
                return false;
            }
            const std::int32_t index = TaggedItem::ReadI32(payload);
            if (index >= 0 && index < count) {
                if (index == 1 && current.value.size() > kValue1Length) {
                    current.value.resize(kValue1Length);
                } else if (index == 3 && current.value.size() > kValue3Length) {
                    current.value.resize(kValue3Length);
                }
                m_values[index] = current.value;
                m_entries[index] = std::move(current);
            }
            current = Entry{};
            entryStart = true;
            break;
        }
        default:
            MessageBoxA(nullptr, "unknown tag type into NOTE.", nullptr, MB_OK);
            return false;
        }
        pos += TaggedItem::kHeaderSize + static_cast<std::size_t>(length);
    }
}

void NOTES::DeriveCode() {
    if (m_values.empty()) {
        return;
    }
    const std::string& v = m_values[0];
    const char c = v.empty() ? '\0' : v[0];
    if (c >= '1' && c <= '9') {
        m_codeText.assign(1, c);
        m_code = c - '0';
    } else if (c >= 'A' && c <= 'Z') {
        m_codeText.assign(1, c);
        m_code = 10 + (c - 'A');
    } else {
        m_codeText = "0";
        m_code = 0;
    }
}

void NOTES::DeriveList() {
    if (m_values.size() <= 2) {
        return;
    }
    m_listSelection = ToInt(m_values[2]);
    const std::string& text = m_entries[2].text;
    static const std::string kCombo = "Combo:";
    const std::size_t at = text.find(kCombo);
    if (at == std::string::npos) {
        return;
    }
    std::size_t start = at + kCombo.size();
    bool leading = true;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (leading && text[i] == ' ') {
            start = i + 1;
            continue;
        }
        leading = false;
        if (text[i] == ',') {
            m_listChoices.push_back(text.substr(start, i - start));
            start = i + 1;
            leading = true;
        }
    }
}

void NOTES::DeriveTitleAndComment() {
    if (m_values.size() <= 5) {
        return;
    }
    const std::string& v = m_values[5];
    const std::size_t split = v.find("\r\n");
    if (split == std::string::npos) {
        m_title = v.substr(0, kTitleLength);
        m_comment.clear();
    } else {
        m_title = v.substr(0, split);
        const std::string taken = v.substr(split + 2, kCommentLength);
        m_comment.clear();
        for (std::size_t i = 0; i < taken.size(); ++i) {
            if (taken[i] == '\r' || taken[i] == '\n') {
                if (taken[i] == '\r' && i + 1 < taken.size() && taken[i + 1] == '\n') {
                    ++i;
                }
                m_comment.push_back(' ');
            } else {
                m_comment.push_back(taken[i]);
            }
        }
    }
    DeriveCommentLines();
}

void NOTES::DeriveCommentLines() {
    const std::string& c = m_comment;
    m_commentLines.resize(std::max<std::size_t>(m_commentLines.size(), kCommentLineCount));
    std::size_t i = 0;
    while (i < c.size()) {
        if (c[i] != '#' || i + 1 >= c.size() || c[i + 1] < '1' || c[i + 1] > '9') {
            ++i;
            continue;
        }
        int number = c[i + 1] - '0';
        std::size_t start = i + 2;
        if (number == 1 && start < c.size() && c[start] == '0') {
            number = 10;
            ++start;
        }
        while (start < c.size() && c[start] == ' ') {
            ++start;
        }
        std::size_t end = c.find(';', start);
        if (end == std::string::npos) {
            end = c.size();
        }
        m_commentLines[number - 1] = c.substr(start, std::min(end - start, kCommentLineLength));
        i = end + 1;
    }
}

void NOTES::DeriveDate() {
    if (m_values.size() <= 7 || m_values[7].size() < 16) {
        return;
    }
    const std::string& v = m_values[7];
    int year = ToInt(v.substr(0, 4));
    int month = ToInt(v.substr(5, 2));
    int day = ToInt(v.substr(8, 2));
    int hour = ToInt(v.substr(11, 2));
    int minute = ToInt(v.substr(14, 2));
    if (year < 1990) {
        year = 1998;
    } else if (year >= 10000) {
        year = 1990;
    }
    if (month < 1 || month > 12) {
        month = 1;
    }
    if (day < 1 || day > 31) {
        day = 1;
    }
    if (hour < 0 || hour > 23) {
        hour = 0;
    }
    if (minute < 0 || minute > 59) {
        minute = 0;
    }
    SetDate(year, month, day, hour, minute);
}

void NOTES::DeriveFlag() {
    if (m_values.size() <= 8) {
        return;
    }
    SetFlag((!m_values[8].empty() && m_values[8][0] == '0') ? 0 : 1);
}

void NOTES::SetDate(int year, int month, int day, int hour, int minute) {
    m_year = year;
    m_month = month;
    m_day = day;
    m_hour = hour;
    m_minute = minute;
    FormatDateTexts();
}

void NOTES::FormatDateTexts() {
    char text[64];
    std::snprintf(text, sizeof text, "%04d", m_year);
    m_yearText = text;
    m_monthText = Format2(m_month);
    m_dayText = Format2(m_day);
    m_hourText = Format2(m_hour);
    m_minuteText = Format2(m_minute);
    std::snprintf(text, sizeof text, "%04d.%02d.%02d.%02d:%02d", m_year, m_month, m_day, m_hour, m_minute);
    m_dateText = text;
}

void NOTES::SetFlag(int flag) {
    m_flag = flag;
    m_flagText = std::to_string(flag);
}

void NOTES::SetCommentLine(int number, const std::string& text) {
    if (number < 1 || number > kCommentLineCount) {
        return;
    }
    m_commentLines.resize(std::max<std::size_t>(m_commentLines.size(), kCommentLineCount));
    m_commentLines[number - 1] = text;
}

void NOTES::SetEntry(int index, const std::string& name, const std::string& text) {
    if (index < 0) {
        return;
    }
    EnsureEntries(static_cast<std::size_t>(index) + 1);
    m_entries[index].name = name;
    m_entries[index].text = text;
}

void NOTES::SetStringAt(int index, const std::string& text) {
    if (index >= 0 && static_cast<std::size_t>(index) < m_values.size()) {
        m_values[index] = text;
    }
}

void NOTES::EnsureEntries(std::size_t count) {
    if (m_entries.size() < count) {
        m_entries.resize(count);
    }
    if (m_values.size() < count) {
        m_values.resize(count);
    }
}

std::string NOTES::Build() {
    // A record read from a short block, or never read, still writes all nine entries.
    EnsureEntries(kEntryCount);
    m_commentLines.resize(std::max<std::size_t>(m_commentLines.size(), kCommentLineCount));

    m_values[0] = std::to_string(m_code);
    if (m_listSelection >= 0) {
        m_values[2] = std::to_string(m_listSelection);
    }
    FormatDateTexts();
    m_values[7] = m_dateText;
    m_values[8] = std::to_string(m_flag);
    std::string items;
    char head[16];
    for (int n = 1; n <= kCommentLineCount; ++n) {
        std::snprintf(head, sizeof head, "#%d ", n);
        items += head;
        items += m_commentLines[n - 1];
        items += ';';
    }
    m_comment = items;
    m_values[5] = m_title + "\r\n" + items;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        m_entries[i].value = m_values[i];
    }

    std::string block;
    TaggedItem::AppendInt(block, kTagStart, kStartValue);
    TaggedItem::AppendInt(block, kTagEntryCount, kEntryCount);
    for (int i = 0; i < kEntryCount; ++i) {
        TaggedItem::AppendChars(block, kTagName, m_entries[i].name);
        TaggedItem::AppendChars(block, kTagText, m_entries[i].text);
        TaggedItem::AppendChars(block, kTagValue, m_entries[i].value);
        TaggedItem::AppendInt(block, kTagAttribute, kAttributeValue);
        TaggedItem::AppendInt(block, kTagIndex, i);
    }
    TaggedItem::AppendInt(block, kTagEnd, kEntryCount);
    m_rawBlock = block;
    return block;
}
