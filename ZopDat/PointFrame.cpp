#include "ZopDat/PointFrame.h"

#include "ZopDat/ReplaceFile.h"

#include <cmath>
#include <limits>

namespace {

// Coordinate / scale truncated toward zero, kept inside the 32-bit range (a NaN stores 0).
std::int32_t ToStored(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

PointFrame::PointFrame(double scale) : scale_(scale) {}

PointFrame::PointFrame(const PointFrame& other)
    : MAFile(), FrameRecordList(other), RecordTable(other), scale_(other.scale_) {}

PointFrame& PointFrame::operator=(const PointFrame& other) {
    if (this != &other) {
        FrameRecordList::operator=(other);
        scale_ = other.scale_;
    }
    return *this;
}

PointFrame::~PointFrame() = default;

int PointFrame::Add(FrameRecord* record) {
    if (record == nullptr) {
        return 0;
    }
    records_.push_back(std::unique_ptr<FrameRecord>(record));
    return 1;
}

FrameRecord* PointFrame::Get(int index) {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return records_[static_cast<std::size_t>(index)].get();
}

int PointFrame::Replace(int index, FrameRecord* record) {
    if (record == nullptr || index < 0 || index >= Count()) {
        return 0;
    }
    records_[static_cast<std::size_t>(index)].reset(record);
    return 1;
}

int PointFrame::Insert(int index, FrameRecord* record) {
    if (record == nullptr || index < 0 || index >= Count()) {
        return 0;
    }
    std::unique_ptr<FrameRecord> owned(record);
    records_.insert(records_.begin() + index, std::move(owned));
    return 1;
}

int PointFrame::Delete(int index) {
    if (index < 0 || index >= Count()) {
        return 0;
    }
    records_.erase(records_.begin() + index);
    return 1;
}

void PointFrame::Clear() {
    records_.clear();
}

int PointFrame::Count() {
    return static_cast<int>(records_.size());
}

int PointFrame::PutFrame(int frameNumber, FrameRecord* record) {
    if (record == nullptr) {
        return -1;
    }
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const int number = records_[static_cast<std::size_t>(i)]->frameNumber;
        if (number == frameNumber) {
            Replace(i, record);
            return i;
        }
        if (number > frameNumber) {
            Insert(i, record);
            return i;
        }
    }
    Add(record);
    return Count() - 1;
}

FrameRecord* PointFrame::FindFrame(int frameNumber) {
    for (const auto& record : records_) {
        if (record->frameNumber == frameNumber) {
            return record.get();
        }
    }
    return nullptr;
}

void PointFrame::SetPosition(PointEntry& entry, double x, double y, double z) {
    if (entry.state != PointEntry::kFound) {
        return;
    }
    entry.x = ToStored(x / scale_);
    entry.y = ToStored(y / scale_);
    entry.z = ToStored(z / scale_);
}

PositionRow PointFrame::GetPosition(const PointEntry& entry) const {
    PositionRow row;
    row.x = entry.x;
    row.y = entry.y;
    row.z = entry.z;
    if (entry.state == PointEntry::kFound) {
        row.x *= scale_;
        row.y *= scale_;
        row.z *= scale_;
    }
    row.state = 0;
    row.flag = 0;
    return row;
}

void PointFrame::SetScale(double scale) {
    if (scale == 0.0 || scale == scale_ || !std::isfinite(scale)) {
        return;
    }
    const double inverse = 1.0 / scale;
    for (const auto& record : records_) {
        for (int i = 0; i < record->EntryCount(); ++i) {
            PointEntry& entry = *record->GetEntry(i);
            if (entry.state != PointEntry::kFound) {
                continue;
            }
            const PositionRow p = GetPosition(entry);
            entry.x = ToStored(p.x * inverse);
            entry.y = ToStored(p.y * inverse);
            entry.z = ToStored(p.z * inverse);
        }
    }
    scale_ = scale;
}

std::int32_t PointFrame::Read(MAFile& file) {
    double scale = 0.0;
    std::vector<std::unique_ptr<FrameRecord>> read;
    if (file.ReadDouble(scale) != 0 || ReadRecords(file, read) != 0) {
        return -1;
    }
    scale_ = scale;
    records_.swap(read);
    return 0;
}

std::int32_t PointFrame::Write(MAFile& file) {
    if (file.WriteDouble(scale_) != 0) {
        return -1;
    }
    return FrameRecordList::Write(file);
}

std::uint32_t PointFrame::GetSize() {
    return 8 + FrameRecordList::GetSize();
}

int PointFrame::Save(const char* name) {
    if (name == nullptr) {
        return -1;
    }
    const std::string temporary = zopdat::TemporaryNameFor(name);
    if (Open(temporary.c_str(), kModeCreate) != 0) {
        return -1;
    }
    bool written = Write(static_cast<MAFile&>(*this)) == 0;
    try {
        Close();
    } catch (CFileException* e) {
        e->Delete();
        Abort();
        written = false;
    }
    if (!written) {
        zopdat::DiscardTemporary(temporary);
        return -1;
    }
    return zopdat::CommitTemporary(temporary, name) ? 0 : -1;
}

int PointFrame::Load(const char* name) {
    if (name == nullptr || Open(name, kModeRead) != 0) {
        return -1;
    }
    // Read replaces the records and the scale only when the whole table came in.
    const std::int32_t result = Read(static_cast<MAFile&>(*this));
    Abort();
    return result == 0 ? 0 : -1;
}
