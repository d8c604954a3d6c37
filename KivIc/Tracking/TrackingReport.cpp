#include "KivIc/Tracking/TrackingReport.h"

#include <string>

#include "KivIc/Tracking/JobTable.h"
#include "KivIc/Tracking/StrMatchingParam.h"
#include "KivIc/Tracking/TrackingDump.h"
#include "KivIc/Tracking/Tracking.h"
#include "Matching/MatchingLog.h"
#include "Matching/TemplateInfo.h"
#include "platform/win32/codepage.h"

namespace {

const char kRule[] = "--------------------------------------------------------------\n";

CString Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
CString Line(const char* format, ...) {
    CString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    return text;
}

// A point of the report: one that has parameters and a template set.
struct PointPart {
    int number;
    const MatchingParam* mp;
    const CTemplateInfo* set;
};

struct TemplateSize {
    int width = 0;
    int height = 0;
};

std::vector<PointPart> ReportedPoints(const CTracking& job, const JobTable& jobs) {
    std::vector<PointPart> points;
    const int last = std::min(job.GetTemplateSetCount(), static_cast<int>(jobs.pointCount));
    for (int p = 1; p <= last; ++p) {
        const CTemplateInfo* set = job.GetTemplateSet(p);
        const MatParam4Point* params = jobs.params.Get(p - 1);
        const MatchingParam* mp = params != nullptr ? params->Get(0) : nullptr;
        if (set != nullptr && mp != nullptr)
            points.push_back({p, mp, set});
    }
    return points;
}

TemplateSize SizeOf(const CTemplateInfo& set, int index) {
    TemplateSize size;
    if (const MatchingImage* t = set.GetTemplate(index))
        t->GetSize(&size.width, &size.height);
    return size;
}

int SearchWidth(const MatchingParam& mp) {
    return 2 * (mp.templateRadiusX + mp.searchMarginX) + 1;
}

int SearchHeight(const MatchingParam& mp) {
    return 2 * (mp.templateRadiusY + mp.searchMarginY) + 1;
}

const char* RotationName(const MatchingParam& mp) {
    return CStrMatchingParam::GetRotationName(mp.rotate, mp.rotationStep);
}

// The reported timers (all but the last) that ran at least once.
std::vector<const StepTimer*> ReportedTimers(const CMatchingLog& log) {
    std::vector<const StepTimer*> timers;
    for (int i = 0; i < CTracking::kReportedTimers; ++i) {
        const StepTimer* t = log.GetTimers() != nullptr ? log.GetTimers()->Get(i) : nullptr;
        if (t != nullptr && t->count != 0)
            timers.push_back(t);
    }
    return timers;
}

unsigned long TotalTime(const std::vector<const StepTimer*>& timers) {
    unsigned long total = 0;
    for (const StepTimer* t : timers)
        total += t->time;
    return total;
}

double Average(const StepTimer& t) {
    return static_cast<double>(t.time) / t.count;
}

struct ResultRow {
    int frame;
    int point;
    const ResultEntry* entry;
};

// Every stored match, frame by frame and point by point; entries that only hold a search area are no
// results.
std::vector<ResultRow> ResultRows(const CMatchingLog& log) {
    std::vector<ResultRow> rows;
    const ResultFrameList* results = log.GetResults();
    if (results == nullptr)
        return rows;
    for (const auto& frame : results->items) {
        for (std::size_t i = 0; i < frame->entries.size(); ++i) {
            const ResultEntry* e = frame->entries[i].get();
            if (e != nullptr && e->mapWidth > 0 && e->mapHeight > 0)
                rows.push_back({frame->frameNumber, static_cast<int>(i) + 1, e});
        }
    }
    return rows;
}

} // namespace

CTrackingReport::CTrackingReport(const CTracking& job, const CMatchingLog& log, const JobTable& jobs,
                                 const CString& path)
    : m_job(job), m_log(log), m_jobs(jobs), m_path(path) {}

std::vector<CString> CTrackingReport::TextLines() const {
    std::vector<CString> lines;
    lines.push_back(kRule);
    lines.push_back(Line("AVIファイル：%s\n", m_path.GetString()));
    lines.push_back(kRule);
    lines.push_back(Line("計測点数：%d\n", m_jobs.pointCount));
    for (const PointPart& p : ReportedPoints(m_job, m_jobs)) {
        const MatchingParam& mp = *p.mp;
        lines.push_back(Line("点番号(%d):\n", p.number));
        lines.push_back(Line("マッチング法： %s\n", CStrMatchingParam::GetMethodName(mp.method)));
        lines.push_back(Line("予測法      ： %s\n", CStrMatchingParam::GetPredictionName(mp.prediction)));
        lines.push_back(Line("テンプレート： %s\n", RotationName(mp)));
        lines.push_back(Line("サーチ法    ： %s\n", CStrMatchingParam::GetTemplateTypeName(mp.templateType)));
        lines.push_back(Line("サーチエリア： 幅（%d）、高さ（%d）\n", SearchWidth(mp), SearchHeight(mp)));
        lines.push_back(Line("設定閾値    ： %f\n", mp.threshold));
        lines.push_back(Line("ﾃﾝﾌﾟﾚｰﾄ数：%d\n", p.set->GetTemplateCount()));
        for (int k = 0; k < p.set->GetTemplateCount(); ++k) {
            const TemplateSize size = SizeOf(*p.set, k);
            lines.push_back(Line("ﾃﾝﾌﾟﾚｰﾄ（%d）：幅（%d）、高さ（%d）\n", k + 1, size.width, size.height));
        }
    }
    lines.push_back(kRule);
    const std::vector<const StepTimer*> timers = ReportedTimers(m_log);
    for (const StepTimer* t : timers) {
        lines.push_back(Line("(平均)%10.2f (合計)%9d -----(%s)\n", Average(*t), static_cast<int>(t->time),
                             t->label.text.c_str()));
    }
    lines.push_back(Line("(総時間)%9lu msec\n", TotalTime(timers)));
    lines.push_back("*** 結果(相関係数) ***\n");
    lines.push_back("相関度｜分散X｜分散Y｜ﾌﾚｰﾑ番号｜ﾎﾟｲﾝﾄ番号\n");
    for (const ResultRow& r : ResultRows(m_log)) {
        lines.push_back(Line("%10.4f, %10.4f, %10.4f, (frame-%3d, pno-%3d)\n", r.entry->score,
                             r.entry->varianceX, r.entry->varianceY, r.frame, r.point));
    }
    return lines;
}

std::vector<CString> CTrackingReport::CommaLines() const {
    std::vector<CString> lines;
    lines.push_back(kRule);
    lines.push_back(Line("AVIファイル名: %s\n", m_path.GetString()));
    lines.push_back(kRule);
    lines.push_back(Line("計測点数,%d\n", m_jobs.pointCount));
    for (const PointPart& p : ReportedPoints(m_job, m_jobs)) {
        const MatchingParam& mp = *p.mp;
        lines.push_back(Line("点番号,%d\n", p.number));
        lines.push_back(Line("マッチング法,,,,%s\n", CStrMatchingParam::GetMethodName(mp.method)));
        lines.push_back(Line("予測法,,,,%s\n", CStrMatchingParam::GetPredictionName(mp.prediction)));
        lines.push_back(Line("テンプレート,,,,%s\n", RotationName(mp)));
        lines.push_back(Line("サーチ法,,,,%s\n", CStrMatchingParam::GetTemplateTypeName(mp.templateType)));
        lines.push_back(Line("ｻｰﾁｴﾘｱ幅,,,,%d\n", SearchWidth(mp)));
        lines.push_back(Line("ｻｰﾁｴﾘｱ高さ,,,,%d\n", SearchHeight(mp)));
        lines.push_back(Line("設定閾値,,,,%f\n", mp.threshold));
        lines.push_back(Line("ﾃﾝﾌﾟﾚｰﾄ数,,,,%d\n", p.set->GetTemplateCount()));
        for (int k = 0; k < p.set->GetTemplateCount(); ++k) {
            const TemplateSize size = SizeOf(*p.set, k);
            lines.push_back(Line("ﾃﾝﾌﾟﾚｰﾄ番号,,%d\n", k + 1));
            lines.push_back(Line("ﾃﾝﾌﾟﾚｰﾄ幅,,,%d\n", size.width));
            lines.push_back(Line("ﾃﾝﾌﾟﾚｰﾄ高さ,,,%d\n", size.height));
        }
    }
    lines.push_back("-----＜処理時間(msec)＞-------------------------------------\n");
    lines.push_back("(処理項目),(合計),(回数),(平均)\n");
    const std::vector<const StepTimer*> timers = ReportedTimers(m_log);
    for (const StepTimer* t : timers) {
        lines.push_back(Line("%s,%lu,%d,%10.2f\n", t->label.text.c_str(), static_cast<unsigned long>(t->time),
                             static_cast<int>(t->count), Average(*t)));
    }
    lines.push_back(Line("(総時間)%9lu msec\n", TotalTime(timers)));
    lines.push_back(kRule);
    lines.push_back("*** 結果(相関係数) ***\n");
    lines.push_back("ﾌﾚｰﾑ(PNO),相関度,分散X,分散Y,X(Max時),Y(Max時),X(ｻﾌﾞPix),Y(ｻﾌﾞPix)\n");
    for (const ResultRow& r : ResultRows(m_log)) {
        const ResultEntry& e = *r.entry;
        lines.push_back(Line("%5d(%3d),,,,%10.4f,%10.4f,%10.4f,%3d,%3d,%10.4f,%10.4f\n", r.frame, r.point,
                             e.score, e.varianceX, e.varianceY, static_cast<int>(e.peakX),
                             static_cast<int>(e.peakY), e.subPixelX, e.subPixelY));
    }
    return lines;
}

CString CTrackingReport::LogFilePath(const SYSTEMTIME& date) {
    return Line("%sMatRes_%04d%02d%02d.log", TempFolderPath().GetString(), date.wYear, date.wMonth,
                date.wDay);
}

BOOL CTrackingReport::AppendTo(const char* path) const {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL ok =
        SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR
            ? TRUE
            : FALSE;
    std::string bytes;
    for (const CString& line : CommaLines()) {
        if (!ok)
            break;
        // A character the code page lacks (in a path, say) shows as '?'; the rest of the line stays.
        Utf8ToCp932(line.GetString(), bytes);
        DWORD written = 0;
        ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size();
    }
    CloseHandle(file);
    return ok;
}
