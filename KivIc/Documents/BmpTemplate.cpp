#include "KivIc/Documents/BmpTemplate.h"

#include "KivIc/Documents/BmpChildFrame.h"
#include "KivIc/Documents/BmpDoc.h"
#include "KivIc/Documents/BmpView.h"
#include "KivIc/Documents/RecordingMenu.h"
#include "KivIc/Playback/SourcePath.h"
#include "platform/afx/doc/docpath.h"

namespace {

// A sequence is one recording whichever of its files names it: another file of an open sequence finds
// that sequence's document.
class CBmpDocTemplate : public CMultiDocTemplate {
public:
    using CMultiDocTemplate::CMultiDocTemplate;

    Confidence MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch) override {
        const Confidence match = CMultiDocTemplate::MatchDocType(lpszPathName, rpDocMatch);
        if (match == yesAlreadyOpen || lpszPathName == nullptr || *lpszPathName == '\0')
            return match;
        const CString wanted = AfxCanonicalPath(lpszPathName);
        const SourcePathParts parts = SplitSourcePath(wanted);
        const CString name = parts.fileName + parts.ext;
        for (CDocument* doc : m_docList) {
            if (!doc->IsKindOf(RUNTIME_CLASS(CBmpDoc)))
                continue;
            auto* sequence = static_cast<CBmpDoc*>(doc);
            if (SequenceFrameNumber(name, sequence->GetBaseName(), sequence->GetExt(), nullptr) &&
                AfxCanonicalPath(sequence->GetSequenceFolder() + name) == wanted) {
                rpDocMatch = doc;
                return yesAlreadyOpen;
            }
        }
        return match;
    }
};

} // namespace

CMultiDocTemplate* RegisterBmpTemplate(CWinApp* app) {
    AfxRegisterString(IDR_BMPTYPE, "\nBmp\n\nBitmap File (*.bmp)\n.bmp\nBmp.Document\nBmp Document\n\n");
    AfxRegisterString(IDR_JPGTYPE, "\nJpg\n\nJpeg File (*.jpg)\n.jpg\nJpg.Document\nJpg Document\n\n");
    AfxRegisterString(IDR_TIFTYPE, "\nTif\n\nTIFF File (*.tif)\n.tif\nTif.Document\nTif Document\n\n");
    AfxRegisterMenu(IDR_BMPTYPE, BuildRecordingMenu());
    auto* docTemplate = new CBmpDocTemplate(IDR_BMPTYPE, RUNTIME_CLASS(CBmpDoc),
                                            RUNTIME_CLASS(CBmpChildFrame), RUNTIME_CLASS(CBmpView));
    if (app != nullptr)
        app->AddDocTemplate(docTemplate);
    return docTemplate;
}
