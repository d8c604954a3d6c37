#include "KivIc/Tracking/StrMatchingParam.h"

#include "Matching/MakeMatchingClass.h"

const char* CStrMatchingParam::GetMethodName(int method) {
    return MakeMatchingClass::MethodName(method);
}

const char* CStrMatchingParam::GetPredictionName(int prediction) {
    switch (prediction) {
    case 0:
        return "なし";
    case 1:
        return "直線予測（速度考慮）";
    case 2:
        return "直線予測（加速度考慮）";
    default:
        return "不明な予測法";
    }
}

const char* CStrMatchingParam::GetRotationName(int rotate, int rotationStep) {
    static const char* const kSteps[] = {"90度毎回転", "60度毎回転", "45度毎回転", "30度毎回転",
                                         "20度毎回転", "15度毎回転", "10度毎回転", "5度毎回転"};
    if (rotate == 0)
        return "回転無し";
    if (rotate == 1 && rotationStep >= 0 && rotationStep <= 7)
        return kSteps[rotationStep];
    return "不明なタイプ";
}

const char* CStrMatchingParam::GetTemplateTypeName(int templateType) {
    switch (templateType) {
    case 0:
        return "固定矩形";
    case 1:
        return "矩形拡張型";
    default:
        return "不明なタイプ";
    }
}
