// The NOTES record: building the 'NOTE' block, reading it back, the derived fields and hostile blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "aviblocks/aviblocks_test_util.h"
#include "vomLib/avilib/Notes.h"

namespace {

struct HandEntry {
    std::string name;
    std::string text;
    std::string value;
    std::int32_t index;
};

// A block written by hand: start item, count item, the entries, end item.
std::string HandBlock(std::int32_t count, const std::vector<HandEntry>& entries, bool withEnd = true) {
    std::string b;
    PutIntItem(b, 1107, 42);
    PutIntItem(b, 1101, count);
    for (const HandEntry& e : entries) {
        PutCharItem(b, 1102, e.name);
        PutCharItem(b, 1103, e.text);
        PutCharItem(b, 1104, e.value);
        PutIntItem(b, 1108, 128);
        PutIntItem(b, 1105, e.index);
    }
    if (withEnd) {
        PutIntItem(b, 1106, 9);
    }
    return b;
}

// Parses from a heap copy of exactly the block's size, so any read past it is caught by the sanitizer.
bool ParseExact(NOTES& notes, const std::string& block) {
    std::vector<unsigned char> copy(block.begin(), block.end());
    return notes.Parse(copy.empty() ? nullptr : copy.data(), copy.size());
}

std::vector<HandEntry> NineEntries() {
    std::vector<HandEntry> e;
    for (int i = 0; i < 9; ++i) {
        e.push_back({"name" + std::to_string(i), "text" + std::to_string(i), "", i});
    }
    return e;
}

void ExpectDefaultDate(const NOTES& n) {
    EXPECT_EQ(n.Year(), 1998);
    EXPECT_EQ(n.Month(), 1);
    EXPECT_EQ(n.Day(), 1);
    EXPECT_EQ(n.Hour(), 0);
    EXPECT_EQ(n.Minute(), 0);
    EXPECT_EQ(n.YearText(), "1998");
    EXPECT_EQ(n.MonthText(), "01");
    EXPECT_EQ(n.DayText(), "01");
    EXPECT_EQ(n.HourText(), "00");
    EXPECT_EQ(n.MinuteText(), "00");
}

// Reads the items of a built block one by one, checking each field.
class ItemWalker {
public:
    explicit ItemWalker(const std::string& block) : m_block(block) {}
    void ExpectInt(std::uint16_t tag, std::int32_t value) {
        SCOPED_TRACE("int item " + std::to_string(tag) + " at " + std::to_string(m_pos));
        ASSERT_LE(m_pos + 12, m_block.size());
        EXPECT_EQ(U16(m_pos), tag);
        EXPECT_EQ(U16(m_pos + 2), 9);
        EXPECT_EQ(GetU32(m_block, m_pos + 4), 1u);
        EXPECT_EQ(static_cast<std::int32_t>(GetU32(m_block, m_pos + 8)), value);
        m_pos += 12;
    }
    void ExpectChars(std::uint16_t tag, const std::string& text) {
        SCOPED_TRACE("char item " + std::to_string(tag) + " at " + std::to_string(m_pos));
        ASSERT_LE(m_pos + 8 + text.size() + 1, m_block.size());
        EXPECT_EQ(U16(m_pos), tag);
        EXPECT_EQ(U16(m_pos + 2), 2);
        EXPECT_EQ(GetU32(m_block, m_pos + 4), text.size() + 1);
        EXPECT_EQ(m_block.substr(m_pos + 8, text.size()), text);
        EXPECT_EQ(m_block[m_pos + 8 + text.size()], '\0');
        m_pos += 8 + text.size() + 1;
    }
    bool AtEnd() const { return m_pos == m_block.size(); }

private:
    unsigned U16(std::size_t at) const {
        return static_cast<unsigned char>(m_block[at]) | (static_cast<unsigned char>(m_block[at + 1]) << 8);
    }
    const std::string& m_block;
    std::size_t m_pos = 0;
};

} // namespace

TEST(NotesBuild, FreshRecordWritesTheGoldenBlock) {
    NOTES notes;
    const std::string block = notes.Build();
    const std::string comment = "#1 ;#2 ;#3 ;#4 ;#5 ;#6 ;#7 ;#8 ;#9 ;#10 ;";
    const std::string values[9] = {"0", "", "", "", "", "\r\n" + comment, "", "1998.01.01.00:00", "1"};

    ItemWalker walk(block);
    walk.ExpectInt(1107, 42);
    walk.ExpectInt(1101, 9);
    for (int i = 0; i < 9; ++i) {
        walk.ExpectChars(1102, "");
        walk.ExpectChars(1103, "");
        walk.ExpectChars(1104, values[i]);
        walk.ExpectInt(1108, 128);
        walk.ExpectInt(1105, i);
    }
    walk.ExpectInt(1106, 9);
    EXPECT_TRUE(walk.AtEnd());
    // 3 integer items of the frame, 9 x (3 character items of 9 bytes + 2 integer items) plus the values.
    std::size_t valueBytes = 0;
    for (const std::string& v : values) {
        valueBytes += v.size();
    }
    EXPECT_EQ(block.size(), 3 * 12 + 9 * (3 * 9 + 2 * 12) + valueBytes);
    EXPECT_EQ(notes.RawBlock(), block);
    EXPECT_EQ(notes.Comment(), comment);
}

TEST(NotesBuild, RoundTripKeepsEveryField) {
    NOTES source;
    for (int i = 0; i < 9; ++i) {
        source.SetEntry(i, "Name" + std::to_string(i), i == 2 ? "Combo: red, green, blue," : "T");
    }
    source.SetCode(7);
    source.SetListSelection(2);
    source.SetTitle("Crash test 12");
    source.SetCommentLine(1, "first line");
    source.SetCommentLine(10, "eighteen chars abc");
    source.SetDate(2002, 5, 31, 23, 59);
    source.SetFlag(0);
    const std::string first = source.Build();

    NOTES read;
    ASSERT_TRUE(ParseExact(read, first));
    EXPECT_EQ(read.CodeText(), "7");
    EXPECT_EQ(read.Code(), 7);
    EXPECT_EQ(read.ListSelection(), 2);
    EXPECT_EQ(read.ListChoices(), (std::vector<std::string>{"red", "green", "blue"}));
    EXPECT_EQ(read.Title(), "Crash test 12");
    EXPECT_EQ(read.CommentLines()[0], "first line");
    EXPECT_EQ(read.CommentLines()[9], "eighteen chars abc");
    EXPECT_EQ(read.CommentLines()[4], "");
    EXPECT_EQ(read.Comment(), source.Comment());
    EXPECT_EQ(read.DateText(), "2002.05.31.23:59");
    EXPECT_EQ(read.Flag(), 0);
    EXPECT_EQ(read.FlagText(), "0");
    EXPECT_EQ(read.Entries(), source.Entries());
    EXPECT_EQ(read.Build(), first);
}

TEST(NotesBuild, AfterAShortParseWritesNineEntries) {
    NOTES notes;
    ASSERT_TRUE(ParseExact(notes, HandBlock(3, {{"a", "b", "5", 0}, {"c", "d", "x", 2}})));
    ASSERT_EQ(notes.Values().size(), 3u);
    const std::string block = notes.Build();
    EXPECT_EQ(GetU32(block, 20), 9u);
    NOTES again;
    ASSERT_TRUE(ParseExact(again, block));
    ASSERT_EQ(again.Entries().size(), 9u);
    EXPECT_EQ(again.Entries()[0].name, "a");
    EXPECT_EQ(again.Values()[0], "5");
    EXPECT_EQ(again.Entries()[2].text, "d");
    EXPECT_EQ(again.Entries()[8].name, "");
    EXPECT_EQ(again.Flag(), 1);
}

TEST(NotesParse, DerivesDatesAndRepairsBadOnes) {
    auto entries = NineEntries();
    entries[7].value = "2002.05.31.23:59";
    NOTES good;
    ASSERT_TRUE(ParseExact(good, HandBlock(9, entries)));
    EXPECT_EQ(good.Year(), 2002);
    EXPECT_EQ(good.Month(), 5);
    EXPECT_EQ(good.Day(), 31);
    EXPECT_EQ(good.Hour(), 23);
    EXPECT_EQ(good.Minute(), 59);
    EXPECT_EQ(good.MonthText(), "05");

    entries[7].value = "1985.13.00.25:61";
    NOTES bad;
    ASSERT_TRUE(ParseExact(bad, HandBlock(9, entries)));
    ExpectDefaultDate(bad);

    entries[7].value = "2002.05.31.23:5"; // 15 characters: not a date
    NOTES shortDate;
    ASSERT_TRUE(ParseExact(shortDate, HandBlock(9, entries)));
    ExpectDefaultDate(shortDate);
}

TEST(NotesParse, DerivesCodeListCutsTitleAndFlag) {
    auto entries = NineEntries();
    entries[0].value = "Bxyz";
    entries[1].value = "12345678901234567890";
    entries[2].text = "Choose Combo: red, green,blue,  tail";
    entries[2].value = "1";
    entries[3].value = "abcdefghijkl";
    entries[5].value = std::string(45, 'T');
    entries[8].value = "0abc";
    NOTES n;
    ASSERT_TRUE(ParseExact(n, HandBlock(9, entries)));
    EXPECT_EQ(n.CodeText(), "B");
    EXPECT_EQ(n.Code(), 11);
    EXPECT_EQ(n.Values()[1], "123456789012345678");
    EXPECT_EQ(n.Entries()[1].value, "123456789012345678");
    EXPECT_EQ(n.Values()[3], "abcdefghij");
    EXPECT_EQ(n.ListSelection(), 1);
    EXPECT_EQ(n.ListChoices(), (std::vector<std::string>{"red", "green", "blue"}));
    EXPECT_EQ(n.Title(), std::string(40, 'T'));
    EXPECT_EQ(n.Comment(), "");
    EXPECT_EQ(n.Flag(), 0);

    for (const auto& [value, code] : std::vector<std::pair<std::string, std::string>>{
             {"0", "0"}, {"9x", "9"}, {"Z", "Z"}, {"", "0"}, {"#", "0"}}) {
        entries[0].value = value;
        NOTES c;
        ASSERT_TRUE(ParseExact(c, HandBlock(9, entries)));
        EXPECT_EQ(c.CodeText(), code) << value;
    }
    entries[0].value = "a1";
    entries[5].value = "\r\nline\rA\nB\r\nC";
    entries[8].value = "";
    NOTES m;
    ASSERT_TRUE(ParseExact(m, HandBlock(9, entries)));
    EXPECT_EQ(m.CodeText(), "0");
    EXPECT_EQ(m.Title(), "");
    EXPECT_EQ(m.Comment(), "line A B C");
    EXPECT_EQ(m.Flag(), 1);

    entries[5].value = "Title\r\n" + std::string(300, 'c');
    NOTES longComment;
    ASSERT_TRUE(ParseExact(longComment, HandBlock(9, entries)));
    EXPECT_EQ(longComment.Comment().size(), 255u);
}

TEST(NotesParse, CountZeroReadsNineEntriesAndSkipsMissingDerivations) {
    NOTES n;
    ASSERT_TRUE(ParseExact(n, HandBlock(0, {{"n", "t", "3", 0}})));
    EXPECT_EQ(n.Entries().size(), 9u);
    EXPECT_EQ(n.CodeText(), "3");

    // Two entries only: the date and flag keep their defaults.
    NOTES two;
    ASSERT_TRUE(ParseExact(two, HandBlock(2, {{"n", "t", "0", 0}, {"x", "y", "z", 1}})));
    EXPECT_EQ(two.Entries().size(), 2u);
    ExpectDefaultDate(two);
    EXPECT_EQ(two.Flag(), 1);
}

TEST(NotesParse, ShortOrForeignBlocksFallBackToDefaults) {
    const std::string good = HandBlock(9, NineEntries());
    for (std::size_t size : {0u, 1u, 12u, 20u, 21u, 22u, 23u}) {
        SCOPED_TRACE(size);
        NOTES n;
        EXPECT_FALSE(ParseExact(n, good.substr(0, size)));
        EXPECT_TRUE(n.RawBlock().empty());
        EXPECT_EQ(n.Entries().size(), 9u);
        EXPECT_EQ(n.CommentLines().size(), 10u);
        ExpectDefaultDate(n);
    }
    std::string foreign = good;
    foreign[0] = 0x54; // tag 1108 instead of 1107
    NOTES n;
    EXPECT_FALSE(ParseExact(n, foreign));
    EXPECT_TRUE(n.RawBlock().empty());
}

TEST(NotesParse, UnknownTagGoesToTheNotifierAndKeepsDefaults) {
    MessageBoxRecorder boxes;
    std::string block = HandBlock(9, {});
    block.resize(24);
    PutIntItem(block, 1234, 5);
    PutIntItem(block, 1106, 9);
    NOTES n;
    EXPECT_FALSE(ParseExact(n, block));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "unknown tag type into NOTE.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error"); // no caption given: the system's own
    EXPECT_EQ(boxes.Boxes()[0].type, MB_OK);
    EXPECT_TRUE(n.RawBlock().empty());
    EXPECT_EQ(n.CodeText(), "0");
    EXPECT_EQ(n.Entries().size(), 9u);
}

TEST(NotesParse, HostileItemsFailWithoutReadingPastTheBlock) {
    MessageBoxRecorder boxes;
    // No end item.
    NOTES noEnd;
    EXPECT_FALSE(ParseExact(noEnd, HandBlock(9, NineEntries(), false)));

    // A character count of 0xFFFFFFFF.
    std::string huge = HandBlock(9, {});
    huge.resize(24);
    PutItem(huge, 1102, 2, 0xFFFFFFFFu, "abc");
    PutIntItem(huge, 1106, 9);
    NOTES hugeCount;
    EXPECT_FALSE(ParseExact(hugeCount, huge));
    EXPECT_TRUE(hugeCount.RawBlock().empty());

    // An index item without its value.
    std::string noIndex = HandBlock(9, {});
    noIndex.resize(24);
    PutItem(noIndex, 1105, 9, 0, "");
    PutIntItem(noIndex, 1106, 9);
    NOTES emptyIndex;
    EXPECT_FALSE(ParseExact(emptyIndex, noIndex));

    // Every cut of a good block: none reads past its end, none is taken.
    const std::string good = HandBlock(9, NineEntries());
    for (std::size_t size = 24; size < good.size(); ++size) {
        NOTES cut;
        EXPECT_FALSE(ParseExact(cut, good.substr(0, size))) << size;
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(NotesParse, IndexesOutsideTheCountAreDropped) {
    NOTES n;
    ASSERT_TRUE(
        ParseExact(n, HandBlock(9, {{"neg", "t", "5", -1}, {"big", "t", "6", 9}, {"ok", "t", "4", 0}})));
    EXPECT_EQ(n.Entries()[0].name, "ok");
    EXPECT_EQ(n.CodeText(), "4");
    for (const auto& e : n.Entries()) {
        EXPECT_NE(e.name, "neg");
        EXPECT_NE(e.name, "big");
    }
}

TEST(NotesParse, HugeCountIsCappedBeforeAllocating) {
    NOTES n;
    const std::string block = HandBlock(0x7FFFFFFF, {{"a", "b", "2", 0}, {"z", "z", "z", 1000}});
    ASSERT_TRUE(ParseExact(n, block));
    // No more entries than the block has room for.
    EXPECT_LE(n.Entries().size(), block.size() / 12);
    EXPECT_GE(n.Entries().size(), 9u);
    EXPECT_EQ(n.CodeText(), "2");
}

TEST(NotesRecord, SetStringAtIgnoresIndexesOutsideTheValues) {
    NOTES n;
    n.Reset(9);
    n.SetStringAt(4, "four");
    n.SetStringAt(9, "nine");
    n.SetStringAt(-1, "minus");
    EXPECT_EQ(n.Values()[4], "four");
    EXPECT_EQ(n.Values().size(), 9u);
    const std::string block = n.Build();
    NOTES read;
    ASSERT_TRUE(ParseExact(read, block));
    EXPECT_EQ(read.Values()[4], "four");
}
