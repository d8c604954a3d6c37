#include "tools/aviblocks/aviblocks_blocks.h"

namespace aviblocks {

namespace {

void AppendItemHeader(std::string& out, std::uint16_t tag, std::uint16_t type, std::uint32_t count) {
    AppendU16(out, tag);
    AppendU16(out, type);
    AppendU32(out, count);
}

void AppendIntItem(std::string& out, std::uint16_t tag, std::int32_t value) {
    AppendItemHeader(out, tag, 9, 1);
    AppendU32(out, static_cast<std::uint32_t>(value));
}

void AppendCharItem(std::string& out, std::uint16_t tag, const std::string& text) {
    AppendItemHeader(out, tag, 2, static_cast<std::uint32_t>(text.size() + 1));
    out += text;
    out.push_back('\0');
}

std::string U16s(std::initializer_list<std::uint16_t> values) {
    std::string s;
    for (std::uint16_t v : values) {
        AppendU16(s, v);
    }
    return s;
}

std::string U32s(std::initializer_list<std::int32_t> values) {
    std::string s;
    for (std::int32_t v : values) {
        AppendU32(s, static_cast<std::uint32_t>(v));
    }
    return s;
}

} // namespace

void AppendU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void AppendU32(std::string& out, std::uint32_t v) {
    AppendU16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    AppendU16(out, static_cast<std::uint16_t>(v >> 16));
}

void AppendFourcc(std::string& out, const char id[4]) {
    out.append(id, 4);
}

std::vector<NoteEntry> SampleNoteEntries() {
    return {
        {"Code", "", "3"},
        {"Operator", "", "T.YAMADA"},
        {"Camera", "Combo: front, side, top,", "1"},
        {"Lens", "", "50mm F1.4"},
        {"Reserve", "", ""},
        {"Title", "", "Sled test 042\r\n#1 speed 50 km/h;#2 dummy AM50;"},
        {"Place", "", "Hall B"},
        {"Date", "", "2002.05.31.23:59"},
        {"Flag", "", "1"},
    };
}

std::string BuildNoteBlock(const std::vector<NoteEntry>& entries) {
    const auto count = static_cast<std::int32_t>(entries.size());
    std::string block;
    AppendIntItem(block, 1107, 42);
    AppendIntItem(block, 1101, count);
    for (std::int32_t i = 0; i < count; ++i) {
        AppendCharItem(block, 1102, entries[i].name);
        AppendCharItem(block, 1103, entries[i].text);
        AppendCharItem(block, 1104, entries[i].value);
        AppendIntItem(block, 1108, 128);
        AppendIntItem(block, 1105, i);
    }
    AppendIntItem(block, 1106, count);
    return block;
}

std::string BuildCstRecord(const std::string& head, const std::vector<CstItem>& items) {
    std::string record = head.substr(0, 62);
    record.resize(62, '\0');
    for (const CstItem& item : items) {
        AppendItemHeader(record, item.tag, item.type, item.count);
        record += item.data;
    }
    AppendIntItem(record, 1011, 0);
    return record;
}

std::string SampleCstBlock(int records) {
    std::string block;
    for (int r = 0; r < records; ++r) {
        std::string head(62, '\0');
        for (int i = 0; i < 62; ++i) {
            head[i] = static_cast<char>(r * 62 + i);
        }
        const std::string name = "CAM" + std::to_string(r + 1);
        block += BuildCstRecord(
            head, {
                      {1002, 2, static_cast<std::uint32_t>(name.size() + 1), name + std::string(1, '\0')},
                      {1003, 9, 2, U32s({640, 480})},
                      {1004, 9, 2, U32s({1000 * (r + 1), -(r + 1)})},
                      {1005, 3, 1, U16s({static_cast<std::uint16_t>(100 + r)})},
                      {1006, 8, 2, U16s({static_cast<std::uint16_t>(200 + r), 7})},
                      {1007, 9, 1, U32s({-5000 - r})},
                      {1008, 3, 1, U16s({static_cast<std::uint16_t>(300 + r)})},
                      {1009, 4, 1, U32s({4500 + r})},
                      {1010, 5, 1, std::string(8, '\x11')},
                  });
    }
    return block;
}

} // namespace aviblocks
