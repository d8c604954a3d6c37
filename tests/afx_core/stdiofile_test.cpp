#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "afx_core/temp_dir.h"
#include "platform/afx/core/afxcore.h"

class CStdioFileTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(CStdioFileTest, TextModeWritesCrLfAndBinaryModeWritesLf) {
    const std::string text = dir.Path("text.txt");
    const std::string binary = dir.Path("binary.txt");
    {
        CStdioFile file(text.c_str(), CFile::modeCreate | CFile::modeWrite); // text is the default
        EXPECT_TRUE(file.IsTextMode());
        file.WriteString("one\ntwo\n");
        file.WriteString("");
        file.WriteString("three");
    }
    {
        CStdioFile file(binary.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        EXPECT_FALSE(file.IsTextMode());
        file.WriteString("one\ntwo\n");
    }
    EXPECT_EQ(TempDir::ReadAll(text), "one\r\ntwo\r\nthree");
    EXPECT_EQ(TempDir::ReadAll(binary), "one\ntwo\n");
}

TEST_F(CStdioFileTest, ReadStringAcceptsBothLineEnds) {
    const std::string path = dir.Path("mixed.txt");
    TempDir::WriteAll(path, "crlf\r\nlf\n\nlone\rcr\r\nlast");
    for (UINT mode : {static_cast<UINT>(CFile::typeText), static_cast<UINT>(CFile::typeBinary)}) {
        CStdioFile file(path.c_str(), CFile::modeRead | mode);
        CString line;
        ASSERT_TRUE(file.ReadString(line));
        EXPECT_STREQ(line, "crlf");
        ASSERT_TRUE(file.ReadString(line));
        EXPECT_STREQ(line, "lf");
        ASSERT_TRUE(file.ReadString(line));
        EXPECT_TRUE(line.IsEmpty());
        ASSERT_TRUE(file.ReadString(line));
        EXPECT_STREQ(line, "lone\rcr"); // a CR alone is no line end
        ASSERT_TRUE(file.ReadString(line));
        EXPECT_STREQ(line, "last");
        EXPECT_FALSE(file.ReadString(line));
        EXPECT_TRUE(line.IsEmpty());
    }
}

TEST_F(CStdioFileTest, FileEndingInANewLineHasNoExtraEmptyLine) {
    const std::string path = dir.Path("end.txt");
    TempDir::WriteAll(path, "a\r\n");
    CStdioFile file(path.c_str(), CFile::modeRead);
    CString line;
    EXPECT_TRUE(file.ReadString(line));
    EXPECT_FALSE(file.ReadString(line));
}

TEST_F(CStdioFileTest, BufferReadStringKeepsTheNewLineAndStopsAtTheLimit) {
    const std::string path = dir.Path("buffer.txt");
    TempDir::WriteAll(path, "abc\r\ndefgh\nij");
    CStdioFile file(path.c_str(), CFile::modeRead);
    char buffer[16];
    ASSERT_NE(file.ReadString(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "abc\n");
    ASSERT_NE(file.ReadString(buffer, 4), nullptr); // three characters and the terminator
    EXPECT_STREQ(buffer, "def");
    ASSERT_NE(file.ReadString(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "gh\n");
    ASSERT_NE(file.ReadString(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "ij");
    EXPECT_EQ(file.ReadString(buffer, sizeof buffer), nullptr);
}

TEST_F(CStdioFileTest, LineEndSplitAcrossTheReadBuffer) {
    const std::string path = dir.Path("long.txt");
    // Long enough that CR and LF fall into different fills of any buffer up to 64 KiB.
    const std::string first(64 * 1024 - 1, 'a');
    const std::string second(100 * 1024, 'b');
    TempDir::WriteAll(path, first + "\r\n" + second + "\r\nend");
    CStdioFile file(path.c_str(), CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line.GetLength(), static_cast<int>(first.size()));
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line.GetLength(), static_cast<int>(second.size()));
    EXPECT_EQ(line.Find('\r'), -1);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "end");
}

TEST_F(CStdioFileTest, TextModeReadTurnsCrLfIntoLf) {
    const std::string path = dir.Path("read.txt");
    TempDir::WriteAll(path, "a\r\nb\rc");
    {
        CStdioFile file(path.c_str(), CFile::modeRead);
        char buffer[16] = {};
        EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
        EXPECT_EQ(std::string(buffer, 5), "a\nb\rc");
    }
    CStdioFile file(path.c_str(), CFile::modeRead | CFile::typeBinary);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 6u);
    EXPECT_EQ(std::string(buffer, 6), "a\r\nb\rc");
}

TEST_F(CStdioFileTest, PositionLengthAndSeekAgreeWithBufferedData) {
    const std::string path = dir.Path("pos.txt");
    CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
    file.WriteString("line1\nline2\n");
    EXPECT_EQ(file.GetPosition(), 14u); // written but maybe not yet on disk
    EXPECT_EQ(file.GetLength(), 14u);
    file.SeekToBegin();
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "line1");
    EXPECT_EQ(file.GetPosition(), 7u); // after the read-ahead is accounted for
    file.WriteString("LINE2\n");       // overwrites the second line in place
    file.Seek(0, CFile::begin);
    ASSERT_TRUE(file.ReadString(line));
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "LINE2");
    EXPECT_FALSE(file.ReadString(line));
    file.Close();
    EXPECT_EQ(TempDir::ReadAll(path), "line1\r\nLINE2\r\n");
}

TEST_F(CStdioFileTest, OpenFailureIsReportedLikeCFile) {
    const std::string missing = dir.Path("none.txt");
    CStdioFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    try {
        CStdioFile thrown(missing.c_str(), CFile::modeRead);
        FAIL() << "no exception";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
        e->Delete();
    }
}

TEST_F(CStdioFileTest, ManyLinesRoundTrip) {
    const std::string path = dir.Path("many.csv");
    {
        CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CString line;
        for (int i = 0; i < 20000; ++i) {
            line.Format("%d,%d,%.3f\n", i, i * 2, i / 8.0);
            file.WriteString(line);
        }
    }
    CStdioFile file(path.c_str(), CFile::modeRead);
    CString line;
    CString expected;
    int count = 0;
    while (file.ReadString(line)) {
        expected.Format("%d,%d,%.3f", count, count * 2, count / 8.0);
        ASSERT_EQ(line, expected) << "line " << count;
        ++count;
    }
    EXPECT_EQ(count, 20000);
}
