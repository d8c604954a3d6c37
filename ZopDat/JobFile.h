// The text file of a tracking job's parameters: sections ("[name]") and values ("key=value"), read back
// in exactly the order in which they were written. Values longer than a line continue over several lines:
// every line but the last ends with one backslash, the last with two.
#pragma once

#include "platform/afx/core/afxcore.h"

#include <string>

class JobFile : public CStdioFile {
public:
    // Line kinds of ParseLine.
    enum LineType { kSection = 1, kValue = 2, kOther = 3 };
    // Results of ParseLine and ReadContinuation.
    enum LineResult { kRead = 0, kEndOfFile = 1, kUnusable = 2 };
    // A key=value line of this many characters or more is written in continued pieces of kPieceLength.
    static constexpr std::size_t kLongLine = 1023;
    static constexpr std::size_t kPieceLength = 1021;

    JobFile() = default;
    ~JobFile() override;

    // Keyed access needs a keyed file type; the sequential file only reports success.
    virtual bool ReadKeyed(const char* key, std::string& value, void* context);
    // Reads the next line: true only for a value line whose key equals key (the line is consumed anyway).
    virtual bool ReadValue(const char* key, std::string& value);
    virtual bool WriteKeyed(const char* key, const char* value, void* context);
    virtual bool KeyedHook(const char* key, const std::string& value, void* context);
    // Writes "key=value", continued over several lines when it is long; false on a file error.
    virtual bool WriteValue(const char* key, std::string value);
    virtual bool WriteValue(const char* key, const char* value);

    // Reads lines up to the section of that name; false at the end of the file or at the first line
    // that is neither a section nor a value.
    bool FindSection(const char* name);
    bool WriteSection(const char* name);
    // Writes text and a line end; false when the file reports an error.
    bool WriteLine(std::string text);

    // Reads and classifies the next line (see LineType / LineResult).
    int ParseLine(int& type, int& state, std::string& key, std::string& value);
    // Reads one continuation line into part; state 1 more follows, 2 the value ends here.
    int ReadContinuation(int& state, std::string& part);

    // The context a keyed file type hands to its hooks; the sequential file has none.
    void* KeyedContext() const { return nullptr; }

    static void SplitToken(std::string& text, std::string separator, std::string& token);
    static bool Exists(std::string name);

private:
    // Reads a whole line without its line end; false at the end of the file.
    bool ReadLine(std::string& line);
};
