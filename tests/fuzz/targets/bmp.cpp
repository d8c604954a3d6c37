// BMP files: headers, the bytes up to the pixels, the pixels, and the image object made of them.
#include "platform/afx/core/afxcore.h"
#include "vomLib/Image/BmpFileReader.h"
#include "tests/fuzz/targets/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = fuzz::WriteInput(data, size, ".bmp");
    BmpFileReader reader;
    try {
        reader.ReadFile(path);
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
    (void)reader.ImageBytes();
    BmpImgObject image;
    if (reader.MakeImage(image)) {
        if (HBITMAP bitmap = image.CreateBitmap(nullptr))
            DeleteObject(bitmap);
    }
    return 0;
}
