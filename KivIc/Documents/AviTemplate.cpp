#include "KivIc/Documents/AviTemplate.h"

#include "KivIc/Documents/AviChildFrame.h"
#include "KivIc/Documents/AviDoc.h"
#include "KivIc/Documents/Ovisk.h"
#include "KivIc/Documents/RecordingMenu.h"

CMultiDocTemplate* RegisterAviTemplate(CWinApp* app) {
    AfxRegisterString(IDR_AVITYPE, "\nAVI\nAVI\nAVI File (*.avi)\n.avi\nKivIc.AviFile\nAVI File");
    AfxRegisterMenu(IDR_AVITYPE, BuildRecordingMenu());
    auto* docTemplate = new CMultiDocTemplate(IDR_AVITYPE, RUNTIME_CLASS(CAviDoc),
                                              RUNTIME_CLASS(CAviChildFrame), RUNTIME_CLASS(COvisk));
    if (app != nullptr)
        app->AddDocTemplate(docTemplate);
    return docTemplate;
}
