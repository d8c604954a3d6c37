// The document of a TIFF image sequence: the image sequence with each file read by the TIFF reader.
#pragma once

#include "KivIc/Documents/BmpDoc.h"

class CTiffDoc : public CBmpDoc {
    DECLARE_DYNCREATE(CTiffDoc)
public:
    CTiffDoc();

    // The file's first image as a bitmap of the screen (dc is not needed); null when the file cannot be
    // read, and the reader's exception for a malformed one.
    HBITMAP ReadImageFile(HDC dc, LPCTSTR lpszPath) override;
};
