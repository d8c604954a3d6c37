#include "vomLib/avilib/CstRecords.h"

#include <algorithm>

#include "platform/win32/system.h"
#include "vomLib/avilib/TaggedItem.h"

CST::CST(const void* data, std::size_t size, int count) {
    Parse(data, size, count);
}

CST::CST(const std::string& block, int count) {
    Parse(block.data(), block.size(), count);
}

CST::CST(const std::string& name, std::int32_t value1, std::int32_t value2, std::int32_t value3,
         std::int32_t value4)
    : m_name(name), m_values{value1, value2, value3, value4} {}

const unsigned char* CST::SkipItem(const unsigned char* item, const unsigned char* end,
                                   std::uint64_t* length) {
    *length = TaggedItem::kHeaderSize;
    if (item == nullptr || end < item || static_cast<std::size_t>(end - item) < TaggedItem::kHeaderSize) {
        return nullptr;
    }
    const TaggedItem::Header header = TaggedItem::ReadHeader(item);
    const unsigned elementSize = TaggedItem::ElementSize(header.type);
    if (elementSize == 0) {
        MessageBoxA(nullptr, "unknown tag type into CST.", nullptr, MB_OK);
        return nullptr;
    }
    const std::uint64_t itemLength = TaggedItem::kHeaderSize + std::uint64_t{header.count} * elementSize;
    if (itemLength > static_cast<std::uint64_t>(end - item)) {
        return nullptr;
    }
    *length = itemLength;
    return item + itemLength;
}

std::size_t CST::RecordLength(const unsigned char* record, const unsigned char* end) {
    if (static_cast<std::size_t>(end - record) < kHeadSize) {
        return 0;
    }
    const unsigned char* p = record + kHeadSize;
    for (;;) {
        const std::size_t left = static_cast<std::size_t>(end - p);
        if (left < TaggedItem::kHeaderSize) {
            return 0;
        }
        if (TaggedItem::ReadU16(p) == kTagEnd) {
            return left < kEndItemSize ? 0 : static_cast<std::size_t>(p - record) + kEndItemSize;
        }
        std::uint64_t length = 0;
        p = SkipItem(p, end, &length);
        if (p == nullptr) {
            return 0;
        }
    }
}

std::size_t CST::Parse(const void* data, std::size_t size, int count) {
    m_records.clear();
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (bytes == nullptr) {
        size = 0;
    }
    m_rawBlock.assign(reinterpret_cast<const char*>(bytes), size);
    const auto* begin = reinterpret_cast<const unsigned char*>(m_rawBlock.data());
    const unsigned char* end = begin + m_rawBlock.size();
    const unsigned char* position = begin;
    for (int i = 0; i < count; ++i) {
        const std::size_t length = RecordLength(position, end);
        if (length == 0) {
            break;
        }
        m_records.emplace_back(reinterpret_cast<const char*>(position), length);
        position += length;
    }
    return size;
}

const unsigned char* CST::FindItemPointer(std::uint16_t tag, const std::string& record) const {
    const auto* begin = reinterpret_cast<const unsigned char*>(record.data());
    const unsigned char* end = begin + record.size();
    if (record.size() < kHeadSize) {
        return nullptr;
    }
    const unsigned char* p = begin + kHeadSize;
    while (p != nullptr && static_cast<std::size_t>(end - p) >= TaggedItem::kHeaderSize) {
        const std::uint16_t itemTag = TaggedItem::ReadU16(p);
        if (itemTag == kTagEnd) {
            return nullptr;
        }
        std::uint64_t length = 0;
        const unsigned char* next = SkipItem(p, end, &length);
        if (next != nullptr && itemTag == tag) {
            return p;
        }
        p = next;
    }
    return nullptr;
}

bool CST::FindItem(std::string& out, std::uint16_t tag, const std::string& record) const {
    const unsigned char* item = FindItemPointer(tag, record);
    if (item == nullptr) {
        return false;
    }
    const TaggedItem::Header header = TaggedItem::ReadHeader(item);
    // FindItemPointer only hands out items that fit in the record.
    const std::size_t length = TaggedItem::kHeaderSize +
                               static_cast<std::size_t>(header.count) * TaggedItem::ElementSize(header.type);
    out.append(reinterpret_cast<const char*>(item), length);
    return true;
}

const unsigned char* CST::FindElements(std::uint16_t tag, const std::string& record, unsigned elementSize,
                                       std::uint32_t count) const {
    const unsigned char* item = FindItemPointer(tag, record);
    if (item == nullptr) {
        return nullptr;
    }
    const TaggedItem::Header header = TaggedItem::ReadHeader(item);
    if (TaggedItem::ElementSize(header.type) != elementSize || header.count < count) {
        return nullptr;
    }
    return item + TaggedItem::kHeaderSize;
}

bool CST::GetItem1002(const std::string& record, std::string& text) const {
    const unsigned char* item = FindItemPointer(kTagText, record);
    if (item == nullptr) {
        return false;
    }
    const TaggedItem::Header header = TaggedItem::ReadHeader(item);
    const char* data = reinterpret_cast<const char*>(item + TaggedItem::kHeaderSize);
    const std::size_t length = static_cast<std::size_t>(header.count) * TaggedItem::ElementSize(header.type);
    text.assign(data, std::find(data, data + length, '\0'));
    return true;
}

namespace {

bool ReadPair(const unsigned char* data, std::int32_t& first, std::int32_t& second) {
    if (data == nullptr) {
        return false;
    }
    first = TaggedItem::ReadI32(data);
    second = TaggedItem::ReadI32(data + 4);
    return true;
}

bool ReadOne(const unsigned char* data, std::int32_t& value) {
    if (data == nullptr) {
        return false;
    }
    value = TaggedItem::ReadI32(data);
    return true;
}

bool ReadOne(const unsigned char* data, std::uint16_t& value) {
    if (data == nullptr) {
        return false;
    }
    value = TaggedItem::ReadU16(data);
    return true;
}

} // namespace

bool CST::GetItem1003(const std::string& record, std::int32_t& first, std::int32_t& second) const {
    return ReadPair(FindElements(1003, record, 4, 2), first, second);
}

bool CST::GetItem1004(const std::string& record, std::int32_t& first, std::int32_t& second) const {
    return ReadPair(FindElements(1004, record, 4, 2), first, second);
}

bool CST::GetItem1005(const std::string& record, std::uint16_t& value) const {
    return ReadOne(FindElements(1005, record, 2, 1), value);
}

bool CST::GetItem1006(const std::string& record, std::uint16_t& value) const {
    return ReadOne(FindElements(1006, record, 2, 1), value);
}

bool CST::GetItem1007(const std::string& record, std::int32_t& value) const {
    return ReadOne(FindElements(1007, record, 4, 1), value);
}

bool CST::GetItem1008(const std::string& record, std::uint16_t& value) const {
    return ReadOne(FindElements(1008, record, 2, 1), value);
}

bool CST::GetItem1009(const std::string& record, std::int32_t& value) const {
    return ReadOne(FindElements(1009, record, 4, 1), value);
}
