#include "ZopDat/MatchingParamList.h"

MatchingParamList::MatchingParamList(const MatchingParamList& other) {
    records_.reserve(other.records_.size());
    for (const auto& record : other.records_) {
        records_.push_back(std::make_unique<MatchingParam>(*record));
    }
}

MatchingParamList& MatchingParamList::operator=(const MatchingParamList& other) {
    if (this != &other) {
        MatchingParamList copy(other);
        records_.swap(copy.records_);
    }
    return *this;
}

MatchingParamList::~MatchingParamList() = default;

MatchingParam* MatchingParamList::Get(int index) {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return records_[static_cast<std::size_t>(index)].get();
}

const MatchingParam* MatchingParamList::Get(int index) const {
    return const_cast<MatchingParamList*>(this)->Get(index);
}

void MatchingParamList::Add(MatchingParam* record) {
    if (record != nullptr) {
        records_.push_back(std::unique_ptr<MatchingParam>(record));
    }
}

void MatchingParamList::Clear() {
    records_.clear();
}
