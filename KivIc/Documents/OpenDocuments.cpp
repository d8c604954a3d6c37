#include "KivIc/Documents/OpenDocuments.h"

#include "KivIc/Playback/VesloDoc.h"

CDocument* FindOpenDocument(const std::function<bool(CDocument*)>& match) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return nullptr;
    POSITION tpos = app->GetFirstDocTemplatePosition();
    while (tpos != nullptr) {
        CDocTemplate* docTemplate = app->GetNextDocTemplate(tpos);
        POSITION dpos = docTemplate->GetFirstDocPosition();
        while (dpos != nullptr) {
            CDocument* doc = docTemplate->GetNextDoc(dpos);
            if (doc != nullptr && match(doc))
                return doc;
        }
    }
    return nullptr;
}

void ForEachOpenRecording(const std::function<void(CVesloDoc*)>& visit) {
    FindOpenDocument([&visit](CDocument* doc) {
        if (doc->IsKindOf(RUNTIME_CLASS(CVesloDoc)))
            visit(static_cast<CVesloDoc*>(doc));
        return false;
    });
}
