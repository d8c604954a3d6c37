// The generated recordings an application has open, template by template, in the order they opened.
#pragma once

#include <vector>

#include "tests/kivic_support/GenRecording.h"

inline std::vector<CGenRecordingDoc*> OpenRecordings(const CWinApp& app) {
    std::vector<CGenRecordingDoc*> docs;
    POSITION pos = app.GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocTemplate* docTemplate = app.GetNextDocTemplate(pos);
        POSITION d = docTemplate->GetFirstDocPosition();
        while (d != nullptr) {
            CDocument* doc = docTemplate->GetNextDoc(d);
            if (doc->IsKindOf(RUNTIME_CLASS(CGenRecordingDoc)))
                docs.push_back(static_cast<CGenRecordingDoc*>(doc));
        }
    }
    return docs;
}
