#include "KivIc/Documents/KivTemplate.h"

#include "KivIc/Documents/KivChildFrame.h"
#include "KivIc/Documents/KivDoc.h"
#include "KivIc/Documents/KivIds.h"
#include "KivIc/Documents/KivMenu.h"
#include "KivIc/Documents/KivView.h"

CMultiDocTemplate* RegisterKivTemplate(CWinApp* app) {
    AfxRegisterString(IDR_KIVTYPE, "\nBREM\nBREM\nBREM File (*.cm8)\n.cm8\nKivIc.BremFile\nBREM File");
    RegisterKivMenu();
    auto* docTemplate = new CMultiDocTemplate(IDR_KIVTYPE, RUNTIME_CLASS(CKivDoc),
                                              RUNTIME_CLASS(CKivChildFrame), RUNTIME_CLASS(CKivView));
    if (app != nullptr)
        app->AddDocTemplate(docTemplate);
    return docTemplate;
}
