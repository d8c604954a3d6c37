// The tracked points of one frame: one owned PointEntry per point (index = point number - 1).
#pragma once

#include "ZopDat/MADataIO.h"
#include "ZopDat/PointEntry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FrameRecord : public MADataIO {
public:
    FrameRecord() = default;
    // A record for a frame with pointCount entries that have no position yet.
    FrameRecord(std::int32_t frameNumber, int pointCount);
    FrameRecord(const FrameRecord& other);
    FrameRecord& operator=(const FrameRecord& other);
    ~FrameRecord() override;

    // Fields in file order: frame number, value, text, entry count, entries.
    std::int32_t Read(MAFile& file) override;
    std::int32_t Write(MAFile& file) override;
    // 12 bytes of leading fields, the text, and the entry list (4 + 16 per entry).
    std::uint32_t GetSize() override;

    int EntryCount() const { return static_cast<int>(entries_.size()); }
    // The entry at index, or null when the index is outside the record.
    PointEntry* GetEntry(int index);
    const PointEntry* GetEntry(int index) const;
    // Appends the entry; the record owns it from now on.
    void AddEntry(PointEntry* entry);
    void ClearEntries() { entries_.clear(); }

    std::int32_t frameNumber = 0;
    std::int32_t value = 0;
    std::string text;

private:
    std::vector<std::unique_ptr<PointEntry>> entries_;
};
