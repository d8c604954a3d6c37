// An owned list of frame records with the binary list form: the count, then every record.
#pragma once

#include "ZopDat/FrameRecord.h"
#include "ZopDat/MADataIO.h"

#include <memory>
#include <vector>

class FrameRecordList : public MADataIO {
public:
    FrameRecordList() = default;
    FrameRecordList(const FrameRecordList& other);
    FrameRecordList& operator=(const FrameRecordList& other);
    ~FrameRecordList() override;

    // Replaces the list by the records of the file only when all of them were read.
    std::int32_t Read(MAFile& file) override;
    std::int32_t Write(MAFile& file) override;
    std::uint32_t GetSize() override;

protected:
    // Reads a count and that many records into out; the count is bounded by the bytes the file still
    // holds, so a damaged count cannot make it allocate without bound.
    static std::int32_t ReadRecords(MAFile& file, std::vector<std::unique_ptr<FrameRecord>>& out);

    std::vector<std::unique_ptr<FrameRecord>> records_;
};
