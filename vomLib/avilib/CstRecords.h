// The camera setting records of the 'CSTS' block of a recording-system AVI file. Each record is a
// 62-byte head followed by tagged items; its last item has the tag 1011. CST splits a block into its
// records and reads single items out of a record by tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CST {
public:
    static constexpr std::size_t kHeadSize = 62;
    static constexpr std::size_t kEndItemSize = 12;
    static constexpr std::uint16_t kTagText = 1002;
    static constexpr std::uint16_t kTagEnd = 1011;

    CST() = default;
    CST(const void* data, std::size_t size, int count);
    CST(const std::string& block, int count);
    CST(const std::string& name, std::int32_t value1, std::int32_t value2, std::int32_t value3,
        std::int32_t value4);
    virtual ~CST() = default;

    // Replaces the raw block and the records with up to count records of data; stops at the first
    // record that is cut short or holds an item of unknown type, keeping the records before it.
    // Returns size.
    std::size_t Parse(const void* data, std::size_t size, int count);

    // Appends the whole item (header and data) of the first item with tag in record to out; returns
    // whether it was found before the record's end item.
    bool FindItem(std::string& out, std::uint16_t tag, const std::string& record) const;
    // The address of that item inside record, or null.
    const unsigned char* FindItemPointer(std::uint16_t tag, const std::string& record) const;

    // The getters leave the caller's variables unchanged and return false when the item is absent or
    // too small for what they read.
    bool GetItem1002(const std::string& record, std::string& text) const;
    bool GetItem1003(const std::string& record, std::int32_t& first, std::int32_t& second) const;
    bool GetItem1004(const std::string& record, std::int32_t& first, std::int32_t& second) const;
    bool GetItem1005(const std::string& record, std::uint16_t& value) const;
    bool GetItem1006(const std::string& record, std::uint16_t& value) const;
    bool GetItem1007(const std::string& record, std::int32_t& value) const;
    bool GetItem1008(const std::string& record, std::uint16_t& value) const;
    bool GetItem1009(const std::string& record, std::int32_t& value) const;

    // The item at item, which must lie before end: returns the address behind it and stores its
    // length (8 + count x element size). Null when it does not fit before end, or (reported through
    // the message-box notifier) when its type is unknown; the length is then 8.
    static const unsigned char* SkipItem(const unsigned char* item, const unsigned char* end,
                                         std::uint64_t* length);

    const std::string& RawBlock() const { return m_rawBlock; }
    const std::vector<std::string>& Records() const { return m_records; }
    const std::string& Name() const { return m_name; }
    std::int32_t Value(int index) const { return (index >= 0 && index < 4) ? m_values[index] : 0; }

private:
    // Walks a record from its head to its end item; the record's length, or 0 when it is incomplete.
    static std::size_t RecordLength(const unsigned char* record, const unsigned char* end);
    // The item's data when its tag is found with at least count elements of elementSize bytes.
    const unsigned char* FindElements(std::uint16_t tag, const std::string& record, unsigned elementSize,
                                      std::uint32_t count) const;

    std::string m_rawBlock;
    std::vector<std::string> m_records;
    std::string m_name;
    std::int32_t m_values[4] = {0, 0, 0, 0};
};
