#include "ZopDat/FrameRecordList.h"

#include "ZopDat/MAFile.h"

#include <limits>

namespace {

// The smallest binary form of a frame record: frame number, value, text length and entry count. A
// record count is accepted only when the rest of the file could hold that many records, so a damaged
// count cannot reserve memory that the file does not back.
constexpr std::uint64_t kMinRecordSize = 16;

} // namespace

FrameRecordList::FrameRecordList(const FrameRecordList& other) : MADataIO(other) {
    records_.reserve(other.records_.size());
    for (const auto& record : other.records_) {
        records_.push_back(std::make_unique<FrameRecord>(*record));
    }
}

FrameRecordList& FrameRecordList::operator=(const FrameRecordList& other) {
    if (this != &other) {
        FrameRecordList copy(other);
        records_.swap(copy.records_);
    }
    return *this;
}

FrameRecordList::~FrameRecordList() = default;

std::int32_t FrameRecordList::ReadRecords(MAFile& file, std::vector<std::unique_ptr<FrameRecord>>& out) {
    std::int32_t count = 0;
    if (file.ReadInt32(count) != 0) {
        return -1;
    }
    if (count > 0 && static_cast<std::uint64_t>(count) * kMinRecordSize > file.Remaining()) {
        return -1;
    }
    out.clear();
    out.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (std::int32_t i = 0; i < count; ++i) {
        auto record = std::make_unique<FrameRecord>();
        if (record->Read(file) != 0) {
            return -1;
        }
        out.push_back(std::move(record));
    }
    return 0;
}

std::int32_t FrameRecordList::Read(MAFile& file) {
    std::vector<std::unique_ptr<FrameRecord>> read;
    if (ReadRecords(file, read) != 0) {
        return -1;
    }
    records_.swap(read);
    return 0;
}

std::int32_t FrameRecordList::Write(MAFile& file) {
    if (records_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return -1;
    }
    if (file.WriteInt32(static_cast<std::int32_t>(records_.size())) != 0) {
        return -1;
    }
    for (const auto& record : records_) {
        if (record->Write(file) != 0) {
            return -1;
        }
    }
    return 0;
}

std::uint32_t FrameRecordList::GetSize() {
    std::uint32_t size = 4;
    for (const auto& record : records_) {
        size += record->GetSize();
    }
    return size;
}
