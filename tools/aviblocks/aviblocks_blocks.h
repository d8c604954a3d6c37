// The recording system's private blocks as test data: the 'NOTE' block of named entries and the
// 'CSTS' block of camera setting records, both runs of little-endian tagged items
// {16-bit tag, 16-bit type, 32-bit count, data}.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace aviblocks {

struct NoteEntry {
    std::string name;
    std::string text;
    std::string value;
};

// Nine entries of a plausible recording: code, operator, a list choice, lens, reserve, title and
// comment, place, date and time, flag.
std::vector<NoteEntry> SampleNoteEntries();

// Start item 1107 (42), count item 1101, per entry 1102 name, 1103 text, 1104 value (characters with
// their zero), 1108 (128) and 1105 (index), end item 1106 (the entry count).
std::string BuildNoteBlock(const std::vector<NoteEntry>& entries);

struct CstItem {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::string data; // count x element size bytes
};

// A setting record: the 62-byte head (cut or padded with zeros), the items, the 12-byte end item 1011.
std::string BuildCstRecord(const std::string& head, const std::vector<CstItem>& items);

// A block of records, each carrying items 1002 to 1009 that differ per record.
std::string SampleCstBlock(int records);

// Little-endian writing shared by the generator.
void AppendU16(std::string& out, std::uint16_t v);
void AppendU32(std::string& out, std::uint32_t v);
void AppendFourcc(std::string& out, const char id[4]);

} // namespace aviblocks
