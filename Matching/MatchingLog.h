// What one tracking run produced besides the document's point positions: the predicted positions,
// the matching results with their score maps and search areas, and the job's step timers. The log
// lives in memory; its records also have a binary form through the record file.
#pragma once

#include "Matching/Image.h"
#include "ZopDat/MADataIO.h"
#include "ZopDat/MAFile.h"
#include "ZopDat/PointFrame.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A text with two leading 32-bit words (kept, 0 when made here).
class MatchingText : public MADataIO {
public:
    MatchingText() = default;
    explicit MatchingText(std::string value) : text(std::move(value)) {}
    std::int32_t Read(MAFile& file) override;
    std::int32_t Write(MAFile& file) override;
    // The text's length.
    std::uint32_t GetSize() override { return static_cast<std::uint32_t>(text.size()); }

    std::int32_t first = 0;
    std::int32_t second = 0;
    std::string text;
};

class StepTimer : public MADataIO {
public:
    StepTimer() = default;
    explicit StepTimer(std::string label) : label(std::move(label)) {}
    std::int32_t Read(MAFile& file) override;
    std::int32_t Write(MAFile& file) override;
    std::uint32_t GetSize() override;

    MatchingText label;
    std::uint32_t time = 0; // milliseconds
    std::int32_t count = 0;
};

class ResultEntry : public MADataIO {
public:
    ResultEntry() = default;
    ResultEntry(const ResultEntry&) = delete;
    ResultEntry& operator=(const ResultEntry&) = delete;
    std::int32_t Read(MAFile& file) override;
    std::int32_t Write(MAFile& file) override;
    std::uint32_t GetSize() override;

    // Replaces the map by a copy of width x height floats (none when either is not positive).
    void SetMap(const float* values, int width, int height);

    double score = 0.0;
    std::vector<float> map;
    std::int32_t mapWidth = 0;
    std::int32_t mapHeight = 0;
    double varianceX = 0.0;
    double varianceY = 0.0;
    std::int32_t peakX = 0;
    std::int32_t peakY = 0;
    double subPixelX = 0.0;
    double subPixelY = 0.0;
    // The search area's pixels; its two integers hold the area's left and top.
    std::unique_ptr<MatchingImage> searchArea;
};

class ResultFrame : public MADataIO {
public:
    explicit ResultFrame(std::int32_t frame = 0) : frameNumber(frame) {}
    std::int32_t Read(MAFile& file) override;
    std::int32_t Write(MAFile& file) override;
    std::uint32_t GetSize() override;

    // The entry of a point (1-based), appending empty entries up to it when needed.
    ResultEntry& EntryFor(int pointNumber);

    std::int32_t frameNumber;
    std::vector<std::unique_ptr<ResultEntry>> entries; // index = point number - 1
};

// An owning list of records written as a count and then each record.
template <typename Record> class RecordList : public MADataIO {
public:
    std::int32_t Read(MAFile& file) override;
    std::int32_t Write(MAFile& file) override;
    std::uint32_t GetSize() override;

    int Count() const { return static_cast<int>(items.size()); }
    Record* Get(int index) const {
        return index >= 0 && index < Count() ? items[static_cast<std::size_t>(index)].get() : nullptr;
    }
    Record* Add(std::unique_ptr<Record> record) {
        items.push_back(std::move(record));
        return items.back().get();
    }
    void Clear() { items.clear(); }

    std::vector<std::unique_ptr<Record>> items;
};

using ResultFrameList = RecordList<ResultFrame>;
using StepTimerList = RecordList<StepTimer>;

class CMatchingLog : public MAFile {
public:
    CMatchingLog();
    ~CMatchingLog() override;

    // Null only when it could not be made.
    PointFrame* GetPredictions() const { return predictions_.get(); }
    ResultFrameList* GetResults() const { return results_.get(); }
    StepTimerList* GetTimers() const { return timers_.get(); }

    void AddResult(int frame, int pointNumber, double score, double varianceX, double varianceY, int peakX,
                   int peakY, double subPixelX, double subPixelY, int mapWidth, int mapHeight,
                   const float* map);
    void AddSearchArea(int frame, int pointNumber, const unsigned char* pixels, int width, int height,
                       int left, int top);

    ResultFrame* FindResultFrame(int frame) const;
    bool HasResult(const ResultFrame* resultFrame, int pointNumber) const;
    int GetResultFrameCount() const { return results_ ? results_->Count() : 0; }
    // Entries of the result frame at index; 0 when there is none.
    int GetResultCount(int index) const;
    // The score of a point (1-based) in the result frame at index, or kNoResult (outputs then untouched).
    double GetResult(int index, int pointNumber, int* frame, double* varianceX, double* varianceY, int* peakX,
                     int* peakY, double* subPixelX, double* subPixelY) const;

    static constexpr double kNoResult = -999.0;

private:
    ResultFrame* FrameFor(int frame);

    std::unique_ptr<PointFrame> predictions_;
    std::unique_ptr<ResultFrameList> results_;
    std::unique_ptr<StepTimerList> timers_;
};
