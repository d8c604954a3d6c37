// An ordered list of matching parameter sets that owns its records and copies them deeply.
#pragma once

#include "ZopDat/MatchingParam.h"
#include "ZopDat/OwnedList.h"

class MatchingParamList {
public:
    MatchingParamList() = default;
    MatchingParamList(const MatchingParamList& other);
    MatchingParamList& operator=(const MatchingParamList& other);
    virtual ~MatchingParamList();

    int Count() const { return records_.Count(); }
    // The record at index, or null when the index is outside the list.
    MatchingParam* Get(int index) { return records_.Get(index); }
    const MatchingParam* Get(int index) const { return records_.Get(index); }
    // Appends the record; the list owns it from now on.
    void Add(MatchingParam* record) { records_.Add(record); }
    // Destroys every record.
    void Clear() { records_.Clear(); }

private:
    OwnedList<MatchingParam> records_;
};
