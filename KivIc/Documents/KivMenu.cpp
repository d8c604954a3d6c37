#include "KivIc/Documents/KivMenu.h"

#include "KivIc/Documents/KivIds.h"
#include "KivIc/Documents/RecordingMenu.h"
#include "KivIc/Playback/PlaybackMenu.h"

namespace {

AFX_MENU_ITEM Item(const char* text, UINT id) {
    return AFX_MENU_ITEM(CString(text), id);
}

AFX_MENU_ITEM Popup(const char* text, std::vector<AFX_MENU_ITEM> items) {
    return AFX_MENU_ITEM(CString(text), 0, std::move(items));
}

void RegisterPrompts() {
    RegisterCommandPrompts({
        {ID_IMAGE_GAIN_0DB, "Show the frames without extra gain\n+0dB"},
        {ID_IMAGE_GAIN_6DB, "Raise the gain by 6 dB\n+6dB"},
        {ID_IMAGE_GAIN_12DB, "Raise the gain by 12 dB\n+12dB"},
        {ID_IMAGE_WB_3000K, "White balance for 3000 K light\n3000K"},
        {ID_IMAGE_WB_5000K, "White balance for 5000 K light\n5000K"},
        {ID_IMAGE_WB_9000K, "White balance for 9000 K light\n9000K"},
        {ID_IMAGE_WB_MANUAL, "Click a white or grey spot of the picture to balance on it\nManual White "
                             "Balance"},
        {ID_IMAGE_ENHANCE_OFF, "No edge enhancement\nEnhance Off"},
        {ID_IMAGE_ENHANCE_LOW, "Low edge enhancement\nEnhance Low"},
        {ID_IMAGE_ENHANCE_MID, "Medium edge enhancement\nEnhance Mid"},
        {ID_IMAGE_ENHANCE_HIGH, "High edge enhancement\nEnhance High"},
        {ID_IMAGE_GAMMA_OFF, "No gamma correction\nGamma Off"},
        {ID_IMAGE_GAMMA_LOW, "Low gamma correction\nGamma Low"},
        {ID_IMAGE_GAMMA_HIGH, "High gamma correction\nGamma High"},
        {ID_IMAGE_CHROMA_BW, "Show the frames in black and white\nB/W"},
        {ID_IMAGE_CHROMA_25, "Colour saturation 25 %\n25 %"},
        {ID_IMAGE_CHROMA_50, "Colour saturation 50 %\n50 %"},
        {ID_IMAGE_CHROMA_75, "Colour saturation 75 %\n75 %"},
        {ID_IMAGE_CHROMA_100, "Colour saturation 100 %\n100 %"},
        {ID_IMAGE_CHROMA_150, "Colour saturation 150 %\n150 %"},
        {ID_IMAGE_CHROMA_200, "Colour saturation 200 %\n200 %"},
        {ID_IMAGE_RELOAD, "Read the recording again from its file\nReload"},
        {ID_FILE_CONVERT_SAVE, "Convert the recording into an AVI file or an image sequence\nSave As"},
    });
}

} // namespace

AFX_MENU_ITEM KivImageMenuPopup() {
    return Popup(
        "&Image",
        {Popup("&Gain", {Item("+&0dB", ID_IMAGE_GAIN_0DB), Item("+&6dB", ID_IMAGE_GAIN_6DB),
                         Item("+&12dB", ID_IMAGE_GAIN_12DB)}),
         Popup("&White Balance",
               {Item("&3000K", ID_IMAGE_WB_3000K), Item("&5000K", ID_IMAGE_WB_5000K),
                Item("&9000K", ID_IMAGE_WB_9000K), AFX_MENU_ITEM(), Item("&Manual", ID_IMAGE_WB_MANUAL)}),
         Popup("&Enhance", {Item("&OFF", ID_IMAGE_ENHANCE_OFF), Item("&LOW", ID_IMAGE_ENHANCE_LOW),
                            Item("&MID", ID_IMAGE_ENHANCE_MID), Item("&HIGH", ID_IMAGE_ENHANCE_HIGH)}),
         Popup("Ga&mma", {Item("&OFF", ID_IMAGE_GAMMA_OFF), Item("&LOW", ID_IMAGE_GAMMA_LOW),
                          Item("HIGH", ID_IMAGE_GAMMA_HIGH)}),
         Popup("&Color", {Item("B/W", ID_IMAGE_CHROMA_BW), Item("25 %", ID_IMAGE_CHROMA_25),
                          Item("50 %", ID_IMAGE_CHROMA_50), Item("75 %", ID_IMAGE_CHROMA_75),
                          Item("100 %", ID_IMAGE_CHROMA_100), Item("150 %", ID_IMAGE_CHROMA_150),
                          Item("200 %", ID_IMAGE_CHROMA_200)}),
         AFX_MENU_ITEM(), Item("&Reload", ID_IMAGE_RELOAD), Item("Save &as...", ID_FILE_CONVERT_SAVE)});
}

void RegisterKivMenu() {
    static const bool done = [] {
        RegisterPrompts();
        AfxRegisterMenu(IDR_KIVTYPE, BuildRecordingMenu({KivImageMenuPopup()}));
        return true;
    }();
    (void)done;
}
