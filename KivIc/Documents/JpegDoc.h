// The document of a JPEG image sequence: the image sequence with each file decoded by the JPEG codec.
// Grey files show grey, colour files in their colours.
#pragma once

#include <cstddef>

#include "KivIc/Documents/BmpDoc.h"
#include "vomLib/Image/BmpImgObject.h"

class CJpegDoc : public CBmpDoc {
    DECLARE_DYNCREATE(CJpegDoc)
public:
    CJpegDoc();

    // The whole file decoded; null when it cannot be read whole or decoded.
    HBITMAP ReadImageFile(HDC dc, LPCTSTR lpszPath) override;

    // Decodes one JPEG stream (or a two-field frame) into image: 8-bit grey for one-component streams,
    // 24-bit B, G, R otherwise, rows bottom-up. FALSE ("Error CJpegDoc::Decomp\n" to the debugger
    // output) when it cannot be decoded; a stream cut short keeps the rows decoded.
    static BOOL Decomp(const BYTE* data, std::size_t length, BmpImgObject& image);

    // The largest file read.
    static constexpr std::size_t kMaxFileBytes = 256u << 20;
};
