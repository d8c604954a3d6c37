// The report of a run: step timers, the day's log file in code page 932 and the text on the debug
// output.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdarg>
#include <iconv.h>
#include <mutex>

#include "afx/afx_test_app.h"
#include "kivic_tracking/tracking_host.h"

namespace {

// The timer names as the tracking job's table lists them.
const char* const kTimerNames[18] = {"Frame-Start",
                                     "各種ログの初期化",
                                     "画像の表示",
                                     "トラッキング画像の取得",
                                     "トラッキング画像の変換",
                                     "ポイント－スタート",
                                     "マッチング用JOBパラメータの取得",
                                     "テンプレートの切り出し、学習",
                                     "テンプレートの取得",
                                     "テンプレートの幅、高さ",
                                     "テンプレート画像Rawデータの保存",
                                     "予測位置の計算",
                                     "ログ(予測位置)の保存",
                                     "マッチングクラスの構築",
                                     "サーチエリアの計算",
                                     "サーチエリアの切り出し、ファイル保存",
                                     "マッチング実行",
                                     "結果保存"};

const char kRule[] = "--------------------------------------------------------------\n";

std::string Fmt(const char* format, ...) {
    char buffer[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// Strict conversion: every character of the expected text must exist in code page 932.
std::string Cp932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string out(utf8.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    EXPECT_NE(iconv(cd, &in, &inLeft, &dst, &dstLeft), static_cast<std::size_t>(-1)) << utf8;
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

std::string LogName() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return Fmt("MatRes_%04d%02d%02d.log", t.wYear, t.wMonth, t.wDay);
}

// Two points on three frames: point 1 with the default parameters, point 2 with rotation by 90
// degrees, the full-scan method without prediction, a threshold and the other template type.
void SetUpTwoPoints(TrackingHost& host) {
    host.MakeFrames(3, [](int f, Picture& p) {
        p.AddBlob(25 + f, 30);
        p.AddBlob(60, 40 - f);
    });
    MatchingParam second;
    second.method = 0;
    second.prediction = 0;
    second.rotate = 1;
    second.rotationStep = 0;
    second.threshold = 0.5;
    second.templateType = 1;
    second.searchMarginY = 4;
    host.SetPoints(2);
    *host.jobs.params.Get(1)->Get(0) = second;
    host.SetByHand(0, 0, 25, 30);
    host.SetByHand(0, 1, 60, 40);
}

class TrackingReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        m_oldSink = SetDebugOutputSink([this](const char* text) {
            std::lock_guard<std::mutex> lock(m_lock);
            debugLines.emplace_back(text);
        });
    }
    void TearDown() override { SetDebugOutputSink(m_oldSink); }

    TempFolder temp;
    MessageBoxRecorder boxes;
    std::vector<std::string> debugLines;

private:
    DebugOutputSink m_oldSink;
    std::mutex m_lock;
};

TEST_F(TrackingReportTest, TimersOfAThreeFrameTwoPointRun) {
    TrackingHost host(96, 80);
    SetUpTwoPoints(host);
    ASSERT_EQ(host.Run(0, 2), 1);
    const int expected[18] = {3, 3, 3, 3, 3, 6, 6, 4, 4, 4, 0, 4, 4, 4, 4, 4, 4, 4};
    StepTimerList& timers = *host.log->GetTimers();
    ASSERT_EQ(timers.Count(), 18);
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(timers.Get(i)->count, expected[i]) << i;
        if (expected[i] > 0) {
            EXPECT_EQ(timers.Get(i)->label.text, kTimerNames[i]);
        }
    }
    // Every point was found on both tracked frames.
    for (long f : {1, 2}) {
        EXPECT_EQ(host.State(f, 0), PointEntry::kFound);
        EXPECT_EQ(host.State(f, 1), PointEntry::kFound);
    }
}

TEST_F(TrackingReportTest, TheLogFileHoldsTheCommaFormInCodePage932) {
    TrackingHost host(96, 80);
    host.debug = true;
    SetUpTwoPoints(host);
    ASSERT_EQ(host.Run(0, 2), 1);
    const std::string bytes = TempDir::ReadAll(temp.Path(LogName()));
    ASSERT_FALSE(bytes.empty());

    std::string e = kRule;
    e += "AVIファイル名: /data/run 1/shot.avi\n";
    e += kRule;
    e += "計測点数,2\n";
    struct PointText {
        const char *method, *prediction, *rotation, *type;
        int height, templates;
        const char* threshold;
    };
    const PointText points[2] = {
        {"相関法（拡張フルスキャン法）", "直線予測（速度考慮）", "回転無し", "固定矩形", 31, 1, "0.000000"},
        {"相関法（フルスキャン法）", "なし", "90度毎回転", "矩形拡張型", 29, 4, "0.500000"}};
    for (int p = 0; p < 2; ++p) {
        e += Fmt("点番号,%d\n", p + 1);
        e += Fmt("マッチング法,,,,%s\n", points[p].method);
        e += Fmt("予測法,,,,%s\n", points[p].prediction);
        e += Fmt("テンプレート,,,,%s\n", points[p].rotation);
        e += Fmt("サーチ法,,,,%s\n", points[p].type);
        e += "ｻｰﾁｴﾘｱ幅,,,,31\n";
        e += Fmt("ｻｰﾁｴﾘｱ高さ,,,,%d\n", points[p].height);
        e += Fmt("設定閾値,,,,%s\n", points[p].threshold);
        e += Fmt("ﾃﾝﾌﾟﾚｰﾄ数,,,,%d\n", points[p].templates);
        for (int k = 1; k <= points[p].templates; ++k)
            e += Fmt("ﾃﾝﾌﾟﾚｰﾄ番号,,%d\nﾃﾝﾌﾟﾚｰﾄ幅,,,21\nﾃﾝﾌﾟﾚｰﾄ高さ,,,21\n", k);
    }
    e += "-----＜処理時間(msec)＞-------------------------------------\n";
    e += "(処理項目),(合計),(回数),(平均)\n";
    // The times are whatever the clock gave; the log holds them.
    unsigned long total = 0;
    for (int i = 0; i < 17; ++i) {
        const StepTimer& t = *host.log->GetTimers()->Get(i);
        EXPECT_GT(t.count, 0) << i;
        e += Fmt("%s,%lu,%d,%10.2f\n", kTimerNames[i], static_cast<unsigned long>(t.time), t.count,
                 static_cast<double>(t.time) / t.count);
        total += t.time;
    }
    e += Fmt("(総時間)%9lu msec\n", total);
    e += kRule;
    e += "*** 結果(相関係数) ***\n";
    e += "ﾌﾚｰﾑ(PNO),相関度,分散X,分散Y,X(Max時),Y(Max時),X(ｻﾌﾞPix),Y(ｻﾌﾞPix)\n";
    ASSERT_EQ(host.log->GetResultFrameCount(), 2);
    for (int i = 0; i < 2; ++i) {
        for (int p = 1; p <= 2; ++p) {
            int frame = 0, px = 0, py = 0;
            double vx = 0, vy = 0, sx = 0, sy = 0;
            const double score = host.log->GetResult(i, p, &frame, &vx, &vy, &px, &py, &sx, &sy);
            EXPECT_GT(score, 0.9);
            EXPECT_EQ(frame, i + 1);
            e += Fmt("%5d(%3d),,,,%10.4f,%10.4f,%10.4f,%3d,%3d,%10.4f,%10.4f\n", frame, p, score, vx, vy, px,
                     py, sx, sy);
        }
    }
    EXPECT_EQ(bytes, Cp932(e));
    // The step name with the full-width hyphen-minus, as the recording system's tools read it.
    EXPECT_NE(bytes.find("\x83\x7C\x83\x43\x83\x93\x83\x67\x81\x7C\x83\x58\x83\x5E\x81\x5B\x83\x67,"),
              std::string::npos);
    EXPECT_TRUE(boxes.texts.empty());

    // The next run of the day adds its report behind.
    ASSERT_EQ(host.Run(0, 2), 1);
    const std::string twice = TempDir::ReadAll(temp.Path(LogName()));
    EXPECT_EQ(twice.compare(0, bytes.size(), bytes), 0);
    EXPECT_EQ(twice.find(Cp932(kRule + std::string("AVIファイル名: ")), bytes.size()), bytes.size());
}

TEST_F(TrackingReportTest, TheTextFormGoesToTheDebugOutputLineByLine) {
    TrackingHost host(96, 80);
    SetUpTwoPoints(host);
    ASSERT_EQ(host.Run(0, 2), 1);
    ASSERT_GE(debugLines.size(), 4u);
    EXPECT_EQ(debugLines[0], kRule);
    EXPECT_EQ(debugLines[1], "AVIファイル：/data/run 1/shot.avi\n");
    EXPECT_EQ(debugLines[3], "計測点数：2\n");
    auto has = [&](const std::string& line) {
        return std::find(debugLines.begin(), debugLines.end(), line) != debugLines.end();
    };
    EXPECT_TRUE(has("点番号(2):\n"));
    EXPECT_TRUE(has("予測法      ： なし\n"));
    EXPECT_TRUE(has("サーチエリア： 幅（31）、高さ（29）\n"));
    EXPECT_TRUE(has("設定閾値    ： 0.500000\n"));
    EXPECT_TRUE(has("ﾃﾝﾌﾟﾚｰﾄ数：4\n"));
    EXPECT_TRUE(has("ﾃﾝﾌﾟﾚｰﾄ（4）：幅（21）、高さ（21）\n"));
    const StepTimer& first = *host.log->GetTimers()->Get(0);
    EXPECT_TRUE(has(Fmt("(平均)%10.2f (合計)%9d -----(Frame-Start)\n", first.time / 3.0, int(first.time))));
    int timerLines = 0;
    for (const std::string& line : debugLines)
        timerLines += line.rfind("(平均)", 0) == 0 ? 1 : 0;
    EXPECT_EQ(timerLines, 16); // every timer that ran, but the raw dumps' (off) and the results' (never)
    EXPECT_EQ(debugLines.back(), "相関度｜分散X｜分散Y｜ﾌﾚｰﾑ番号｜ﾎﾟｲﾝﾄ番号\n");
}

TEST_F(TrackingReportTest, LongPathsAndCharactersOutsideTheCodePageKeepTheirLine) {
    TrackingHost host(96, 80);
    host.path = "/data/caf\xC3\xA9/" + std::string(3000, 'x') + ".avi";
    SetUpTwoPoints(host);
    ASSERT_EQ(host.Run(0, 2), 1);
    const std::string bytes = TempDir::ReadAll(temp.Path(LogName()));
    EXPECT_NE(bytes.find(Cp932("AVIファイル名: /data/caf?/" + std::string(3000, 'x') + ".avi\n")),
              std::string::npos);
    EXPECT_EQ(debugLines[1], "AVIファイル：" + host.path + "\n");
}

TEST_F(TrackingReportTest, ALogFileThatCannotBeWrittenIsReported) {
    TrackingHost host(96, 80);
    SetUpTwoPoints(host);
    setenv("TMPDIR", temp.Path("missing/folder").c_str(), 1);
    ASSERT_EQ(host.Run(0, 2), 1);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(temp.Path("missing/folder/") + LogName()), std::string::npos);
    // The text form went out all the same.
    EXPECT_EQ(debugLines[1], "AVIファイル：/data/run 1/shot.avi\n");
}

TEST_F(TrackingReportTest, OnlyPointsWithParametersAndTemplatesAreReported) {
    TrackingHost host(96, 80);
    SetUpTwoPoints(host);
    ASSERT_EQ(host.Run(0, 2), 1);
    // The points set up anew, one fewer: the report no longer walks the second set.
    host.jobs.pointCount = 1;
    host.job.DropTemplateSets(1);
    debugLines.clear();
    host.job.WriteMatchingResultLog(*host.log, host.jobs);
    EXPECT_NE(std::find(debugLines.begin(), debugLines.end(), "点番号(1):\n"), debugLines.end());
    EXPECT_EQ(std::find(debugLines.begin(), debugLines.end(), "点番号(2):\n"), debugLines.end());
    // Even a point count above the parameters' does not reach past them.
    host.jobs.pointCount = 5;
    host.jobs.params.Clear();
    debugLines.clear();
    host.job.WriteMatchingResultLog(*host.log, host.jobs);
    EXPECT_EQ(std::find(debugLines.begin(), debugLines.end(), "点番号(1):\n"), debugLines.end());
}

} // namespace
