#include "KivIc/Documents/JpegDoc.h"

#include <new>
#include <vector>

#include "vomLib/Jpeg/jpglib32.h"

IMPLEMENT_DYNCREATE(CJpegDoc, CBmpDoc)

namespace {

// The decoder writes rows without alignment bytes, as the image object keeps them.
constexpr JpgRows kRows = JpgRows::Packed;

} // namespace

CJpegDoc::CJpegDoc() {
    SetTypeText("jpg");
}

BOOL CJpegDoc::Decomp(const BYTE* data, std::size_t length, BmpImgObject& image) {
    JpgImageInfo info;
    const long size = static_cast<long>(length);
    int result = length <= kMaxFileBytes ? jpg_read_header(data, size, &info) : JPG_ERR_ARGUMENT;
    const std::size_t bytes = result == JPG_OK ? jpg_dib_size(info, kRows) : 0;
    std::vector<BYTE> pixels;
    if (bytes != 0) {
        try {
            pixels.resize(bytes);
        } catch (const std::bad_alloc&) {
            pixels.clear();
        }
    }
    if (pixels.empty()) {
        OutputDebugStringA("Error CJpegDoc::Decomp\n");
        return FALSE;
    }
    result = jpg_decompress_dib(data, pixels.data(), size, JPG_DCT_FAST, pixels.size(), kRows);
    if (result != JPG_OK && result != JPG_ERR_TRUNCATED) {
        OutputDebugStringA("Error CJpegDoc::Decomp\n");
        return FALSE;
    }
    const WORD samples = static_cast<WORD>(info.outputComponents);
    if (!image.SetImage(static_cast<DWORD>(info.width), info.height, samples, static_cast<WORD>(8 * samples),
                        pixels.data()))
        return FALSE;
    if (samples == 1)
        image.MakeGreyPalette();
    return TRUE;
}

HBITMAP CJpegDoc::ReadImageFile(HDC dc, LPCTSTR lpszPath) {
    CFile file;
    if (!file.Open(lpszPath, CFile::modeRead | CFile::shareExclusive | CFile::typeBinary))
        return nullptr;
    const ULONGLONG length = file.GetLength();
    if (length == 0 || length > kMaxFileBytes)
        return nullptr;
    std::vector<BYTE> data(static_cast<std::size_t>(length));
    if (file.Read(data.data(), static_cast<UINT>(data.size())) != data.size())
        return nullptr;
    file.Close();
    BmpImgObject image;
    if (!Decomp(data.data(), data.size(), image))
        return nullptr;
    return image.CreateBitmapOnDC(dc);
}
