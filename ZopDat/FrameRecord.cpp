#include "ZopDat/FrameRecord.h"

#include "ZopDat/MAFile.h"

#include <limits>

FrameRecord::FrameRecord(std::int32_t number, int pointCount) : frameNumber(number) {
    for (int i = 0; i < pointCount; ++i) {
        entries_.push_back(std::make_unique<PointEntry>());
    }
}

FrameRecord::FrameRecord(const FrameRecord& other)
    : MADataIO(other), frameNumber(other.frameNumber), value(other.value), text(other.text) {
    entries_.reserve(other.entries_.size());
    for (const auto& entry : other.entries_) {
        entries_.push_back(std::make_unique<PointEntry>(*entry));
    }
}

FrameRecord& FrameRecord::operator=(const FrameRecord& other) {
    if (this != &other) {
        FrameRecord copy(other);
        frameNumber = copy.frameNumber;
        value = copy.value;
        text.swap(copy.text);
        entries_.swap(copy.entries_);
    }
    return *this;
}

FrameRecord::~FrameRecord() = default;

PointEntry* FrameRecord::GetEntry(int index) {
    if (index < 0 || index >= EntryCount()) {
        return nullptr;
    }
    return entries_[static_cast<std::size_t>(index)].get();
}

const PointEntry* FrameRecord::GetEntry(int index) const {
    return const_cast<FrameRecord*>(this)->GetEntry(index);
}

void FrameRecord::AddEntry(PointEntry* entry) {
    if (entry != nullptr) {
        entries_.push_back(std::unique_ptr<PointEntry>(entry));
    }
}

std::int32_t FrameRecord::Read(MAFile& file) {
    FrameRecord read;
    std::int32_t textLength = 0;
    if (file.ReadInt32(read.frameNumber) != 0 || file.ReadInt32(read.value) != 0 ||
        file.ReadInt32(textLength) != 0) {
        return -1;
    }
    if (textLength > 0) {
        // A length beyond what the file still holds can only come from a damaged file.
        if (static_cast<std::uint64_t>(textLength) > file.Remaining()) {
            return -1;
        }
        read.text.resize(static_cast<std::size_t>(textLength));
        if (file.Read(read.text.data(), read.text.size()) != textLength) {
            return -1;
        }
    }
    std::int32_t count = 0;
    if (file.ReadInt32(count) != 0) {
        return -1;
    }
    // Entries are PointEntry::kSize bytes each: a count the rest of the file cannot hold is damage,
    // refused before anything is reserved.
    if (count > 0 && static_cast<std::uint64_t>(count) * PointEntry::kSize > file.Remaining()) {
        return -1;
    }
    read.entries_.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (std::int32_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<PointEntry>();
        if (entry->Read(file) != 0) {
            return -1;
        }
        read.entries_.push_back(std::move(entry));
    }
    frameNumber = read.frameNumber;
    value = read.value;
    text.swap(read.text);
    entries_.swap(read.entries_);
    return 0;
}

std::int32_t FrameRecord::Write(MAFile& file) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        entries_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return -1;
    }
    const auto textLength = static_cast<std::int32_t>(text.size());
    if (file.WriteInt32(frameNumber) != 0 || file.WriteInt32(value) != 0 ||
        file.WriteInt32(textLength) != 0) {
        return -1;
    }
    if (textLength > 0 && file.Write(text.data(), text.size()) != 0) {
        return -1;
    }
    if (file.WriteInt32(static_cast<std::int32_t>(entries_.size())) != 0) {
        return -1;
    }
    for (const auto& entry : entries_) {
        if (entry->Write(file) != 0) {
            return -1;
        }
    }
    return 0;
}

std::uint32_t FrameRecord::GetSize() {
    return static_cast<std::uint32_t>(12 + text.size() + 4 + PointEntry::kSize * entries_.size());
}
