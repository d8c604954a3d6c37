// Identifiers of the raw camera file server: its class, interface, type library and member DISPIDs.
#pragma once

#include "platform/com/guid.h"

inline constexpr CLSID CLSID_BremFc = {
    0x6B1F3C20, 0x41D7, 0x4E2A, {0x9C, 0x11, 0x52, 0x0A, 0x7E, 0x31, 0xB2, 0x01}};
inline constexpr IID IID_IBremFc = {
    0x6B1F3C21, 0x41D7, 0x4E2A, {0x9C, 0x11, 0x52, 0x0A, 0x7E, 0x31, 0xB2, 0x01}};
inline constexpr GUID LIBID_BREM_FCLib = {
    0x6B1F3C22, 0x41D7, 0x4E2A, {0x9C, 0x11, 0x52, 0x0A, 0x7E, 0x31, 0xB2, 0x01}};

inline constexpr const char kBremFcProgId[] = "BREM_FC.BremFc";
inline constexpr const char kBremFcVersionedProgId[] = "BREM_FC.BremFc.1";
inline constexpr const char kBremFcDescription[] = "BremFc Class";

enum BremFcDispId : int {
    BREMFC_OPEN = 1,
    BREMFC_CLOSE = 2,
    BREMFC_CONVERTBITMAP = 3,
    BREMFC_GETAWBSAMPLEPOS = 4,
    BREMFC_SETAWBSAMPLEPOS = 5,
    BREMFC_BITMAPSIZE = 6,
    BREMFC_BRIGHTNESS = 7,
    BREMFC_CAMERASN = 8,
    BREMFC_CAMERAVER = 9,
    BREMFC_CAMERATYPE = 10,
    BREMFC_CAMERAID = 11,
    BREMFC_CONTRAST = 12,
    BREMFC_CURRENTFRAME = 13,
    BREMFC_DISPPIXELS = 14,
    BREMFC_ENABLELPF = 15,
    BREMFC_ENHANCE = 16,
    BREMFC_FRAMELENGTH = 17,
    BREMFC_FRAMEPIXELS = 18,
    BREMFC_FRAMERATE = 19,
    BREMFC_GAIN = 20,
    BREMFC_GAMMA = 21,
    BREMFC_BAYERPOS = 22,
    BREMFC_IMAGELENGTH = 23,
    BREMFC_FILEVER = 24,
    BREMFC_NUMFRAMES = 25,
    BREMFC_MEMORYSIZE = 26,
    BREMFC_RECORDEDBEGIN = 27,
    BREMFC_RECORDEDEND = 28,
    BREMFC_SEGMENTNO = 29,
    BREMFC_SHUTTERSPEED = 30,
    BREMFC_TRIGGERTIME = 31,
    BREMFC_VIDEOTYPE = 32,
    BREMFC_WHITEBALANCE = 33,
    BREMFC_ZOOM = 34,
    BREMFC_CHROMA = 35,
    BREMFC_FILELENGTH = 36,
    BREMFC_CUSTOMGAINDLG = 37,
    BREMFC_CUSTOMCHROMADLG = 38,
    BREMFC_WBGAINR = 39,
    BREMFC_WBGAING = 40,
    BREMFC_WBGAINB = 41,
    BREMFC_FILTERPOSX = 42,
    BREMFC_FILTERPOSY = 43,
    BREMFC_GETBAYERFILTER = 44,
    BREMFC_SETBAYERFILTER = 45,
    BREMFC_SHOWBAYER = 46,
    BREMFC_BAYERCURSORPOS = 47,
    BREMFC_WRITEFILTER = 48,
    BREMFC_GETYCMATRIXFILTER = 49,
    BREMFC_RECGAIN = 50,
    BREMFC_SCENENO = 51,
    // Addition of this platform: the current colour pipeline's settings record (every setting,
    // tone-curve input, kernel and gain; fc/WqFc/PipelineSettings.h) as plain bytes. The method's result
    // is the record's size; a null buffer asks for that size alone, a smaller one fails. The caller
    // builds pipelines of its own from the record, e.g. one per conversion thread.
    BREMFC_CLONEPIPELINE = 52,
};
