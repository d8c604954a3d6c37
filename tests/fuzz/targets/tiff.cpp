// TIFF images: header, first directory, strips in either byte order, and the display bitmap made of
// what was read.
#include <sstream>

#include "platform/gdi/gdi.h"
#include "vomLib/Image/TiffFile.h"
#include "vomLib/Utility/vomException.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0xFFFFFFFFu)
        return 0;
    const DWORD bytes = static_cast<DWORD>(size);
    try {
        // Tags only: the checks of the layout without the pixel copy.
        TiffFile tags;
        tags.ParseMemory(data, bytes, FALSE, FALSE);
    } catch (const vomException&) {
    }
    try {
        TiffFile file;
        if (file.ParseMemory(data, bytes, TRUE, TRUE)) {
            (void)file.BitsPerPixel();
            (void)file.ImageBytes();
            std::ostringstream dump;
            file.Dump(dump);
            if (HBITMAP bitmap = file.CreateBitmap(nullptr))
                DeleteObject(bitmap);
        }
    } catch (const vomException&) {
    }
    return 0;
}
