#include "KivIc/Documents/BmpTemplate.h"

#include "KivIc/Documents/BmpChildFrame.h"
#include "KivIc/Documents/BmpDoc.h"
#include "KivIc/Documents/BmpView.h"
#include "KivIc/Documents/RecordingMenu.h"

CMultiDocTemplate* RegisterBmpTemplate(CWinApp* app) {
    AfxRegisterString(IDR_BMPTYPE, "\nBmp\n\nBitmap File (*.bmp)\n.bmp\nBmp.Document\nBmp Document\n\n");
    AfxRegisterString(IDR_JPGTYPE, "\nJpg\n\nJpeg File (*.jpg)\n.jpg\nJpg.Document\nJpg Document\n\n");
    AfxRegisterString(IDR_TIFTYPE, "\nTif\n\nTIFF File (*.tif)\n.tif\nTif.Document\nTif Document\n\n");
    AfxRegisterMenu(IDR_BMPTYPE, BuildRecordingMenu());
    auto* docTemplate = new CMultiDocTemplate(IDR_BMPTYPE, RUNTIME_CLASS(CBmpDoc),
                                              RUNTIME_CLASS(CBmpChildFrame), RUNTIME_CLASS(CBmpView));
    if (app != nullptr)
        app->AddDocTemplate(docTemplate);
    return docTemplate;
}
