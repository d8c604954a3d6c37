#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "afx_core/temp_dir.h"
#include "platform/afx/core/afxcore.h"

namespace {

// Runs body and returns the cause of the CFileException it throws (-1 when nothing is thrown).
template <typename Body> int CauseOf(Body body) {
    try {
        body();
    } catch (CFileException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

} // namespace

class CFileTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(CFileTest, WritesReadsAndCountsShortReads) {
    const std::string path = dir.Path("data.bin");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        const char bytes[] = {'\x00', '\x01', '\x02', '\x03', '\x04', '\x05', '\x06', '\x07', '\x08', '\x09'};
        file.Write(bytes, sizeof bytes);
        file.Write(bytes, 0);
        EXPECT_EQ(file.GetLength(), 10u);
        EXPECT_EQ(file.GetPosition(), 10u);
    }
    EXPECT_EQ(TempDir::ReadAll(path).size(), 10u);

    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(buffer[3], '\x03');
    EXPECT_EQ(file.Read(buffer, 16), 6u); // the rest only
    EXPECT_EQ(buffer[0], '\x04');
    EXPECT_EQ(file.Read(buffer, 16), 0u); // at the end
    file.Close();
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
}

TEST_F(CFileTest, SeeksFromEachOriginAndRejectsNegativePositions) {
    const std::string path = dir.Path("seek.bin");
    TempDir::WriteAll(path, "0123456789");
    CFile file(path.c_str(), CFile::modeReadWrite);
    EXPECT_EQ(file.Seek(3, CFile::begin), 3u);
    EXPECT_EQ(file.Seek(2, CFile::current), 5u);
    EXPECT_EQ(file.Seek(-1, CFile::end), 9u);
    char c = 0;
    EXPECT_EQ(file.Read(&c, 1), 1u);
    EXPECT_EQ(c, '9');
    EXPECT_EQ(file.SeekToEnd(), 10u);
    file.SeekToBegin();
    EXPECT_EQ(file.GetPosition(), 0u);

    EXPECT_EQ(CauseOf([&] { file.Seek(-1, CFile::begin); }), CFileException::badSeek);
    EXPECT_EQ(CauseOf([&] { file.Seek(-11, CFile::end); }), CFileException::badSeek);
    EXPECT_EQ(file.GetPosition(), 0u); // a refused seek leaves the position

    // Past the end is allowed; writing there fills the gap with zero bytes.
    EXPECT_EQ(file.Seek(12, CFile::begin), 12u);
    file.Write("x", 1);
    EXPECT_EQ(file.GetLength(), 13u);
    file.Close();
    EXPECT_EQ(TempDir::ReadAll(path), std::string("0123456789\0\0x", 13));
}

TEST_F(CFileTest, SetLengthCutsAndExtends) {
    const std::string path = dir.Path("len.bin");
    TempDir::WriteAll(path, "abcdef");
    CFile file(path.c_str(), CFile::modeReadWrite);
    file.SetLength(3);
    EXPECT_EQ(file.GetLength(), 3u);
    file.SetLength(5);
    EXPECT_EQ(file.GetLength(), 5u);
    file.Close();
    EXPECT_EQ(TempDir::ReadAll(path), std::string("abc\0\0", 5));
}

TEST_F(CFileTest, PositionsPastFourGigabytes) {
    const std::string path = dir.Path("sparse.bin");
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
    const ULONGLONG far = (5ull << 30) + 17;
    file.SetLength(far + 1);
    EXPECT_EQ(file.GetLength(), far + 1);
    EXPECT_EQ(file.Seek(static_cast<LONGLONG>(far), CFile::begin), far);
    file.Write("z", 1);
    EXPECT_EQ(file.GetPosition(), far + 1);
    EXPECT_EQ(file.Seek(-1, CFile::current), far);
    char c = 0;
    EXPECT_EQ(file.Read(&c, 1), 1u);
    EXPECT_EQ(c, 'z');
}

TEST_F(CFileTest, CreateTruncatesUnlessNoTruncate) {
    const std::string path = dir.Path("keep.txt");
    TempDir::WriteAll(path, "old contents");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(file.GetLength(), 12u);
    }
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 0u);
    }
    EXPECT_TRUE(TempDir::ReadAll(path).empty());
}

TEST_F(CFileTest, OpenFailuresReportTheirCause) {
    const std::string missing = dir.Path("missing.bin");
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_NE(CString(error.m_strFileName).Find("missing.bin"), -1);
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead)); // no error object: just FALSE

    EXPECT_EQ(CauseOf([&] { CFile f(missing.c_str(), CFile::modeRead); }), CFileException::fileNotFound);
    const std::string noFolder = dir.Path("no/such/folder/x.bin");
    EXPECT_EQ(CauseOf([&] { CFile f(noFolder.c_str(), CFile::modeCreate | CFile::modeWrite); }),
              CFileException::badPath);
    EXPECT_EQ(CauseOf([&] { CFile::Remove(missing.c_str()); }), CFileException::fileNotFound);
}

TEST_F(CFileTest, WriteToAFullDeviceThrowsDiskFull) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    CFile file("/dev/full", CFile::modeWrite);
    const std::vector<char> block(4096, 'a');
    EXPECT_EQ(CauseOf([&] { file.Write(block.data(), static_cast<UINT>(block.size())); }),
              CFileException::diskFull);
}

TEST_F(CFileTest, NamesRenameAndStatus) {
    const std::string path = dir.Path("report.final.csv");
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    EXPECT_STREQ(file.GetFileName(), "report.final.csv");
    EXPECT_STREQ(file.GetFileTitle(), "report.final");
    EXPECT_STREQ(file.GetFilePath(), path.c_str());
    file.Write("12345", 5);
    file.Close();

    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
    EXPECT_EQ(status.m_size, 5u);
    EXPECT_EQ(status.m_attribute & CFile::directory, 0);
    const std::string renamed = dir.Path("renamed.csv");
    CFile::Rename(path.c_str(), renamed.c_str());
    EXPECT_FALSE(CFile::GetStatus(path.c_str(), status));
    EXPECT_TRUE(CFile::GetStatus(renamed.c_str(), status));
    CFile::Remove(renamed.c_str());
    EXPECT_FALSE(std::filesystem::exists(renamed));
}

TEST_F(CFileTest, AttachedHandleIsNotClosedByTheObject) {
    const std::string path = dir.Path("attached.bin");
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    {
        CFile file(handle);
        file.Write("ab", 2);
    }
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(handle, "c", 1, &written, nullptr)); // still open
    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_EQ(TempDir::ReadAll(path), "abc");
}
