// The reticle CSV: header of a new file, rows appended to an existing one (on lines of their own),
// CR LF line ends, and the failures (file not opened, row not written).
#include <regex>

#include "afx/afx_test_app.h"
#include "afx_core/temp_dir.h"
#include "kivic_reticle/reticle_fixture.h"

namespace {

class ReticleCsvTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQt(); }
    void TearDown() override { AfxSetFileDialogHook(nullptr); }
    TempDir dir;
    TestReticleDoc doc;
};

TEST_F(ReticleCsvTest, NewFileGetsTheHeaderThenOneRowPerClick) {
    const std::string path = dir.Path("points.csv");
    SYSTEMTIME before{};
    GetLocalTime(&before);
    ASSERT_TRUE(doc.OpenCsv(path.c_str()));
    EXPECT_TRUE(doc.IsPointInput());
    doc.frame = 120;
    doc.rate = 500;
    doc.SetReticleOrigin(100.0, 200.0);
    EXPECT_TRUE(doc.AddReticlePoint(12.5, 3.0));
    doc.frame = 5;
    doc.rate = 0;
    doc.SetReticleOrigin(0.0, 0.0);
    EXPECT_TRUE(doc.AddReticlePoint(1.0, 2.0));
    doc.frame = -3;
    doc.rate = 1000;
    EXPECT_TRUE(doc.AddReticlePoint(-0.125, 1e6));
    EXPECT_TRUE(doc.CloseCsv());
    EXPECT_FALSE(doc.IsPointInput());
    const std::string text = TempDir::ReadAll(path);
    const std::regex header("Frame No\\.,Time,X,Y,X0,Y0,(\\d{4})/(\\d{2})/(\\d{2}),\\d{2}:\\d{2}:\\d{2},"
                            "/recordings/shot\\.cm8\r\n");
    std::smatch m;
    const std::string first = text.substr(0, text.find("\r\n") + 2);
    ASSERT_TRUE(std::regex_match(first, m, header)) << first;
    EXPECT_EQ(std::stoi(m[1]), before.wYear);
    EXPECT_EQ(text.substr(first.size()), "120,240.00,12.50,3.00,100.00,200.00\r\n"
                                         "5,,1.00,2.00,0.00,0.00\r\n"
                                         "-3,-3.00,-0.12,1000000.00,0.00,0.00\r\n");
}

TEST_F(ReticleCsvTest, ExistingFileGetsRowsAppendedWithoutHeader) {
    const std::string path = dir.Path("old.csv");
    TempDir::WriteAll(path,
                      "Frame No.,Time,X,Y,X0,Y0,2020/01/02,03:04:05,x\r\n1,1.00,1.00,1.00,0.00,0.00\r\n");
    ASSERT_TRUE(doc.OpenCsv(path.c_str()));
    doc.frame = 2;
    doc.rate = 1000;
    ASSERT_TRUE(doc.AddReticlePoint(4.0, 5.0));
    // On disk before the file is closed.
    EXPECT_EQ(TempDir::ReadAll(path), "Frame No.,Time,X,Y,X0,Y0,2020/01/02,03:04:05,x\r\n"
                                      "1,1.00,1.00,1.00,0.00,0.00\r\n"
                                      "2,2.00,4.00,5.00,0.00,0.00\r\n");
    // Point input started again on the same file keeps appending; the origin stays.
    doc.SetReticleOrigin(7.0, 8.0);
    doc.EndPointInput();
    ASSERT_TRUE(doc.OpenCsv(path.c_str()));
    ASSERT_TRUE(doc.AddReticlePoint(0.0, 0.0));
    doc.CloseCsv();
    EXPECT_EQ(doc.GetOriginX(), 7.0);
    EXPECT_EQ(TempDir::ReadAll(path), "Frame No.,Time,X,Y,X0,Y0,2020/01/02,03:04:05,x\r\n"
                                      "1,1.00,1.00,1.00,0.00,0.00\r\n"
                                      "2,2.00,4.00,5.00,0.00,0.00\r\n"
                                      "2,2.00,0.00,0.00,7.00,8.00\r\n");
    // A file whose last line has no line end (saved so by an editor) gets its rows on lines of their
    // own, not joined to that line; an empty one gets rows only.
    doc.SetReticleOrigin(0.0, 0.0);
    TempDir::WriteAll(path, "Frame No.,Time,X,Y,X0,Y0\r\n1,1.00,1.00,1.00,0.00,0.00");
    ASSERT_TRUE(doc.OpenCsv(path.c_str()));
    ASSERT_TRUE(doc.AddReticlePoint(4.0, 5.0));
    doc.CloseCsv();
    EXPECT_EQ(TempDir::ReadAll(path), "Frame No.,Time,X,Y,X0,Y0\r\n"
                                      "1,1.00,1.00,1.00,0.00,0.00\r\n"
                                      "2,2.00,4.00,5.00,0.00,0.00\r\n");
    TempDir::WriteAll(path, "");
    ASSERT_TRUE(doc.OpenCsv(path.c_str()));
    ASSERT_TRUE(doc.AddReticlePoint(4.0, 5.0));
    doc.CloseCsv();
    EXPECT_EQ(TempDir::ReadAll(path), "2,2.00,4.00,5.00,0.00,0.00\r\n");
}

TEST_F(ReticleCsvTest, WithoutOpenFileNothingIsWritten) {
    EXPECT_FALSE(doc.AddReticlePoint(1.0, 1.0));
    EXPECT_FALSE(doc.WriteCsvLine("x\n"));
    EXPECT_FALSE(doc.CloseCsv());
    EXPECT_STREQ(CReticleDoc::FormatTime(120, 500), "240.00");
    EXPECT_STREQ(CReticleDoc::FormatTime(7, 0), "");
    EXPECT_STREQ(CReticleDoc::FormatTime(7, -5), "");
}

TEST_F(ReticleCsvTest, FileThatCannotBeOpenedFailsQuietlyButThePointInputCommandReportsIt) {
    MessageBoxRecorder boxes;
    const std::string bad = dir.Path("no/such/folder/p.csv");
    EXPECT_FALSE(doc.OpenCsv(bad.c_str()));
    EXPECT_FALSE(doc.IsPointInput());
    EXPECT_TRUE(boxes.texts.empty());
    AfxSetFileDialogHook([&](CFileDialog* d) {
        EXPECT_STREQ(d->m_strDefExt, "csv");
        EXPECT_STREQ(d->GetQtFilter(), "Reticle Files (*.csv);;All Files (*.*)");
        EXPECT_EQ(d->m_ofn.Flags, OFN_HIDEREADONLY);
        d->SetPathName(bad.c_str());
        return static_cast<INT_PTR>(IDOK);
    });
    EXPECT_FALSE(doc.SelectCsvFile());
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_FALSE(doc.BeginPointInput());
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(bad), std::string::npos);
    EXPECT_FALSE(doc.IsPointInput());
    // Cancel is no failure: nothing is shown.
    AfxSetFileDialogHook([](CFileDialog*) { return static_cast<INT_PTR>(IDCANCEL); });
    EXPECT_FALSE(doc.BeginPointInput());
    EXPECT_EQ(boxes.texts.size(), 1u);
}

TEST_F(ReticleCsvTest, ARowThatCannotBeWrittenIsReportedAsFailed) {
    // Writes to this device always fail for want of space.
    if (GetFileAttributesA("/dev/full") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(doc.OpenCsv("/dev/full"));
    EXPECT_FALSE(doc.AddReticlePoint(1.0, 2.0));
    doc.CloseCsv();
}

} // namespace
