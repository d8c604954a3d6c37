#include "ZopDat/MatchingParamList.h"

MatchingParamList::MatchingParamList(const MatchingParamList& other) = default;

MatchingParamList& MatchingParamList::operator=(const MatchingParamList& other) = default;

MatchingParamList::~MatchingParamList() = default;
