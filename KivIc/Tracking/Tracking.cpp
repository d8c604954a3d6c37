#include "KivIc/Tracking/Tracking.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "KivIc/Helpers/CalcStat.h"
#include "KivIc/Helpers/CommImgFunc.h"
#include "KivIc/Tracking/JobTable.h"
#include "KivIc/Tracking/TrackingDump.h"
#include "KivIc/Tracking/TrackingHost.h"
#include "KivIc/Tracking/TrackingReport.h"
#include "Matching/MakeMatchingClass.h"
#include "Matching/MatchingLog.h"
#include "Matching/TemplateInfo.h"
#include "ZopDat/PointFrame.h"

namespace {

// Point modes of a run.
constexpr int kUntracked = 0;
constexpr int kTracked = 1;
constexpr int kVanished = -1;

// Levels of the peak statistics that refine a match.
constexpr int kPeakLevels = 4;

// Copies the w x h area whose top-left pixel is (left, top) out of the picture, the picture's border
// repeated where the area reaches past it. Templates and search areas are cut alike, so that a point
// at the edge is searched for the way its template was taken.
void CutWithBorder(const BYTE* image, int width, int height, int left, int top, int w, int h,
                   std::vector<BYTE>& area) {
    area.resize(static_cast<std::size_t>(w) * h);
    for (int r = 0; r < h; ++r) {
        const int row = std::clamp(top + r, 0, height - 1);
        for (int c = 0; c < w; ++c) {
            const int column = std::clamp(left + c, 0, width - 1);
            area[static_cast<std::size_t>(r) * w + c] = image[static_cast<std::size_t>(row) * width + column];
        }
    }
}

} // namespace

// What one run works with.
struct CTracking::RunState {
    CMatchingLog* log = nullptr;
    int step = 1; // signed: negative when running backward
    int direction = 0;
    bool debug = false;
    DWORD lastTick = 0;
    // The gray picture of the frame being tracked, rows top-down. A copy: the window's own buffer may
    // be replaced while messages are let through.
    std::vector<BYTE> image;
    int width = 0;
    int height = 0;
    // This frame's record of predicted positions in the log.
    FrameRecord* prediction = nullptr;
    std::vector<int> modes;
};

CTracking::CTracking(CTrackingHost* host, CCommImgFunc* images) : m_pHost(host), m_pImages(images) {}

CTracking::~CTracking() {
    for (CTemplateInfo* set : m_templates)
        delete set;
}

int CTracking::SetTables(JobTable* jobs, PointFrame* points) {
    m_pJobs = jobs;
    m_pPoints = points;
    return 1;
}

bool CTracking::CanRun(long start, long end, int step, int width, int height, int direction) const {
    if (m_pHost == nullptr || m_pImages == nullptr || m_pJobs == nullptr || m_pPoints == nullptr)
        return false;
    if (width < 1 || height < 1 || step < 1)
        return false;
    return direction == 1 ? start >= end : start <= end;
}

CString CTracking::StartRefusal(long start, int width, int height) const {
    CString text;
    if (m_pHost == nullptr || m_pJobs == nullptr)
        return text;
    bool anyPosition = false;
    for (int p = 1; p <= std::min(m_pJobs->pointCount, m_pJobs->params.Count()); ++p) {
        int state = 0;
        const MatchingParam* mp = FirstParam(p);
        if (mp == nullptr || !m_pHost->HasInputPosition(start, p, &state) || state != PointEntry::kFound)
            continue;
        anyPosition = true;
        const int aw = CTemplateInfo::BaseSize(mp->templateRadiusX);
        const int ah = CTemplateInfo::BaseSize(mp->templateRadiusY);
        if (aw > width || ah > height) {
            text.Format(
                "The template of point %d does not fit into the picture: radius %d x %d needs %d x %d "
                "pixels with room to turn, the picture has %d x %d.",
                p, mp->templateRadiusX, mp->templateRadiusY, aw, ah, width, height);
            return text;
        }
    }
    if (!anyPosition)
        text.Format("No point has a position set by hand on frame %ld. Set the points to track on this "
                    "frame first.",
                    start);
    return text;
}

const char* CTracking::TimerLabel(int index) {
    static const char* const kLabels[kTimerCount] = {
        "Frame-Start",
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
        "結果保存",
    };
    return index >= 0 && index < kTimerCount ? kLabels[index] : "";
}

void CTracking::RecordStepTime(CMatchingLog& log, int index, DWORD* lastTick) {
    StepTimer* timer = log.GetTimers() != nullptr ? log.GetTimers()->Get(index) : nullptr;
    const DWORD now = GetTickCount();
    if (timer != nullptr) {
        timer->time += now - *lastTick;
        timer->label.text = TimerLabel(index);
        timer->count += 1;
    }
    *lastTick = now;
}

void CTracking::Step(RunState& run, int index) const {
    RecordStepTime(*run.log, index, &run.lastTick);
}

int CTracking::RunTrackingJob(long start, long end, int step, int width, int height, int direction) {
    // Messages are let through while a job runs; a second start from one of them is refused.
    if (m_bRunning || !CanRun(start, end, step, width, height, direction) ||
        !StartRefusal(start, width, height).IsEmpty())
        return 0;
    m_bRunning = true;
    const int result = RunFrames(start, end, step, direction);
    m_bRunning = false;
    return result;
}

int CTracking::RunFrames(long start, long end, int step, int direction) {
    const int n = m_pJobs->pointCount;
    if (n < 0 || n > m_pJobs->params.Count())
        return 0;
    CMatchingLog* log = m_pHost->GetMatchingLog();
    if (log == nullptr || log->GetTimers() == nullptr || log->GetPredictions() == nullptr)
        return 0;

    log->GetTimers()->Clear();
    for (int i = 0; i < kTimerCount; ++i)
        log->GetTimers()->Add(std::make_unique<StepTimer>());
    RunState run;
    run.log = log;
    run.direction = direction == 1 ? 1 : 0;
    run.step = run.direction == 1 ? -step : step;
    run.modes.assign(static_cast<std::size_t>(n), kUntracked);
    m_bStop = false;
    run.lastTick = GetTickCount();

    for (long f = start; run.direction == 1 ? f >= end : f <= end; f += run.step) {
        Step(run, 0);
        run.prediction = new FrameRecord(static_cast<std::int32_t>(f), n);
        log->GetPredictions()->Add(run.prediction);
        Step(run, 1);
        m_pHost->ShowFrame(f);
        Step(run, 2);

        int w = 0;
        int h = 0;
        int bits = 0;
        int extra = 0;
        BYTE* rgb = m_pImages->GetFrameRgb(f, &w, &h, &bits, &extra);
        if (rgb == nullptr || w < 1 || h < 1)
            return 0;
        Step(run, 3);
        // Without its gray picture the frame cannot be matched: the colour bytes are no substitute.
        const BYTE* gray = m_pImages->ConvertToGray(rgb, w, h);
        if (gray == nullptr)
            return 0;
        run.image.assign(gray, gray + static_cast<std::size_t>(w) * h);
        run.width = w;
        run.height = h;
        run.debug = m_pHost->IsDebugOutput() != FALSE;
        Step(run, 4);

        for (int p = 1; p <= n; ++p) {
            m_pHost->PumpMessages();
            Step(run, 5);
            const MatParam4Point* params = m_pJobs->params.Get(p - 1);
            if (params == nullptr || params->Count() == 0)
                continue;
            Step(run, 6);

            int startState = 0;
            int state = 0;
            int& mode = run.modes[static_cast<std::size_t>(p - 1)];
            if (m_pHost->HasInputPosition(start, p, &startState) && m_pHost->HasInputPosition(f, p, &state)) {
                if (state == PointEntry::kFound)
                    mode = LearnTemplate(run.image.data(), w, h, p, f) ? kTracked : kUntracked;
                else
                    mode = state == PointEntry::kLost ? kVanished : kUntracked;
                continue;
            }
            if (mode == kVanished)
                m_pHost->MarkLost(p, f);
            else if (mode == kTracked)
                TrackPoint(run, p, f);
        }
        // The frame's results reach the screen before the next frame replaces the picture; without
        // this the last point would never be seen during a run.
        m_pHost->PumpMessages();
        if (m_bStop)
            break;
    }
    WriteMatchingResultLog(*log, *m_pJobs);
    return 1;
}

bool CTracking::TrackPoint(RunState& run, int pointNumber, long frame) {
    Step(run, 7);
    CTemplateInfo* set = GetTemplateSet(pointNumber);
    if (set == nullptr)
        return false;
    Step(run, 8);
    const MatParam4Point& params = *m_pJobs->params.Get(pointNumber - 1);
    bool found = false;
    for (int i = 0; i < params.Count(); ++i) {
        if (MatchParam(run, pointNumber, frame, *params.Get(i), *set))
            found = true;
    }
    if (!found)
        m_pHost->MarkLost(pointNumber, frame);
    return found;
}

bool CTracking::MatchParam(RunState& run, int pointNumber, long frame, const MatchingParam& mp,
                           CTemplateInfo& set) {
    Step(run, 9);
    if (run.debug) {
        DumpTemplates(set, frame, pointNumber);
        Step(run, 10);
    }
    int px = 0;
    int py = 0;
    if (!PredictPosition(mp.prediction, pointNumber, frame - run.step, run.direction, run.height, &px, &py))
        return false;
    Step(run, 11);
    if (PointEntry* entry = run.prediction->GetEntry(pointNumber - 1)) {
        double tx = 0.0;
        double ty = 0.0;
        ToTable(run.height, px, py, &tx, &ty);
        entry->state = PointEntry::kFound;
        entry->x = static_cast<std::int32_t>(tx);
        entry->y = static_cast<std::int32_t>(ty);
    }
    Step(run, 12);

    MakeMatchingClass factory(mp.method);
    Matching* matcher = factory.GetMatcher();
    if (matcher == nullptr)
        return false;
    matcher->threshold = mp.threshold;
    Step(run, 13);

    // The margins lie around the templates of the set, whichever parameter set cut them. The area stays
    // centred on the prediction even at the picture's edge (the border repeated, as for the templates):
    // every pixel can be a match's centre, and the scores around a match at the edge lie on both sides
    // of it, so that its sub-pixel position is not pulled inward.
    int tw = 0;
    int th = 0;
    if (set.GetTemplate(0) != nullptr)
        set.GetTemplate(0)->GetSize(&tw, &th);
    const int sw = tw + 2 * mp.searchMarginX;
    const int sh = th + 2 * mp.searchMarginY;
    int sx = 0;
    int sy = 0;
    if (tw < 1 || th < 1 || sw < tw || sh < th ||
        !ClampSearchArea(run.width, run.height, tw / 2 + mp.searchMarginX, th / 2 + mp.searchMarginY, px, py,
                         sw, sh, &sx, &sy))
        return false;
    Step(run, 14);
    std::vector<BYTE> area;
    CutWithBorder(run.image.data(), run.width, run.height, sx, sy, sw, sh, area);
    matcher->SetImage(area.data(), sw, sh);
    if (run.debug)
        DumpSearchArea(area.data(), sx, sy, sw, sh, frame, pointNumber, *run.log);
    Step(run, 15);

    // Positions within the search area.
    std::vector<std::vector<float>> maps;
    int bx = 0;
    int by = 0;
    int mw = 0;
    int mh = 0;
    int best = -1;
    const double score = MatchTemplates(set, *matcher, 0, 0, sw, sh, &bx, &by, &mw, &mh, maps, &best);
    Step(run, 16);

    bool found = false;
    if (score > 0.0 && best >= 0) {
        std::vector<float*> pointers;
        for (auto& map : maps)
            pointers.push_back(map.empty() ? nullptr : map.data());
        double cx = -1.0;
        double cy = -1.0;
        double vx = 0.0;
        double vy = 0.0;
        CCalcStat::Calc(kPeakLevels, pointers, best, mw, mh, bx, by, &cx, &cy, &vx, &vy);
        if (cx >= 0.0 && cy >= 0.0) {
            if (run.debug) {
                run.log->AddResult(static_cast<int>(frame), pointNumber, score, vx, vy, bx, by, cx, cy, mw,
                                   mh, pointers[static_cast<std::size_t>(best)]);
            }
            // The point lies where it lay from the matched template's centre pixel when it was cut.
            int mtw = 0;
            int mth = 0;
            set.GetTemplate(best)->GetSize(&mtw, &mth);
            const CutOffset offset = m_cutOffsets[static_cast<std::size_t>(pointNumber - 1)];
            // A spot leaving the picture is held at its edge.
            const double x = std::clamp(sx + cx + (mtw - 1) / 2 + offset.x, 0.0, run.width - 1.0);
            const double y = std::clamp(sy + cy + (mth - 1) / 2 + offset.y, 0.0, run.height - 1.0);
            double tx = 0.0;
            double ty = 0.0;
            ToTable(run.height, x, y, &tx, &ty);
            m_pHost->StoreTrackedPosition(pointNumber, frame, tx, ty);
            found = true;
            if (mp.keepTemplate == 0)
                UpdateTemplate(pointNumber, run.image.data(), x, y, run.width, run.height);
        }
    }
    Step(run, 17);
    return found;
}

void CTracking::ToTable(int height, double x, double y, double* tx, double* ty) const {
    *tx = x;
    *ty = y;
    m_pImages->ConvertPoint(height, x, y, tx, ty);
}

CTemplateInfo* CTracking::GetTemplateSet(int pointNumber) const {
    if (pointNumber < 1 || pointNumber > GetTemplateSetCount())
        return nullptr;
    return m_templates[static_cast<std::size_t>(pointNumber - 1)];
}

void CTracking::DropTemplateSets(int pointCount) {
    while (GetTemplateSetCount() > std::max(pointCount, 0)) {
        delete m_templates.back();
        m_templates.pop_back();
        m_cutOffsets.pop_back();
    }
}

const MatchingParam* CTracking::FirstParam(int pointNumber) const {
    const MatParam4Point* params = m_pJobs != nullptr ? m_pJobs->params.Get(pointNumber - 1) : nullptr;
    return params != nullptr ? params->Get(0) : nullptr;
}

bool CTracking::FindLastPosition(int pointNumber, long frame, int direction, int height, int* x, int* y,
                                 long* found) const {
    const int count = m_pPoints->Count();
    for (int k = 0; k < count; ++k) {
        // Nearest first: backward through the table when running forward, and the other way round.
        const int index = direction == 1 ? k : count - 1 - k;
        const FrameRecord* record = m_pPoints->Get(index);
        if (direction == 1 ? record->frameNumber < frame : record->frameNumber > frame)
            continue;
        const PointEntry* entry = record->GetEntry(pointNumber - 1);
        if (entry == nullptr || entry->state != PointEntry::kFound)
            continue;
        const PositionRow p = m_pPoints->GetPosition(*entry);
        double px = p.x;
        double py = p.y;
        m_pImages->ConvertPoint(height, p.x, p.y, &px, &py);
        // To the nearest pixel, alike along both axes.
        *x = static_cast<int>(std::lround(px));
        *y = static_cast<int>(std::lround(py));
        *found = record->frameNumber;
        return true;
    }
    return false;
}

bool CTracking::PredictPosition(int code, int pointNumber, long frame, int direction, int height, int* x,
                                int* y) {
    *x = -1;
    *y = -1;
    if (m_pPoints == nullptr || m_pImages == nullptr)
        return false;
    int x1 = 0;
    int y1 = 0;
    long f1 = 0;
    if (!FindLastPosition(pointNumber, frame, direction, height, &x1, &y1, &f1))
        return false;
    *x = x1;
    *y = y1;
    if (code != 1)
        return true;
    int x2 = 0;
    int y2 = 0;
    long f2 = 0;
    if (!FindLastPosition(pointNumber, direction == 1 ? f1 + 1 : f1 - 1, direction, height, &x2, &y2, &f2))
        return true;
    if (f1 == f2 || (m_pHost->IsInputFrame(f1) && !m_pHost->IsInputFrame(f2)))
        return true;
    // One frame on at the velocity between the two, in the direction of the run.
    const long span = std::labs(f1 - f2);
    *x = x1 + static_cast<int>((x1 - x2) / span);
    *y = y1 + static_cast<int>((y1 - y2) / span);
    return true;
}

bool CTracking::ClampSearchArea(int imageWidth, int imageHeight, int reachX, int reachY, int cx, int cy,
                                int width, int height, int* left, int* top) {
    if (reachX < 0 || reachY < 0 || width > imageWidth + 2 * reachX || height > imageHeight + 2 * reachY)
        return false;
    auto place = [](int centre, int size, int limit, int reach) {
        int first = centre - size / 2;
        if (first < -reach)
            first = -reach;
        if (first + size > limit + reach)
            first = limit + reach - size;
        return first;
    };
    *left = place(cx, width, imageWidth, reachX);
    *top = place(cy, height, imageHeight, reachY);
    return true;
}

double CTracking::MatchTemplates(const CTemplateInfo& set, Matching& matcher, int left, int top, int width,
                                 int height, int* bestX, int* bestY, int* mapWidth, int* mapHeight,
                                 std::vector<std::vector<float>>& maps, int* bestIndex) {
    double best = -1.0;
    for (int k = 0; k < set.GetTemplateCount(); ++k) {
        int tw = 0;
        int th = 0;
        const unsigned char* pixels = set.GetTemplate(k)->GetSize(&tw, &th);
        matcher.SetTemplate(pixels, tw, th);
        int x = 0;
        int y = 0;
        const double score = matcher.Match(left, top, width, height, &x, &y);
        int mw = 0;
        int mh = 0;
        const float* map = matcher.GetScoreMap(&mw, &mh);
        if (map != nullptr && mw > 0 && mh > 0)
            maps.emplace_back(map, map + static_cast<std::size_t>(mw) * mh);
        else
            maps.emplace_back();
        if (score > best) {
            best = score;
            *bestIndex = k;
            *bestX = x;
            *bestY = y;
            *mapWidth = mw;
            *mapHeight = mh;
        }
    }
    return best;
}

bool CTracking::LearnTemplate(const BYTE* image, int width, int height, int pointNumber, long frame) {
    const FrameRecord* record = m_pPoints->FindFrame(static_cast<std::int32_t>(frame));
    const PointEntry* entry = record != nullptr ? record->GetEntry(pointNumber - 1) : nullptr;
    if (entry == nullptr || entry->state != PointEntry::kFound)
        return false;
    const PositionRow p = m_pPoints->GetPosition(*entry);
    double px = p.x;
    double py = p.y;
    m_pImages->ConvertPoint(height, p.x, p.y, &px, &py);
    return UpdateTemplate(pointNumber, image, px, py, width, height);
}

bool CTracking::UpdateTemplate(int pointNumber, const BYTE* image, double x, double y, int width,
                               int height) {
    const MatchingParam* mp = FirstParam(pointNumber);
    if (mp == nullptr || image == nullptr || mp->templateRadiusX < 0 || mp->templateRadiusY < 0)
        return false;
    if (!(x > -0.5 && x < width - 0.5 && y > -0.5 && y < height - 0.5))
        return false;
    const int cx = static_cast<int>(std::lround(x));
    const int cy = static_cast<int>(std::lround(y));
    // Room for every turned template around the point.
    const int aw = CTemplateInfo::BaseSize(mp->templateRadiusX);
    const int ah = CTemplateInfo::BaseSize(mp->templateRadiusY);
    if (aw > width || ah > height)
        return false;
    // Centred on the point even at the picture's edge, so that the template's centre is always the
    // point and the positions found are not shifted.
    std::vector<BYTE> base;
    CutWithBorder(image, width, height, cx - aw / 2, cy - ah / 2, aw, ah, base);
    if (GetTemplateSetCount() < pointNumber) {
        m_templates.resize(static_cast<std::size_t>(pointNumber), nullptr);
        m_cutOffsets.resize(static_cast<std::size_t>(pointNumber));
    }
    m_cutOffsets[static_cast<std::size_t>(pointNumber - 1)] = {x - cx, y - cy};
    CTemplateInfo*& set = m_templates[static_cast<std::size_t>(pointNumber - 1)];
    if (set == nullptr)
        set = new CTemplateInfo;
    set->GetBaseImage()->Set(base.data(), aw, ah, 1);
    set->BuildRotatedTemplates(*mp, 2 * mp->templateRadiusX + 1, 2 * mp->templateRadiusY + 1);
    return set->GetTemplateCount() > 0;
}

void CTracking::WriteMatchingResultLog(const CMatchingLog& log, const JobTable& jobs) const {
    const CTrackingReport report(*this, log, jobs, m_pHost->GetDocumentPath());
    for (const CString& line : report.TextLines())
        OutputDebugStringA(line);
    SYSTEMTIME today{};
    GetLocalTime(&today);
    const CString path = CTrackingReport::LogFilePath(today);
    if (!report.AppendTo(path)) {
        CString text;
        text.Format("マッチング結果のログファイルに書き込めません。\n%s", path.GetString());
        OutputDebugStringA(text + "\n");
        AfxMessageBox(text, MB_OK | MB_ICONWARNING);
    }
}
