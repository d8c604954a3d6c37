// An ordered list of matching parameter sets that owns its records and copies them deeply.
#pragma once

#include "ZopDat/MatchingParam.h"

#include <memory>
#include <vector>

class MatchingParamList {
public:
    MatchingParamList() = default;
    MatchingParamList(const MatchingParamList& other);
    MatchingParamList& operator=(const MatchingParamList& other);
    virtual ~MatchingParamList();

    int Count() const { return static_cast<int>(records_.size()); }
    // The record at index, or null when the index is outside the list.
    MatchingParam* Get(int index);
    const MatchingParam* Get(int index) const;
    // Appends the record; the list owns it from now on.
    void Add(MatchingParam* record);
    // Destroys every record.
    void Clear();

private:
    std::vector<std::unique_ptr<MatchingParam>> records_;
};
