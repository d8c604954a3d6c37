#include "Matching/MakeMatchingClass.h"
#include "Matching/CorrAdvMatching.h"
#include "Matching/CorrAveMatching.h"
#include "Matching/CorrChkMatching.h"
#include "Matching/CorrFullMatching.h"
#include "Matching/CorrIplFullMatching.h"
#include "Matching/DiffIplSimpleMatching.h"
#include "Matching/DiffSimpleMatching.h"

#include <new>

MakeMatchingClass::MakeMatchingClass(std::int32_t method) : method_(method) {
    switch (method) {
    case 0:
        matcher_ = new (std::nothrow) CorrFullMatching;
        break;
    case 1:
        matcher_ = new (std::nothrow) CorrAveMatching;
        break;
    case 3:
        matcher_ = new (std::nothrow) CorrAdvMatching;
        break;
    case 4:
        matcher_ = new (std::nothrow) DiffSimpleMatching;
        break;
    case 5:
        matcher_ = new (std::nothrow) DiffIplSimpleMatching;
        break;
    case 6:
        matcher_ = new (std::nothrow) CorrIplFullMatching;
        break;
    default: // 2 and every unknown code
        matcher_ = new (std::nothrow) CorrChkMatching;
        break;
    }
}

MakeMatchingClass::~MakeMatchingClass() {
    delete matcher_;
}

const char* MakeMatchingClass::MethodName(std::int32_t method) {
    switch (method) {
    case 0:
        return "相関法（フルスキャン法）";
    case 1:
        return "相関法（仮平均法）";
    case 2:
        return "相関法（チェッカースキャン法）";
    case 3:
        return "相関法（拡張フルスキャン法）";
    case 4:
        return "差分法（単純法）";
    case 5:
        return "差分法（単純法）IPL使用";
    case 6:
        return "相関法（フルスキャン法）IPL使用";
    default:
        return "不明な方法";
    }
}
