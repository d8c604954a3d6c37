// Builds the matcher of a method code and owns it.
#pragma once

#include "Matching/Matching.h"

#include <cstdint>

class MakeMatchingClass {
public:
    explicit MakeMatchingClass(std::int32_t method);
    MakeMatchingClass(const MakeMatchingClass&) = delete;
    MakeMatchingClass& operator=(const MakeMatchingClass&) = delete;
    virtual ~MakeMatchingClass();

    // The matcher, or null when it could not be made.
    Matching* GetMatcher() const { return matcher_; }
    std::int32_t GetMethod() const { return method_; }

    // The name under which dialogs and logs show a method (UTF-8).
    static const char* MethodName(std::int32_t method);

private:
    std::int32_t method_;
    Matching* matcher_ = nullptr;
};
