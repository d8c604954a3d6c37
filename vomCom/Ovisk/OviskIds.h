// Identifiers of the AVI filter server: its class, interface, type library and member DISPIDs.
#pragma once

#include "platform/com/guid.h"

inline constexpr CLSID CLSID_AVIFilter = {
    0x3E8A5D40, 0x7C21, 0x4B6F, {0xA4, 0x93, 0x1D, 0x60, 0xC2, 0x8E, 0x57, 0x0B}};
inline constexpr IID IID_IAVIFilter = {
    0x3E8A5D41, 0x7C21, 0x4B6F, {0xA4, 0x93, 0x1D, 0x60, 0xC2, 0x8E, 0x57, 0x0B}};
inline constexpr GUID LIBID_OVISKLib = {
    0x3E8A5D42, 0x7C21, 0x4B6F, {0xA4, 0x93, 0x1D, 0x60, 0xC2, 0x8E, 0x57, 0x0B}};

inline constexpr const char kAviFilterProgId[] = "Ovisk.AVIFilter";
inline constexpr const char kAviFilterVersionedProgId[] = "Ovisk.AVIFilter.1";
inline constexpr const char kAviFilterDescription[] = "AVIFilter Class";

// Buffers and the device context travel as VT_BUFFER (address and capacity); out values as VT_I4 by
// reference.
enum AviFilterDispId : int {
    AVIFILTER_SETHANDLE = 1,
    AVIFILTER_OPEN = 2,
    AVIFILTER_CLOSE = 3,
    AVIFILTER_JUMP = 4,
    AVIFILTER_GETFRAMECOUNT = 5,
    AVIFILTER_GETIMAGESIZE = 6,
    AVIFILTER_DRAW = 7,
    AVIFILTER_SETDRAWRECT = 8,
    AVIFILTER_SETIMAGERECT = 9,
    AVIFILTER_SCENEINDEX = 10,
    AVIFILTER_GETFRAMERATE = 11,
    AVIFILTER_GETRANGE = 12,
    AVIFILTER_GETIMAGE = 13,
    AVIFILTER_GETBITMAP = 14,
    AVIFILTER_GETBITMAPSIZE = 15,
    AVIFILTER_GETSTREAMOPTIONDATA = 16,
};
