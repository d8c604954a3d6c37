#include "KivIc/Tracking/TrackingMenu.h"

#include "KivIc/Playback/PlaybackMenu.h"
#include "KivIc/Tracking/TrackingIds.h"

namespace {

AFX_MENU_ITEM Item(const char* text, UINT id) {
    return AFX_MENU_ITEM(CString(text), id);
}

} // namespace

AFX_MENU_ITEM TrackingMenuPopup() {
    RegisterTrackingStrings();
    return AFX_MENU_ITEM(CString("&Tracking"), 0,
                         {Item("Setup 2D...", ID_TRACK_SETUP_2D), Item("Point &Input", ID_TRACK_POINT_INPUT),
                          AFX_MENU_ITEM(), Item("&Start Tracking", ID_TRACK_START),
                          Item("&Vanish", ID_TRACK_VANISH),
                          Item("&Matching Param...", ID_TRACK_MATCHING_PARAM), AFX_MENU_ITEM(),
                          Item("&Export Positions...", ID_TRACK_EXPORT)});
}

void RegisterTrackingStrings() {
    static const bool done = [] {
        RegisterCommandPrompts({
            {ID_TRACK_SETUP_2D, "Set the number of points per frame and the frame rate\nSetup 2D"},
            {ID_TRACK_POINT_INPUT, "Set the selected point with a click on the picture\nPoint Input"},
            {ID_TRACK_START, "Track the points from the shown frame to the end of the play range\nStart "
                             "Tracking"},
            {ID_TRACK_VANISH, "Mark the selected point as lost in the shown frame\nVanish"},
            {ID_TRACK_MATCHING_PARAM, "Set the matching parameters of the points\nMatching Param"},
            {ID_TRACK_EXPORT, "Write the tracked positions into a CSV file\nExport Positions"},
        });
        return true;
    }();
    (void)done;
}
