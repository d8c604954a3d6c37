// The recording's notes as carried in the 'NOTE' block of a recording-system AVI file: named entries
// {name, text, value} and what the system derives from them (code, list selection, title and comment,
// date and time, flag). A block can be parsed into the record and the record built back into a block.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class NOTES {
public:
    struct Entry {
        std::string name;
        std::string text;
        std::string value;
        bool operator==(const Entry&) const = default;
    };

    // Item tags of the block.
    static constexpr unsigned short kTagEntryCount = 1101;
    static constexpr unsigned short kTagName = 1102;
    static constexpr unsigned short kTagText = 1103;
    static constexpr unsigned short kTagValue = 1104;
    static constexpr unsigned short kTagIndex = 1105;
    static constexpr unsigned short kTagEnd = 1106;
    static constexpr unsigned short kTagStart = 1107;
    static constexpr unsigned short kTagAttribute = 1108;
    // The entries the system writes, and the numbered comment lines of entry 5.
    static constexpr int kEntryCount = 9;
    static constexpr int kCommentLineCount = 10;

    NOTES() = default;
    NOTES(const NOTES&) = default;
    NOTES& operator=(const NOTES&) = default;
    virtual ~NOTES() = default;

    // Reads a block. A block that is too short or does not start with the block-start item, an
    // unknown item tag (reported through the message-box notifier) or a block without its end item
    // leaves an empty raw block and the record of Reset(9); returns whether the block was taken.
    bool Parse(const void* block, std::size_t size);
    // Writes entries 0 to 8 from the record and returns the block (also kept as the raw block).
    std::string Build();
    // Replaces the value at index; an index outside the values is ignored.
    void SetStringAt(int index, const std::string& text);

    // Empties the entries, values, list choices and comment lines.
    void Clear();
    // Clear, then count empty entries and values, an empty title and 10 empty comment lines.
    void Reset(int count);

    const std::vector<Entry>& Entries() const { return m_entries; }
    const std::vector<std::string>& Values() const { return m_values; }
    const std::string& RawBlock() const { return m_rawBlock; }

    const std::string& CodeText() const { return m_codeText; }
    int Code() const { return m_code; }
    int ListSelection() const { return m_listSelection; }
    const std::vector<std::string>& ListChoices() const { return m_listChoices; }
    const std::string& Title() const { return m_title; }
    const std::string& Comment() const { return m_comment; }
    const std::vector<std::string>& CommentLines() const { return m_commentLines; }
    int Flag() const { return m_flag; }
    const std::string& FlagText() const { return m_flagText; }

    const std::string& DateText() const { return m_dateText; }
    const std::string& YearText() const { return m_yearText; }
    const std::string& MonthText() const { return m_monthText; }
    const std::string& DayText() const { return m_dayText; }
    const std::string& HourText() const { return m_hourText; }
    const std::string& MinuteText() const { return m_minuteText; }
    int Year() const { return m_year; }
    int Month() const { return m_month; }
    int Day() const { return m_day; }
    int Hour() const { return m_hour; }
    int Minute() const { return m_minute; }

    // What Build writes. Build writes the code number in decimal; Parse reads the code character
    // '1'-'9' as 1 to 9 and 'A'-'Z' as 10 to 35 (anything else is code "0", number 0).
    void SetCode(int code) { m_code = code; }
    void SetListSelection(int selection) { m_listSelection = selection; }
    void SetTitle(const std::string& title) { m_title = title; }
    // Line 1 to 10 of the comment; other numbers are ignored.
    void SetCommentLine(int number, const std::string& text);
    void SetDate(int year, int month, int day, int hour, int minute);
    void SetFlag(int flag);
    // Name and text of entry index (the entries grow to hold it).
    void SetEntry(int index, const std::string& name, const std::string& text);

private:
    bool ParseEntries(const unsigned char* data, std::size_t size, int count);
    void Fail();
    void EnsureEntries(std::size_t count);
    void DeriveCode();
    void DeriveList();
    void DeriveTitleAndComment();
    void DeriveCommentLines();
    void DeriveDate();
    void DeriveFlag();
    void FormatDateTexts();

    std::vector<Entry> m_entries;
    std::string m_codeText = "0";
    int m_code = 0;
    std::string m_codeText1;
    std::string m_codeText2;
    int m_listSelection = -1;
    std::vector<std::string> m_listChoices;
    std::string m_titleText1;
    std::string m_titleText2;
    std::string m_title;
    std::string m_titleText4;
    std::vector<std::string> m_commentLines;
    std::string m_comment;
    std::string m_commentText2;
    std::string m_commentText3;
    std::string m_flagText = "0";
    int m_flag = 1;
    std::string m_blockText;
    std::string m_rawBlock;
    std::vector<std::string> m_values;
    std::string m_dateText;
    std::string m_yearText = "1998";
    std::string m_monthText = "01";
    std::string m_dayText = "01";
    std::string m_hourText = "00";
    std::string m_minuteText = "00";
    int m_year = 1998;
    int m_month = 1;
    int m_day = 1;
    int m_hour = 0;
    int m_minute = 0;
};
