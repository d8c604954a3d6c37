// CST: splitting a 'CSTS' block into its setting records and reading items by tag.
#include <gtest/gtest.h>

#include <vector>

#include "aviblocks/aviblocks_test_util.h"
#include "vomLib/avilib/CstRecords.h"

namespace {

std::string Head(char fill) {
    return std::string(62, fill);
}

std::string EndItem() {
    std::string s;
    PutItem(s, 1011, 4, 1, std::string(4, '\0'));
    return s;
}

// A record with a text, a pair, a 16-bit and a 32-bit value.
std::string SampleRecord(char fill, std::int32_t base) {
    std::string r = Head(fill);
    PutItem(r, 1002, 2, 6, std::string("CAM-") + fill + std::string(1, '\0'));
    std::string pair;
    PutU32(pair, static_cast<std::uint32_t>(base));
    PutU32(pair, static_cast<std::uint32_t>(-base));
    PutItem(r, 1003, 4, 2, pair);
    std::string word;
    PutU16(word, static_cast<std::uint16_t>(base + 1));
    PutItem(r, 1005, 3, 1, word);
    std::string one;
    PutU32(one, static_cast<std::uint32_t>(base * 10));
    PutItem(r, 1007, 9, 1, one);
    r += EndItem();
    return r;
}

CST ParseExact(const std::string& block, int count) {
    std::vector<unsigned char> copy(block.begin(), block.end());
    return CST(copy.empty() ? nullptr : copy.data(), copy.size(), count);
}

} // namespace

TEST(CstParse, SplitsRecordsAndReadsTheirItems) {
    const std::string first = SampleRecord('a', 100);
    const std::string second = SampleRecord('b', -7);
    const CST cst = ParseExact(first + second, 2);
    ASSERT_EQ(cst.Records().size(), 2u);
    EXPECT_EQ(cst.Records()[0], first);
    EXPECT_EQ(cst.Records()[1], second);
    EXPECT_EQ(cst.RawBlock(), first + second);

    std::string text;
    EXPECT_TRUE(cst.GetItem1002(cst.Records()[1], text));
    EXPECT_EQ(text, "CAM-b");
    std::int32_t a = 0, b = 0;
    EXPECT_TRUE(cst.GetItem1003(cst.Records()[0], a, b));
    EXPECT_EQ(a, 100);
    EXPECT_EQ(b, -100);
    std::uint16_t w = 0;
    EXPECT_TRUE(cst.GetItem1005(cst.Records()[1], w));
    EXPECT_EQ(w, static_cast<std::uint16_t>(-6));
    std::int32_t v = 0;
    EXPECT_TRUE(cst.GetItem1007(cst.Records()[1], v));
    EXPECT_EQ(v, -70);

    std::string item;
    EXPECT_TRUE(cst.FindItem(item, 1007, cst.Records()[0]));
    ASSERT_EQ(item.size(), 12u);
    EXPECT_EQ(GetU32(item, 8), 1000u);
    EXPECT_EQ(cst.FindItemPointer(1007, cst.Records()[0]),
              reinterpret_cast<const unsigned char*>(cst.Records()[0].data()) + 62 + 14 + 16 + 10);
}

TEST(CstParse, RecordLengthsFollowTheTypeTable) {
    const CST minimal = ParseExact(Head('h') + EndItem(), 1);
    ASSERT_EQ(minimal.Records().size(), 1u);
    EXPECT_EQ(minimal.Records()[0].size(), 74u);

    std::string items;
    PutItem(items, 1, 5, 3, std::string(24, 'x'));
    PutItem(items, 2, 2, 10, std::string(10, 'y'));
    const auto* p = reinterpret_cast<const unsigned char*>(items.data());
    std::uint64_t length = 0;
    const unsigned char* next = CST::SkipItem(p, p + items.size(), &length);
    EXPECT_EQ(length, 32u);
    EXPECT_EQ(next, p + 32);
    next = CST::SkipItem(next, p + items.size(), &length);
    EXPECT_EQ(length, 18u);
    EXPECT_EQ(next, p + items.size());

    const CST none = ParseExact(Head('h') + EndItem(), 0);
    EXPECT_TRUE(none.Records().empty());
    EXPECT_EQ(none.RawBlock().size(), 74u);
}

TEST(CstGetters, LeaveVariablesAloneWhenTheItemIsAbsentOrTooSmall) {
    std::string r = Head('x');
    PutItem(r, 1004, 9, 1, std::string(4, '\1')); // one element where two are read
    PutItem(r, 1006, 9, 1, std::string(4, '\2')); // 4-byte elements where 2-byte ones are read
    r += EndItem();
    PutItem(r, 1009, 9, 1, std::string(4, '\3')); // behind the end item
    const CST cst = ParseExact(r, 1);
    ASSERT_EQ(cst.Records().size(), 1u);
    const std::string& record = cst.Records()[0];
    std::int32_t a = 11, b = 12, v = 13;
    std::uint16_t w = 14;
    std::string text = "keep";
    EXPECT_FALSE(cst.GetItem1004(record, a, b));
    EXPECT_FALSE(cst.GetItem1006(record, w));
    EXPECT_FALSE(cst.GetItem1009(r, v));
    EXPECT_FALSE(cst.GetItem1002(record, text));
    EXPECT_FALSE(cst.GetItem1008(record, w));
    EXPECT_EQ(a, 11);
    EXPECT_EQ(b, 12);
    EXPECT_EQ(v, 13);
    EXPECT_EQ(w, 14);
    EXPECT_EQ(text, "keep");
    std::string item;
    EXPECT_FALSE(cst.FindItem(item, 1009, r));
    EXPECT_TRUE(item.empty());
}

TEST(CstParse, UnknownTypeStopsAtThatRecordAndTellsTheNotifier) {
    MessageBoxRecorder boxes;
    std::string bad = Head('c');
    PutItem(bad, 1005, 13, 1, "zz");
    bad += EndItem();
    const std::string good = SampleRecord('a', 1);
    const CST cst = ParseExact(good + bad + good, 3);
    ASSERT_EQ(cst.Records().size(), 1u);
    EXPECT_EQ(cst.Records()[0], good);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "unknown tag type into CST.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error"); // no caption given: the system's own
    EXPECT_EQ(boxes.Boxes()[0].type, MB_OK);

    std::uint16_t w = 99;
    EXPECT_FALSE(cst.GetItem1005(bad, w));
    EXPECT_EQ(w, 99);
}

TEST(CstParse, CutBlocksAndHugeCountsStayInsideTheBlock) {
    const std::string two = SampleRecord('a', 5) + SampleRecord('b', 6);
    const std::size_t firstLength = two.size() / 2;
    for (std::size_t size = 0; size < two.size(); ++size) {
        const CST cst = ParseExact(two.substr(0, size), 2);
        EXPECT_EQ(cst.Records().size(), size < firstLength ? 0u : 1u) << size;
    }
    std::string hugeItem = Head('h');
    PutItem(hugeItem, 1002, 12, 0xFFFFFFFFu, "x");
    EXPECT_TRUE(ParseExact(hugeItem + EndItem(), 1).Records().empty());
    EXPECT_EQ(ParseExact(two, 0x7FFFFFFF).Records().size(), 2u);
    EXPECT_TRUE(ParseExact(two, -3).Records().empty());
}

TEST(CstRecord, NamedConstructorKeepsItsValues) {
    const CST cst("shutter", 1, -2, 3, 4);
    EXPECT_EQ(cst.Name(), "shutter");
    EXPECT_EQ(cst.Value(1), -2);
    EXPECT_EQ(cst.Value(3), 4);
    EXPECT_TRUE(cst.Records().empty());
}
