// Matching parameter sets, their per-point lists and their text lines.
#include "ZopDat/JobFile.h"
#include "ZopDat/MatParam4Point.h"
#include "ZopDat/MatchingParam.h"
#include "ZopDat/TrackingJobPar.h"
#include "zopdat/TempFolder.h"

#include <gtest/gtest.h>

namespace {

const std::string kDefaultLine = "1,1,3,0.000000,1,10,10,5,5,0,0,0,0";
const std::string kVariedLine = "2,-7,6,0.875000,0,12,8,30,31,1,7,1,2147483647";
const std::string kZeroLine = "0,0,0,0.000000,0,0,0,0,0,0,0,0,0";

// The written line names every field, so comparing lines compares whole records.
std::string Line(const MatchingParam& p) {
    std::string line;
    p.Write(line);
    return line;
}

MatchingParam Varied() {
    MatchingParam p;
    p.prediction = 2;
    p.spare1 = -7;
    p.method = 6;
    p.threshold = 0.875;
    p.keepTemplate = 0;
    p.templateRadiusX = 12;
    p.templateRadiusY = 8;
    p.searchMarginX = 30;
    p.searchMarginY = 31;
    p.rotate = 1;
    p.rotationStep = 7;
    p.templateType = 1;
    p.spare2 = 2147483647;
    return p;
}

// Reads one record from text (which keeps what follows) and returns its line.
std::string ReadLine(std::string& text) {
    JobFile file;
    MatchingParam p = Varied();
    p.Read(file, text);
    return Line(p);
}

} // namespace

TEST(MatchingParamText, LinesOfDefaultAndVariedRecordsReadBack) {
    EXPECT_EQ(kDefaultLine, Line(MatchingParam()));
    EXPECT_EQ(kVariedLine, Line(Varied()));
    std::string text = kDefaultLine;
    EXPECT_EQ(kDefaultLine, ReadLine(text));
    EXPECT_EQ("", text);
    text = kVariedLine;
    EXPECT_EQ(kVariedLine, ReadLine(text));
}

TEST(MatchingParamText, MissingAndMalformedFieldsBecomeZero) {
    std::string text = "2,1,4";
    EXPECT_EQ("2,1,4,0.000000,0,0,0,0,0,0,0,0,0", ReadLine(text));
    EXPECT_EQ("", text);
    // An empty first field takes the whole rest of the line as its token.
    text = ",5,5";
    EXPECT_EQ(kZeroLine, ReadLine(text));
    text = " 7x,abc,-3,1e-2,+4, 9";
    EXPECT_EQ("7,0,-3,0.010000,4,9,0,0,0,0,0,0,0", ReadLine(text));
    text = "99999999999,-99999999999";
    EXPECT_EQ("2147483647,-2147483648,0,0.000000,0,0,0,0,0,0,0,0,0", ReadLine(text));
}

TEST(MatchingParamText, FieldsPastTheThirteenthStayForTheNextReader) {
    std::string text = kDefaultLine + "," + kVariedLine + ",tail";
    EXPECT_EQ(kDefaultLine, ReadLine(text));
    EXPECT_EQ(kVariedLine + ",tail", text);
    EXPECT_EQ(kVariedLine, ReadLine(text));
    EXPECT_EQ("tail", text);
}

TEST(MatchingParamText, HugeThresholdIsWrittenWhole) {
    MatchingParam p;
    p.threshold = 1e300;
    std::string line = Line(p);
    EXPECT_GT(line.size(), 300u);
    JobFile file;
    MatchingParam read;
    read.Read(file, line);
    EXPECT_EQ(1e300, read.threshold);
    EXPECT_EQ(0, read.spare2);
}

TEST(MatParam4PointText, CountThenRecords) {
    MatParam4Point list;
    std::string line;
    list.Write(line);
    EXPECT_EQ("0", line);
    list.Add(new MatchingParam);
    list.Write(line);
    EXPECT_EQ("1," + kDefaultLine, line);
    list.Add(new MatchingParam(Varied()));
    list.Write(line);

    JobFile file;
    MatParam4Point read;
    read.Read(file, line);
    ASSERT_EQ(2, read.Count());
    EXPECT_EQ(kDefaultLine, Line(*read.Get(0)));
    EXPECT_EQ(kVariedLine, Line(*read.Get(1)));
    EXPECT_EQ(nullptr, read.Get(2));
    EXPECT_EQ(nullptr, read.Get(-1));
    // Reading appends.
    read.Read(file, "1," + kDefaultLine);
    EXPECT_EQ(3, read.Count());
}

TEST(MatParam4PointText, CountsOfNothingAndOfTooMuch) {
    JobFile file;
    MatParam4Point list;
    list.Read(file, "0," + kDefaultLine);
    list.Read(file, "-1," + kDefaultLine);
    list.Read(file, "");
    EXPECT_EQ(0, list.Count());

    list.Read(file, "3," + kDefaultLine);
    ASSERT_EQ(3, list.Count());
    EXPECT_EQ(kDefaultLine, Line(*list.Get(0)));
    EXPECT_EQ(kZeroLine, Line(*list.Get(1)));
    EXPECT_EQ(kZeroLine, Line(*list.Get(2)));

    // A hostile count is held at the cap instead of growing the list without bound.
    MatParam4Point capped;
    capped.Read(file, "2000000000");
    EXPECT_EQ(MatParam4Point::kMaxSets, capped.Count());
}

TEST(ParameterLists, CopiesAreDeepAndSelfAssignmentKeepsRecords) {
    TrackingJobPar par;
    par.value1 = 1;
    par.value3 = 3;
    par.Add(new MatParam4Point);
    par.Get(0)->tag = 5;
    par.Get(0)->Add(new MatchingParam(Varied()));
    MatParam4Point* point = par.Get(0);
    MatchingParam* record = point->Get(0);
    par = par;
    *point = *point;
    EXPECT_EQ(point, par.Get(0));
    EXPECT_EQ(record, point->Get(0));

    TrackingJobPar copy(par);
    EXPECT_EQ(3, copy.value3);
    EXPECT_EQ(5, copy.Get(0)->tag);
    EXPECT_NE(point, copy.Get(0));
    EXPECT_NE(record, copy.Get(0)->Get(0));
    copy.Get(0)->Get(0)->method = 0;
    EXPECT_EQ(6, record->method);

    TrackingJobPar assigned;
    assigned.Add(new MatParam4Point);
    assigned.Add(new MatParam4Point);
    assigned = par;
    ASSERT_EQ(1, assigned.Count());
    EXPECT_EQ(1, assigned.value1);
    EXPECT_EQ(kVariedLine, Line(*assigned.Get(0)->Get(0)));
}

TEST(TrackingJobParText, WritesSixValuesAndReadsThemBack) {
    TempFolder folder;
    const char* const keys[5] = {"First", "Second", "Third", "Count", "Point%d"};
    TrackingJobPar par;
    par.value1 = -5;
    par.value2 = 2147483647;
    par.value3 = 3;
    for (const MatchingParam& p : {MatchingParam(), Varied()}) {
        auto* point = new MatParam4Point;
        point->Add(new MatchingParam(p));
        par.Add(point);
    }
    JobFile file;
    ASSERT_TRUE(file.Open(folder.File("job.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(1, par.Write(file, keys));
    file.Close();
    EXPECT_EQ("First=-5\r\nSecond=2147483647\r\nThird=3\r\nCount=2\r\nPoint1=1," + kDefaultLine +
                  "\r\nPoint2=1," + kVariedLine + "\r\n",
              ReadAll(folder.File("job.txt")));

    ASSERT_TRUE(file.Open(folder.File("job.txt").c_str(), CFile::modeRead));
    TrackingJobPar read;
    EXPECT_EQ(1, read.Read(file, keys));
    EXPECT_EQ(-5, read.value1);
    EXPECT_EQ(2147483647, read.value2);
    EXPECT_EQ(3, read.value3);
    ASSERT_EQ(2, read.Count());
    EXPECT_EQ(kVariedLine, Line(*read.Get(1)->Get(0)));
}

TEST(TrackingJobParText, MissingValuesStopTheRead) {
    TempFolder folder;
    const char* const keys[5] = {"A", "B", "C", "N", "P%d"};
    JobFile file;
    auto openOn = [&](const std::string& bytes) {
        if (file.m_hFile != CFile::hFileNull) {
            file.Close();
        }
        WriteAll(folder.File("job.txt"), bytes);
        return file.Open(folder.File("job.txt").c_str(), CFile::modeRead);
    };
    // A count of 0 reads four values and leaves the list as it was.
    ASSERT_TRUE(openOn("A=1\nB=2\nC=3\nN=0\nP1=1\n"));
    TrackingJobPar par;
    par.Add(new MatParam4Point);
    EXPECT_EQ(1, par.Read(file, keys));
    EXPECT_EQ(1, par.Count());

    // More points promised than present: fails at the first missing one; what was read stays.
    ASSERT_TRUE(openOn("A=x\nB=\nC=9\nN=1000000000\nP1=0\n"));
    TrackingJobPar partial;
    EXPECT_EQ(0, partial.Read(file, keys));
    EXPECT_EQ(0, partial.value1);
    EXPECT_EQ(9, partial.value3);
    EXPECT_EQ(1, partial.Count());

    ASSERT_TRUE(openOn("A=1\nX=2\n"));
    TrackingJobPar wrong;
    EXPECT_EQ(0, wrong.Read(file, keys));
    EXPECT_EQ(1, wrong.value1);
    EXPECT_EQ(0, wrong.value2);
}

TEST(TrackingJobParText, BadPointKeyFormatIsRefused) {
    TempFolder folder;
    const char* const keys[5] = {"A", "B", "C", "N", "P%s"};
    TrackingJobPar par;
    par.Add(new MatParam4Point);
    JobFile file;
    ASSERT_TRUE(file.Open(folder.File("job.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(0, par.Write(file, keys));
}
