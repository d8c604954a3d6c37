#include "KivIc/Conversion/FrameFiles.h"

#include <cstring>
#include <vector>

#include "KivIc/Conversion/ConvertErrors.h"
#include "KivIc/Documents/PackedFrame.h"
#include "platform/afx/core/file.h"
#include "platform/win32/bitmap.h"
#include "platform/win32/files.h"
#include "platform/win32/memory.h"
#include "vomLib/Image/BmpImgObject.h"
#include "vomLib/Image/TiffFile.h"
#include "vomLib/Jpeg/jpglib32.h"

bool PackedFrameGeometry(const BYTE* frame, std::size_t bytes, LONG* width, LONG* height,
                         std::string* error) {
    BITMAPINFOHEADER h{};
    if (frame == nullptr || bytes < sizeof h) {
        *error = "The frame is shorter than its header.";
        return false;
    }
    if (PackedFrameBytes(frame, bytes) != bytes) {
        *error = "The frame is not a packed 24-bit picture of the expected size.";
        return false;
    }
    std::memcpy(&h, frame, sizeof h);
    *width = h.biWidth;
    *height = h.biHeight;
    return true;
}

bool WriteWholeFile(const std::string& path, const void* data, std::size_t size, std::string* error) {
    CFile file;
    CFileException opened;
    if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary, &opened)) {
        *error = FileFailure("Cannot create", path,
                             static_cast<DWORD>(opened.m_lOsError > 0 ? opened.m_lOsError : 0));
        return false;
    }
    std::string cause;
    const bool ok = RunGuarded(
        [&] {
            const BYTE* p = static_cast<const BYTE*>(data);
            std::size_t left = size;
            while (left > 0) {
                const UINT chunk = static_cast<UINT>(std::min<std::size_t>(left, 1u << 30));
                file.Write(p, chunk);
                p += chunk;
                left -= chunk;
            }
            file.Close();
        },
        &cause);
    if (!ok) {
        file.Abort();
        DeleteFileA(path.c_str());
        *error = "Cannot write \"" + path + "\": " + cause;
    }
    return ok;
}

bool WriteBmpFrame(const std::string& path, const BYTE* frame, std::size_t bytes, std::string* error) {
    LONG width = 0, height = 0;
    if (!PackedFrameGeometry(frame, bytes, &width, &height, error))
        return false;
    const std::size_t image =
        static_cast<std::size_t>(DibRowBytes(width, 24)) * static_cast<std::size_t>(height);
    const std::size_t headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    if (headers + image > 0xFFFFFFFFu) {
        *error = "The frame is too large for a bitmap file: \"" + path + "\".";
        return false;
    }
    // The frame with its rows padded to 4 bytes, behind room for the file header.
    std::vector<BYTE> file;
    PackedFrameToFrameBlock(frame, bytes, &file, sizeof(BITMAPFILEHEADER));
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42; // "BM"
    fh.bfSize = static_cast<DWORD>(file.size());
    fh.bfOffBits = static_cast<DWORD>(headers);
    std::memcpy(file.data(), &fh, sizeof fh);
    return WriteWholeFile(path, file.data(), file.size(), error);
}

bool WriteJpegFrame(const std::string& path, const BYTE* frame, std::size_t bytes, DWORD quality,
                    std::string* error) {
    LONG width = 0, height = 0;
    if (!PackedFrameGeometry(frame, bytes, &width, &height, error))
        return false;
    BYTE* block = nullptr;
    long length = 0;
    const int result =
        jpg_compress_rgb_full(frame + sizeof(BITMAPINFOHEADER), width, height, JpgRows::Packed, &block,
                              &length, jpg_quality_from_option(static_cast<long>(quality)), JPG_DCT_FAST);
    if (result != JPG_OK || block == nullptr || length <= 0) {
        if (block != nullptr)
            GlobalFree(block);
        *error = "Cannot compress the JPEG picture of \"" + path + "\" (" +
                 (result == JPG_ERR_MEMORY ? std::string("not enough memory")
                                           : "codec error " + std::to_string(result)) +
                 ").";
        return false;
    }
    const bool ok = WriteWholeFile(path, block, static_cast<std::size_t>(length), error);
    GlobalFree(block);
    return ok;
}

bool WriteTiffFrame(const std::string& path, const BYTE* frame, std::size_t bytes, TiffFile& tiff,
                    std::string* error) {
    LONG width = 0, height = 0;
    if (!PackedFrameGeometry(frame, bytes, &width, &height, error))
        return false;
    // Bottom-up blue, green, red rows become top-down red, green, blue rows.
    BmpImgObject rgb;
    if (!rgb.SetImageFlipped(static_cast<DWORD>(width), height, 3, 24, frame + sizeof(BITMAPINFOHEADER))) {
        *error = "Not enough memory for the TIFF picture of \"" + path + "\".";
        return false;
    }
    tiff.SetImage(static_cast<DWORD>(width), static_cast<DWORD>(height), 3, 24, rgb.GetData());
    if (tiff.GetPixels() == nullptr) {
        *error = "Not enough memory for the TIFF picture of \"" + path + "\".";
        return false;
    }
    SetLastError(0);
    if (!tiff.SaveFile(path.c_str())) {
        *error = FileFailure("Cannot write the TIFF file", path);
        return false;
    }
    return true;
}
