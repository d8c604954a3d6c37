#include "KivIc/Documents/TiffDoc.h"

#include "vomLib/Image/TiffFile.h"

IMPLEMENT_DYNCREATE(CTiffDoc, CBmpDoc)

CTiffDoc::CTiffDoc() {
    SetTypeText("tif");
}

HBITMAP CTiffDoc::ReadImageFile(HDC /*dc*/, LPCTSTR lpszPath) {
    TiffFile tiff;
    // Red and blue change places: the file's RGB becomes the bitmap's B, G, R.
    if (!tiff.LoadFile(lpszPath, TRUE))
        return nullptr;
    return tiff.CreateBitmap(nullptr);
}
