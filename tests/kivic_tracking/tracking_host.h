// A synthetic recording for the tracking job: gray pictures drawn per frame, shown as 24-bit colour,
// with the document's two tables; it plays the tracking window for the job (image functions and host).
#pragma once

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KivIc/Helpers/CommImgFunc.h"
#include "KivIc/Tracking/JobTable.h"
#include "KivIc/Tracking/PointTable.h"
#include "KivIc/Tracking/Tracking.h"
#include "KivIc/Tracking/TrackingHost.h"
#include "Matching/CalcTest.h"
#include "Matching/MatchingLog.h"
#include "afx_core/temp_dir.h"

// A gray picture, rows top-down.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;

    Picture(int w, int h, unsigned char background)
        : width(w), height(h), pixels(std::size_t(w) * h, background) {}
    unsigned char& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }

    // A round bright spot centred on (cx, cy) in pixel-centre coordinates.
    void AddBlob(double cx, double cy, double sigma = 3.0, double amplitude = 200.0) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                const double v = at(x, y) + amplitude * std::exp(-d2 / (2 * sigma * sigma));
                at(x, y) = static_cast<unsigned char>(std::lround(std::min(v, 255.0)));
            }
        }
    }

    // A bright bar of the given length and thickness turned by degrees about (cx, cy), with soft edges.
    void AddBar(double cx, double cy, double degrees, double length = 17.0, double thickness = 5.0) {
        const double a = degrees * 3.14159265358979323846 / 180.0;
        const double c = std::cos(a);
        const double s = std::sin(a);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double along = (x - cx) * c + (y - cy) * s;
                const double across = -(x - cx) * s + (y - cy) * c;
                const double inside =
                    std::min(length / 2 - std::abs(along), thickness / 2 - std::abs(across));
                const double w = std::clamp(inside + 0.5, 0.0, 1.0);
                at(x, y) = static_cast<unsigned char>(std::lround(at(x, y) + w * (220 - at(x, y))));
            }
        }
    }
};

class TrackingHost : public CCommImgFunc, public CTrackingHost {
public:
    TrackingHost(int width, int height) : m_width(width), m_height(height) {}

    // --- The recording --------------------------------------------------------------------------------
    // Draws the frames 0 .. count - 1 with draw(frame, picture) on a background of 30.
    void MakeFrames(int count, const std::function<void(int, Picture&)>& draw) {
        frames.clear();
        for (int f = 0; f < count; ++f) {
            Picture p(m_width, m_height, 30);
            draw(f, p);
            frames.push_back(p);
        }
    }

    // --- The document's tables ---------------------------------------------------------------------------
    void SetPoints(int count, const MatchingParam& mp = MatchingParam()) {
        jobs.pointCount = count;
        jobs.params.Clear();
        for (int i = 0; i < count; ++i) {
            auto* point = new MatParam4Point;
            point->Add(new MatchingParam(mp));
            jobs.params.Add(point);
        }
    }
    // Sets a point (0-based) by hand at picture pixel (x, row), or marks it lost by hand.
    void SetByHand(long frame, int index, double x, double row, bool found = true) {
        SetPointInTable(*table, &jobs, frame, jobs.pointCount, index, x, m_height - row, found, TRUE);
    }
    int Run(long start, long end, int step = 1, int direction = 0) {
        job.SetTables(&jobs, table.get());
        return job.RunTrackingJob(start, end, step, m_width, m_height, direction);
    }
    const PointEntry* Entry(long frame, int index) {
        const FrameRecord* record = table->FindFrame(static_cast<std::int32_t>(frame));
        return record != nullptr ? record->GetEntry(index) : nullptr;
    }
    int State(long frame, int index) {
        const PointEntry* e = Entry(frame, index);
        return e != nullptr ? e->state : -2;
    }
    // The stored position of a found point as picture pixels (x, row); false when it is not found.
    bool Position(long frame, int index, double* x, double* row) {
        const PointEntry* e = Entry(frame, index);
        if (e == nullptr || e->state != PointEntry::kFound)
            return false;
        const PositionRow p = table->GetPosition(*e);
        *x = p.x;
        *row = m_height - p.y;
        return true;
    }

    // --- Image functions --------------------------------------------------------------------------------
    void BeginUpdate() override {}
    int GetStatus() override { return 0; }
    void SetPointPosition(PointFrame* pTable, long frame, int pointCount, int pointIndex, double x, double y,
                          BOOL found, BOOL byHand) override {
        SetPointInTable(*pTable, &jobs, frame, pointCount, pointIndex, x, y, found, byHand);
    }
    void GoToFrame(long frame) override { ShowFrame(frame); }
    void EndUpdate() override {}
    BYTE* GetFrameGray(long frame, int* pWidth, int* pHeight) override {
        int bits = 0;
        int extra = 0;
        BYTE* rgb = GetFrameRgb(frame, pWidth, pHeight, &bits, &extra);
        return rgb != nullptr ? ConvertToGray(rgb, *pWidth, *pHeight) : nullptr;
    }
    void ConvertPoint(int height, double x, double y, double* pX, double* pY) override {
        MapPoint(x, y, height, pX, pY);
    }
    // The picture of the frame shown, as the window would capture it: blue, green, red per pixel.
    BYTE* GetFrameRgb(long, int* pWidth, int* pHeight, int* pBits, int* pExtra) override {
        if (shown < 0 || shown >= static_cast<long>(frames.size()) || shown == failCaptureAt)
            return nullptr;
        const Picture& p = frames[static_cast<std::size_t>(shown)];
        m_rgb.resize(p.pixels.size() * 3);
        for (std::size_t i = 0; i < p.pixels.size(); ++i)
            m_rgb[3 * i] = m_rgb[3 * i + 1] = m_rgb[3 * i + 2] = p.pixels[i];
        *pWidth = p.width;
        *pHeight = p.height;
        *pBits = 8;
        *pExtra = 0;
        return m_rgb.data();
    }
    BYTE* ConvertToGray(const BYTE* pPixels, int width, int height) override {
        if (shown == failGrayAt)
            return nullptr;
        m_gray.assign(std::size_t(width) * height, 0);
        CalcTest().RgbToGray(pPixels, width, height, m_gray.data());
        return m_gray.data();
    }

    // --- Host ----------------------------------------------------------------------------------------------
    void ShowFrame(long frame) override {
        shown = frame;
        shownFrames.push_back(frame);
        if (onShow)
            onShow(frame);
    }
    BOOL HasInputPosition(long frame, int pointNumber, int* state) override {
        return GetInputState(jobs, *table, frame, pointNumber, state);
    }
    BOOL IsInputFrame(long frame) override { return jobs.IsInputFrame(static_cast<std::int32_t>(frame)); }
    void StoreTrackedPosition(int pointNumber, long frame, double x, double y) override {
        SetPointInTable(*table, nullptr, frame, jobs.pointCount, pointNumber - 1, x, y, TRUE, FALSE);
    }
    void MarkLost(int pointNumber, long frame) override {
        SetPointInTable(*table, nullptr, frame, jobs.pointCount, pointNumber - 1, 0.0, 0.0, FALSE, FALSE);
    }
    BOOL IsDebugOutput() override { return debug ? TRUE : FALSE; }
    CMatchingLog* GetMatchingLog() override { return log.get(); }
    CString GetDocumentPath() override { return CString(path.c_str()); }

    std::vector<Picture> frames;
    JobTable jobs;
    std::unique_ptr<PointFrame> table = NewPointTable();
    std::unique_ptr<CMatchingLog> log = std::make_unique<CMatchingLog>();
    CTracking job{this, this};
    bool debug = false;
    std::string path = "/data/run 1/shot.avi";
    long shown = -1;
    long failCaptureAt = -1;
    long failGrayAt = -1;
    std::vector<long> shownFrames;
    std::function<void(long)> onShow;

private:
    int m_width;
    int m_height;
    std::vector<BYTE> m_rgb;
    std::vector<BYTE> m_gray;
};

// Points the platform temp folder at a fresh folder for the test's lifetime.
class TempFolder {
public:
    TempFolder() {
        const char* old = std::getenv("TMPDIR");
        m_had = old != nullptr;
        if (m_had)
            m_old = old;
        setenv("TMPDIR", m_dir.Path("").c_str(), 1);
    }
    ~TempFolder() {
        if (m_had)
            setenv("TMPDIR", m_old.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    std::string Path(const std::string& name) const { return m_dir.Path(name); }

private:
    TempDir m_dir;
    bool m_had = false;
    std::string m_old;
};
