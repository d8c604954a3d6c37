// The display names of the matching parameters' codes, as the parameter dialog and the tracking report
// show them (UTF-8).
#pragma once

class CStrMatchingParam {
public:
    virtual ~CStrMatchingParam() = default;

    // The matcher factory's own names of the method codes.
    static const char* GetMethodName(int method);
    static const char* GetPredictionName(int prediction);
    // rotate 0: no rotation; rotate 1 with a step code 0-7: the step.
    static const char* GetRotationName(int rotate, int rotationStep);
    static const char* GetTemplateTypeName(int templateType);
};
