// The files of a converted sequence, one per frame, each made from a packed frame bitmap (a 40-byte
// header, then bottom-up rows of 3 x width bytes): BMP, JPEG and TIFF. Each writer works on its own
// objects only, so workers may write frames side by side; a writer that fails removes its partial file
// and names the file and the cause.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32/types.h"

class TiffFile;

// Width and height of a packed 24-bit frame of `bytes` bytes; FALSE (with the cause) when the header
// does not describe such a frame of exactly that size.
bool PackedFrameGeometry(const BYTE* frame, std::size_t bytes, LONG* width, LONG* height, std::string* error);

// A bitmap file: the file header, the information header with the sizes of the rows as written, then
// the rows padded to a multiple of 4 bytes.
bool WriteBmpFrame(const std::string& path, const BYTE* frame, std::size_t bytes, std::string* error);
// A JFIF file at the quality of the compression options' scale (0..10000; 7500 is the codec's 75).
bool WriteJpegFrame(const std::string& path, const BYTE* frame, std::size_t bytes, DWORD quality,
                    std::string* error);
// A single-strip RGB TIFF file through the caller's (reused) TIFF object.
bool WriteTiffFrame(const std::string& path, const BYTE* frame, std::size_t bytes, TiffFile& tiff,
                    std::string* error);

// Writes bytes to a new file (replacing one of that name); FALSE with the cause, and no file left.
bool WriteWholeFile(const std::string& path, const void* data, std::size_t size, std::string* error);
