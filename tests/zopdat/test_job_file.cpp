// The job file: sections, values, continued long values and line kinds.
#include "ZopDat/JobFile.h"
#include "zopdat/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

// A job file opened on given bytes for reading.
class JobFileReading : public ::testing::Test {
protected:
    void OpenOn(const std::string& bytes) {
        if (file.m_hFile != CFile::hFileNull) {
            file.Close();
        }
        WriteAll(folder.File("job.txt"), bytes);
        ASSERT_TRUE(file.Open(folder.File("job.txt").c_str(), CFile::modeRead));
    }

    TempFolder folder;
    JobFile file;
};

std::string WriteJob(const TempFolder& folder, const std::function<void(JobFile&)>& write) {
    JobFile file;
    EXPECT_TRUE(file.Open(folder.File("w.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    write(file);
    file.Close();
    return ReadAll(folder.File("w.txt"));
}

} // namespace

TEST(JobFileWriting, SectionsAndValuesEndInCrLf) {
    TempFolder folder;
    const std::string bytes = WriteJob(folder, [](JobFile& file) {
        EXPECT_TRUE(file.WriteSection("Job"));
        EXPECT_TRUE(file.WriteValue("Name", "run 1"));
        EXPECT_TRUE(file.WriteValue("Empty", std::string()));
        EXPECT_TRUE(file.WriteValue("", "keyless"));
        EXPECT_TRUE(file.WriteLine("free text"));
    });
    EXPECT_EQ("[Job]\r\nName=run 1\r\nEmpty=\r\n=keyless\r\nfree text\r\n", bytes);
}

TEST(JobFileWriting, LongValuesAreContinuedInPiecesOf1021) {
    TempFolder folder;
    // "k=" plus the value: lines of 1022 characters stay whole, 1023 and more are cut.
    const std::string v1020(1020, 'a');
    const std::string v1021(1021, 'b');
    const std::string v2040(2040, 'c');
    const std::string bytes = WriteJob(folder, [&](JobFile& file) {
        EXPECT_TRUE(file.WriteValue("k", v1020));
        EXPECT_TRUE(file.WriteValue("k", v1021));
        EXPECT_TRUE(file.WriteValue("k", v2040));
    });
    const std::string line1023 = "k=" + v1021;
    const std::string line2042 = "k=" + v2040;
    EXPECT_EQ("k=" + v1020 + "\r\n" + line1023.substr(0, 1021) + "\\\r\n" + line1023.substr(1021) +
                  "\\\\\r\n" + line2042.substr(0, 1021) + "\\\r\n" + line2042.substr(1021) + "\\\\\r\n",
              bytes);
}

TEST(JobFileWriting, WriteErrorsAreReportedNotThrown) {
    TempFolder folder;
    WriteAll(folder.File("ro.txt"), "x\n");
    JobFile file;
    ASSERT_TRUE(file.Open(folder.File("ro.txt").c_str(), CFile::modeRead));
    EXPECT_FALSE(file.WriteValue("k", "v"));
    EXPECT_FALSE(file.WriteValue("k", std::string(5000, 'v')));
    EXPECT_FALSE(file.WriteSection("S"));
    file.Abort();
    EXPECT_EQ("x\n", ReadAll(folder.File("ro.txt")));
}

TEST_F(JobFileReading, LongValuesReadBackWholeAndKeepTheReaderInStep) {
    const std::string sizes[] = {std::string(1020, 'a'), std::string(1021, 'b'), std::string(2040, 'c'),
                                 std::string(2041, 'd'), std::string(5000, 'e')};
    WriteJob(folder, [&](JobFile& writer) {
        for (const std::string& value : sizes) {
            EXPECT_TRUE(writer.WriteValue("k", value));
        }
        EXPECT_TRUE(writer.WriteValue("after", "1"));
    });
    ASSERT_TRUE(file.Open(folder.File("w.txt").c_str(), CFile::modeRead));
    for (const std::string& expected : sizes) {
        std::string value;
        EXPECT_TRUE(file.ReadValue("k", value));
        EXPECT_EQ(expected, value);
    }
    std::string value;
    EXPECT_TRUE(file.ReadValue("after", value));
    EXPECT_EQ("1", value);
    int type = 0, state = 0;
    std::string key;
    EXPECT_EQ(JobFile::kEndOfFile, file.ParseLine(type, state, key, value));
}

TEST_F(JobFileReading, LineKinds) {
    OpenOn("[Sec]\n[open\nno equals\n\n=v\nk=\na=b=c\n[]\n");
    // result|type|key|value of each ParseLine.
    auto next = [this]() {
        int type = 0, state = 0;
        std::string key = "-", value = "-";
        const int result = file.ParseLine(type, state, key, value);
        return std::to_string(result) + "|" + std::to_string(type) + "|" + key + "|" + value;
    };
    EXPECT_EQ("0|1|Sec|-", next());
    EXPECT_EQ("2|3|-|-", next());
    EXPECT_EQ("2|3|-|-", next());
    EXPECT_EQ("2|3|-|-", next());
    EXPECT_EQ("0|2||v", next());
    EXPECT_EQ("0|2|k|", next());
    EXPECT_EQ("0|2|a|b=c", next());
    EXPECT_EQ("0|1||-", next());
    EXPECT_EQ("1|3|-|-", next());
}

TEST_F(JobFileReading, ContinuationLines) {
    // A middle line without a backslash is taken whole and the value goes on.
    OpenOn("k=ab\\\r\ncd\\\r\nef\r\ngh\\\\\r\nnext=1\r\n");
    std::string value;
    EXPECT_TRUE(file.ReadValue("k", value));
    EXPECT_EQ("abcdefgh", value);
    EXPECT_TRUE(file.ReadValue("next", value));
    EXPECT_EQ("1", value);

    // An empty line cuts a continued value short; so does the end of the file.
    OpenOn("k=ab\\\ncd\\\n\nk=x\\\n");
    int type = 0, state = 0;
    std::string key;
    EXPECT_EQ(JobFile::kUnusable, file.ParseLine(type, state, key, value));
    EXPECT_EQ(JobFile::kEndOfFile, file.ParseLine(type, state, key, value));

    std::string part;
    OpenOn("x\\\\\ny\\\nz\n\n");
    EXPECT_EQ(JobFile::kRead, file.ReadContinuation(state, part));
    EXPECT_EQ(2, state);
    EXPECT_EQ("x", part);
    EXPECT_EQ(JobFile::kRead, file.ReadContinuation(state, part));
    EXPECT_EQ(1, state);
    EXPECT_EQ("y", part);
    EXPECT_EQ(JobFile::kRead, file.ReadContinuation(state, part));
    EXPECT_EQ(0, state);
    EXPECT_EQ("z", part);
    EXPECT_EQ(JobFile::kUnusable, file.ReadContinuation(state, part));
    EXPECT_EQ(JobFile::kEndOfFile, file.ReadContinuation(state, part));
}

TEST_F(JobFileReading, SectionsAndValuesInOrder) {
    OpenOn("[Other]\r\nA=1\r\n[Job]\r\nA=2\r\nB=3\r\nC=4\r\n");
    std::string value = "unchanged";
    EXPECT_TRUE(file.FindSection("Job"));
    EXPECT_FALSE(file.ReadValue("B", value));
    EXPECT_EQ("unchanged", value);
    // The refused line was consumed: reading goes on with the next one.
    EXPECT_TRUE(file.ReadValue("B", value));
    EXPECT_EQ("3", value);
    EXPECT_FALSE(file.ReadValue("c", value));
    EXPECT_FALSE(file.ReadValue("C", value));

    OpenOn("[Jo]\n[Job2]\n[Job]\n");
    EXPECT_TRUE(file.FindSection("Job"));
    OpenOn("[A]\n\n[Job]\n");
    EXPECT_FALSE(file.FindSection("Job"));
    OpenOn("[A]\nA=1\n");
    EXPECT_FALSE(file.FindSection("Job"));
}

TEST_F(JobFileReading, LinesOfAnyLengthAreReadWhole) {
    const std::string value(100000, 'q');
    OpenOn("k=" + value + "\nk2=" + std::string(1021, 'r') + "\\\\\n");
    std::string read;
    EXPECT_TRUE(file.ReadValue("k", read));
    EXPECT_EQ(value, read);
    // A first line ending in two backslashes drops one and goes on to the next line.
    int type = 0, state = 0;
    std::string key;
    EXPECT_EQ(JobFile::kEndOfFile, file.ParseLine(type, state, key, read));
}

TEST(JobFileBackslashes, ValuesEndingInBackslashesSurviveAWriteAndRead) {
    TempFolder folder;
    // Backslash runs placed at and around every piece boundary, plus short values ending in backslashes.
    std::vector<std::string> values = {"C:\\dir\\",
                                       "\\",
                                       "\\\\",
                                       "a\\b",
                                       std::string(1500, '\\'),
                                       std::string(1021, '\\') + "x",
                                       std::string(3000, '\\') + "y\\"};
    std::mt19937 random(7);
    for (int n = 0; n < 40; ++n) {
        std::string value;
        const std::size_t length = 1015 + random() % 1050;
        for (std::size_t i = 0; i < length; ++i) {
            value += random() % 3 == 0 ? 'a' : '\\';
        }
        values.push_back(value);
    }
    for (std::size_t cut = 1015; cut < 1025; ++cut) {
        values.push_back(std::string(cut, 'a') + "\\\\" + std::string(1019, 'b') + "\\");
    }
    WriteJob(folder, [&](JobFile& writer) {
        for (const std::string& value : values) {
            EXPECT_TRUE(writer.WriteValue("k", value));
        }
        EXPECT_TRUE(writer.WriteValue("end", "1"));
    });
    JobFile file;
    ASSERT_TRUE(file.Open(folder.File("w.txt").c_str(), CFile::modeRead));
    for (std::size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(i);
        std::string read;
        ASSERT_TRUE(file.ReadValue("k", read));
        EXPECT_EQ(values[i], read);
    }
    std::string read;
    EXPECT_TRUE(file.ReadValue("end", read));
}

TEST(JobFileBackslashes, UnwritableKeysAndValuesAreRefused) {
    TempFolder folder;
    const std::string longKey(1500, 'K');
    const std::string bytes = WriteJob(folder, [&](JobFile& writer) {
        EXPECT_FALSE(writer.WriteValue("a=b", "v"));
        EXPECT_FALSE(writer.WriteValue("[a]", "v"));
        EXPECT_FALSE(writer.WriteValue("k", "two\nlines"));
        EXPECT_FALSE(writer.WriteValue("k", std::string("nul\0byte", 8)));
        EXPECT_FALSE(writer.WriteLine("cr\r"));
        EXPECT_TRUE(writer.WriteValue(longKey.c_str(), "v"));
    });
    EXPECT_EQ(longKey + "=\\\r\nv\\\\\r\n", bytes);
    JobFile file;
    ASSERT_TRUE(file.Open(folder.File("w.txt").c_str(), CFile::modeRead));
    std::string read;
    EXPECT_TRUE(file.ReadValue(longKey.c_str(), read));
    EXPECT_EQ("v", read);
}

TEST(JobFileHelpers, SplitTokenAndExists) {
    std::string text = "a,b,";
    std::string token;
    JobFile::SplitToken(text, ",", token);
    EXPECT_EQ("a", token);
    EXPECT_EQ("b,", text);
    JobFile::SplitToken(text, ",", token);
    EXPECT_EQ("b", token);
    EXPECT_EQ("", text);
    text = ",x,y";
    JobFile::SplitToken(text, ",", token);
    EXPECT_EQ(",x,y", token);
    EXPECT_EQ("", text);
    text = "plain";
    JobFile::SplitToken(text, ",", token);
    EXPECT_EQ("plain", token);
    EXPECT_EQ("", text);
    text = "abc";
    JobFile::SplitToken(text, "", token);
    EXPECT_EQ("abc", token);

    TempFolder folder;
    WriteAll(folder.File("f"), "");
    EXPECT_TRUE(JobFile::Exists(folder.File("f")));
    EXPECT_TRUE(JobFile::Exists(folder.Path().string()));
    EXPECT_FALSE(JobFile::Exists(folder.File("g")));
}
