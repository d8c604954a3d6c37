#include "Matching/MatchingLog.h"

#include <bit>
#include <cstring>
#include <new>

namespace {

int WriteFloat(MAFile& file, float value) {
    return file.WriteInt32(std::bit_cast<std::int32_t>(value));
}

int ReadFloat(MAFile& file, float& value) {
    std::int32_t bits = 0;
    if (file.ReadInt32(bits) != 0) {
        return -1;
    }
    value = std::bit_cast<float>(bits);
    return 0;
}

// A count or size read from a file is trusted only as far as the file still holds that many bytes.
bool Fits(MAFile& file, std::int64_t count, std::int64_t bytesEach) {
    return count >= 0 &&
           static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(bytesEach) <= file.Remaining();
}

} // namespace

// Text record --------------------------------------------------------------------------------------

std::int32_t MatchingText::Write(MAFile& file) {
    if (file.WriteInt32(first) != 0 || file.WriteInt32(second) != 0 ||
        file.WriteInt32(static_cast<std::int32_t>(text.size())) != 0) {
        return -1;
    }
    return text.empty() || file.Write(text.data(), text.size()) == 0 ? 0 : -1;
}

std::int32_t MatchingText::Read(MAFile& file) {
    std::int32_t length = 0;
    if (file.ReadInt32(first) != 0 || file.ReadInt32(second) != 0 || file.ReadInt32(length) != 0) {
        return -1;
    }
    text.clear();
    if (length <= 0) {
        return 0;
    }
    if (!Fits(file, length, 1)) {
        return -1;
    }
    text.resize(static_cast<std::size_t>(length));
    return file.Read(text.data(), text.size()) == length ? 0 : -1;
}

// Step timer ---------------------------------------------------------------------------------------

std::int32_t StepTimer::Write(MAFile& file) {
    if (label.Write(file) != 0 || file.WriteInt32(static_cast<std::int32_t>(time)) != 0 ||
        file.WriteInt32(count) != 0) {
        return -1;
    }
    return 0;
}

std::int32_t StepTimer::Read(MAFile& file) {
    std::int32_t t = 0;
    if (label.Read(file) != 0 || file.ReadInt32(t) != 0 || file.ReadInt32(count) != 0) {
        return -1;
    }
    time = static_cast<std::uint32_t>(t);
    return 0;
}

std::uint32_t StepTimer::GetSize() {
    return 12 + label.GetSize() + 8;
}

// Result entry -------------------------------------------------------------------------------------

void ResultEntry::SetMap(const float* values, int width, int height) {
    map.clear();
    mapWidth = width;
    mapHeight = height;
    if (values != nullptr && width > 0 && height > 0) {
        map.assign(values, values + static_cast<std::size_t>(width) * height);
    }
}

// score, map width, map height, the map, variances, integer peak, sub-pixel peak, then the search
// area: a presence word and, when present, left, top, width, height and the pixels.
std::int32_t ResultEntry::Write(MAFile& file) {
    if (file.WriteDouble(score) != 0 || file.WriteInt32(mapWidth) != 0 || file.WriteInt32(mapHeight) != 0 ||
        file.WriteInt32(static_cast<std::int32_t>(map.size())) != 0) {
        return -1;
    }
    for (float v : map) {
        if (WriteFloat(file, v) != 0) {
            return -1;
        }
    }
    if (file.WriteDouble(varianceX) != 0 || file.WriteDouble(varianceY) != 0 || file.WriteInt32(peakX) != 0 ||
        file.WriteInt32(peakY) != 0 || file.WriteDouble(subPixelX) != 0 || file.WriteDouble(subPixelY) != 0) {
        return -1;
    }
    if (!searchArea) {
        return file.WriteInt32(0);
    }
    int w = 0;
    int h = 0;
    const unsigned char* pixels = searchArea->GetSize(&w, &h);
    const std::int64_t bytes = pixels != nullptr && w > 0 && h > 0 ? static_cast<std::int64_t>(w) * h : 0;
    if (file.WriteInt32(1) != 0 || file.WriteInt32(searchArea->GetFirst()) != 0 ||
        file.WriteInt32(searchArea->GetSecond()) != 0 || file.WriteInt32(bytes > 0 ? w : 0) != 0 ||
        file.WriteInt32(bytes > 0 ? h : 0) != 0) {
        return -1;
    }
    return bytes == 0 || file.Write(pixels, static_cast<std::size_t>(bytes)) == 0 ? 0 : -1;
}

std::int32_t ResultEntry::Read(MAFile& file) {
    std::int32_t count = 0;
    if (file.ReadDouble(score) != 0 || file.ReadInt32(mapWidth) != 0 || file.ReadInt32(mapHeight) != 0 ||
        file.ReadInt32(count) != 0 || !Fits(file, count, 4)) {
        return -1;
    }
    map.assign(static_cast<std::size_t>(count), 0.0f);
    for (float& v : map) {
        if (ReadFloat(file, v) != 0) {
            return -1;
        }
    }
    std::int32_t present = 0;
    if (file.ReadDouble(varianceX) != 0 || file.ReadDouble(varianceY) != 0 || file.ReadInt32(peakX) != 0 ||
        file.ReadInt32(peakY) != 0 || file.ReadDouble(subPixelX) != 0 || file.ReadDouble(subPixelY) != 0 ||
        file.ReadInt32(present) != 0) {
        return -1;
    }
    searchArea.reset();
    if (present == 0) {
        return 0;
    }
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;
    if (file.ReadInt32(left) != 0 || file.ReadInt32(top) != 0 || file.ReadInt32(w) != 0 ||
        file.ReadInt32(h) != 0 || w < 0 || h < 0 || !Fits(file, static_cast<std::int64_t>(w) * h, 1)) {
        return -1;
    }
    std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h);
    if (!pixels.empty() && file.Read(pixels.data(), pixels.size()) != static_cast<int>(pixels.size())) {
        return -1;
    }
    searchArea = std::make_unique<MatchingImage>(pixels.data(), w, h, left, top, 1, 8);
    return 0;
}

std::uint32_t ResultEntry::GetSize() {
    std::uint32_t size = 8 + 12 + 4 * static_cast<std::uint32_t>(map.size()) + 16 + 8 + 16 + 4;
    if (searchArea) {
        int w = 0;
        int h = 0;
        const unsigned char* pixels = searchArea->GetSize(&w, &h);
        size += 16 + (pixels != nullptr && w > 0 && h > 0 ? static_cast<std::uint32_t>(w * h) : 0);
    }
    return size;
}

// Result frame -------------------------------------------------------------------------------------

ResultEntry& ResultFrame::EntryFor(int pointNumber) {
    while (static_cast<int>(entries.size()) < pointNumber) {
        entries.push_back(std::make_unique<ResultEntry>());
    }
    return *entries[static_cast<std::size_t>(pointNumber - 1)];
}

std::int32_t ResultFrame::Write(MAFile& file) {
    if (file.WriteInt32(frameNumber) != 0 ||
        file.WriteInt32(static_cast<std::int32_t>(entries.size())) != 0) {
        return -1;
    }
    for (auto& e : entries) {
        if (e->Write(file) != 0) {
            return -1;
        }
    }
    return 0;
}

std::int32_t ResultFrame::Read(MAFile& file) {
    std::int32_t count = 0;
    // An entry takes at least 72 bytes.
    if (file.ReadInt32(frameNumber) != 0 || file.ReadInt32(count) != 0 || !Fits(file, count, 72)) {
        return -1;
    }
    entries.clear();
    for (std::int32_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<ResultEntry>();
        if (entry->Read(file) != 0) {
            return -1;
        }
        entries.push_back(std::move(entry));
    }
    return 0;
}

std::uint32_t ResultFrame::GetSize() {
    std::uint32_t size = 8;
    for (auto& e : entries) {
        size += e->GetSize();
    }
    return size;
}

// Lists --------------------------------------------------------------------------------------------

template <typename Record> std::int32_t RecordList<Record>::Write(MAFile& file) {
    if (file.WriteInt32(static_cast<std::int32_t>(items.size())) != 0) {
        return -1;
    }
    for (auto& item : items) {
        if (item->Write(file) != 0) {
            return -1;
        }
    }
    return 0;
}

template <typename Record> std::int32_t RecordList<Record>::Read(MAFile& file) {
    std::int32_t count = 0;
    // Every record takes at least 8 bytes.
    if (file.ReadInt32(count) != 0 || !Fits(file, count, 8)) {
        return -1;
    }
    items.clear();
    for (std::int32_t i = 0; i < count; ++i) {
        auto item = std::make_unique<Record>();
        if (item->Read(file) != 0) {
            return -1;
        }
        items.push_back(std::move(item));
    }
    return 0;
}

template <typename Record> std::uint32_t RecordList<Record>::GetSize() {
    std::uint32_t size = 4;
    for (auto& item : items) {
        size += item->GetSize();
    }
    return size;
}

template class RecordList<ResultFrame>;
template class RecordList<StepTimer>;

// The log --------------------------------------------------------------------------------------------

CMatchingLog::CMatchingLog()
    : predictions_(new (std::nothrow) PointFrame(1.0)), results_(new (std::nothrow) ResultFrameList),
      timers_(new (std::nothrow) StepTimerList) {}

CMatchingLog::~CMatchingLog() = default;

ResultFrame* CMatchingLog::FindResultFrame(int frame) const {
    if (!results_) {
        return nullptr;
    }
    for (auto& f : results_->items) {
        if (f->frameNumber == frame) {
            return f.get();
        }
    }
    return nullptr;
}

ResultFrame* CMatchingLog::FrameFor(int frame) {
    if (ResultFrame* found = FindResultFrame(frame)) {
        return found;
    }
    return results_->Add(std::make_unique<ResultFrame>(frame));
}

bool CMatchingLog::HasResult(const ResultFrame* resultFrame, int pointNumber) const {
    return resultFrame != nullptr && pointNumber >= 1 &&
           pointNumber <= static_cast<int>(resultFrame->entries.size());
}

void CMatchingLog::AddResult(int frame, int pointNumber, double score, double varianceX, double varianceY,
                             int peakX, int peakY, double subPixelX, double subPixelY, int mapWidth,
                             int mapHeight, const float* map) {
    if (!results_ || pointNumber < 1) {
        return;
    }
    ResultEntry& e = FrameFor(frame)->EntryFor(pointNumber);
    e.score = score;
    e.varianceX = varianceX;
    e.varianceY = varianceY;
    e.peakX = peakX;
    e.peakY = peakY;
    e.subPixelX = subPixelX;
    e.subPixelY = subPixelY;
    e.SetMap(map, mapWidth, mapHeight);
}

void CMatchingLog::AddSearchArea(int frame, int pointNumber, const unsigned char* pixels, int width,
                                 int height, int left, int top) {
    if (!results_ || pointNumber < 1) {
        return;
    }
    ResultEntry& e = FrameFor(frame)->EntryFor(pointNumber);
    e.searchArea = std::make_unique<MatchingImage>(pixels, width, height, left, top, 1, 8);
}

int CMatchingLog::GetResultCount(int index) const {
    const ResultFrame* f = results_ ? results_->Get(index) : nullptr;
    return f != nullptr ? static_cast<int>(f->entries.size()) : 0;
}

double CMatchingLog::GetResult(int index, int pointNumber, int* frame, double* varianceX, double* varianceY,
                               int* peakX, int* peakY, double* subPixelX, double* subPixelY) const {
    const ResultFrame* f = results_ ? results_->Get(index) : nullptr;
    if (!HasResult(f, pointNumber)) {
        return kNoResult;
    }
    const ResultEntry& e = *f->entries[static_cast<std::size_t>(pointNumber - 1)];
    *frame = f->frameNumber;
    *varianceX = e.varianceX;
    *varianceY = e.varianceY;
    *peakX = e.peakX;
    *peakY = e.peakY;
    *subPixelX = e.subPixelX;
    *subPixelY = e.subPixelY;
    return e.score;
}
