// Resource and command ids of the raw camera windows: the template (title, document strings, menu),
// the Image menu's colour settings and the white-balance sample mode; Reload and the conversion's
// "Save as" (ID_IMAGE_RELOAD, ID_FILE_CONVERT_SAVE) are the recording windows' ids.
#pragma once

#include "KivIc/Playback/PlaybackIds.h"
#include "platform/win32/types.h"

enum : UINT {
    IDR_KIVTYPE = 148,

    ID_IMAGE_GAIN_0DB = 32791,
    ID_IMAGE_GAIN_6DB = 32792,
    ID_IMAGE_GAIN_12DB = 32793,

    ID_IMAGE_WB_3000K = 32795,
    ID_IMAGE_WB_5000K = 32796,
    ID_IMAGE_WB_9000K = 32797,
    // The next click on the picture picks the white-balance sample point.
    ID_IMAGE_WB_MANUAL = 1087,

    ID_IMAGE_ENHANCE_OFF = 32799,
    ID_IMAGE_ENHANCE_LOW = 32882,
    ID_IMAGE_ENHANCE_MID = 32800,
    ID_IMAGE_ENHANCE_HIGH = 32801,

    ID_IMAGE_GAMMA_OFF = 32802,
    ID_IMAGE_GAMMA_LOW = 32803,
    ID_IMAGE_GAMMA_HIGH = 32804,

    ID_IMAGE_CHROMA_BW = 32817,
    ID_IMAGE_CHROMA_25 = 32818,
    ID_IMAGE_CHROMA_50 = 32819,
    ID_IMAGE_CHROMA_75 = 32820,
    ID_IMAGE_CHROMA_100 = 32821,
    ID_IMAGE_CHROMA_150 = 32877,
    ID_IMAGE_CHROMA_200 = 32878,
};

// A menu command and the setting value it stands for.
struct KivSettingCommand {
    UINT id;
    short value;
};

// The Image menu's choices, in menu order: gain in dB, white balance (1 = 3000 K, 2 = 5000 K,
// 3 = 9000 K), enhance, gamma and chroma in per cent.
inline constexpr KivSettingCommand kGainCommands[] = {
    {ID_IMAGE_GAIN_0DB, 0}, {ID_IMAGE_GAIN_6DB, 6}, {ID_IMAGE_GAIN_12DB, 12}};
inline constexpr KivSettingCommand kWhiteBalanceCommands[] = {
    {ID_IMAGE_WB_3000K, 1}, {ID_IMAGE_WB_5000K, 2}, {ID_IMAGE_WB_9000K, 3}};
inline constexpr KivSettingCommand kEnhanceCommands[] = {{ID_IMAGE_ENHANCE_OFF, 0},
                                                         {ID_IMAGE_ENHANCE_LOW, 2},
                                                         {ID_IMAGE_ENHANCE_MID, 4},
                                                         {ID_IMAGE_ENHANCE_HIGH, 6}};
inline constexpr KivSettingCommand kGammaCommands[] = {
    {ID_IMAGE_GAMMA_OFF, 0}, {ID_IMAGE_GAMMA_LOW, 2}, {ID_IMAGE_GAMMA_HIGH, 4}};
inline constexpr KivSettingCommand kChromaCommands[] = {
    {ID_IMAGE_CHROMA_BW, 0},   {ID_IMAGE_CHROMA_25, 25},   {ID_IMAGE_CHROMA_50, 50},
    {ID_IMAGE_CHROMA_75, 75},  {ID_IMAGE_CHROMA_100, 100}, {ID_IMAGE_CHROMA_150, 150},
    {ID_IMAGE_CHROMA_200, 200}};

// The control-bar fields' accepted values.
inline constexpr int kMinBrightness = -200;
inline constexpr int kMaxBrightness = 200;
inline constexpr int kMinContrast = 0;
inline constexpr int kMaxContrast = 6400;
inline constexpr int kMinChroma = 0;
inline constexpr int kMaxChroma = 200;
