#include "KivIc/Playback/PlaybackMenu.h"

#include "KivIc/Playback/PlaybackIds.h"

namespace {

AFX_MENU_ITEM Item(const char* text, UINT id) {
    return AFX_MENU_ITEM(CString(text), id);
}

AFX_MENU_ITEM Separator() {
    return AFX_MENU_ITEM();
}

} // namespace

AFX_MENU_ITEM PlaybackMenuPopup() {
    return AFX_MENU_ITEM(
        CString("&Playback"), 0,
        {Item("&Play", ID_PLAY_PLAY), Item("Re&wind Play", ID_PLAY_REWIND), Item("&Stop", ID_PLAY_STOP),
         Separator(), Item("&Foward Step", ID_PLAY_FORWARD_STEP), Item("&Reverse Step", ID_PLAY_REVERSE_STEP),
         Item("Jump to S&tart frame", ID_PLAY_START_FRAME), Item("Jump to &End frame", ID_PLAY_END_FRAME),
         Item("Jump to T&0 frame", ID_PLAY_T0), Separator(), Item("Loop", ID_PLAY_LOOP), Separator(),
         Item("S&ynchronized Playback", ID_SYNC_MODE)});
}

AFX_MENU_ITEM PictureMenuPopup() {
    return AFX_MENU_ITEM(CString("Pi&cture"), 0,
                         {Item("&Move", ID_MOUSE_MOVE), Item("&Zoom", ID_MOUSE_ZOOM),
                          Item("Zoom &Rect", ID_MOUSE_ZOOM_RECT), Separator(), Item("Zoom &In", ID_ZOOM_IN),
                          Item("Zoom &Out", ID_ZOOM_OUT), Item("Zoom &Original", ID_ZOOM_ORIGINAL),
                          Separator(), Item("&Playback Picture Information...", ID_PICTURE_INFO)});
}

void RegisterPlaybackStrings() {
    static const bool done = [] {
        AfxRegisterString(IDS_PICTURE_INFO_FORMAT, "Title=%s\nType=%s\nFilePath=%s\n\n");
        AfxRegisterString(IDS_NO_INFORMATION, "No Infomation");
        RegisterCommandPrompts({
            {ID_PLAY_PLAY, "Play the recording forward\nPlay"},
            {ID_PLAY_REWIND, "Play the recording backward\nRewind Play"},
            {ID_PLAY_STOP, "Stop playing\nStop"},
            {ID_PLAY_FORWARD_STEP, "Show the next frame\nForward Step"},
            {ID_PLAY_REVERSE_STEP, "Show the previous frame\nReverse Step"},
            {ID_PLAY_START_FRAME, "Show the first frame of the recording\nStart Frame"},
            {ID_PLAY_END_FRAME, "Show the last frame of the recording\nEnd Frame"},
            {ID_PLAY_T0, "Show the trigger frame (frame 0)\nT0 Jump"},
            {ID_PLAY_LOOP, "Play over and over again\nLoop"},
            {ID_PLAY_SET_BEGIN, "Begin the play range at the current frame\nPlay Begin"},
            {ID_PLAY_SET_END, "End the play range at the current frame\nPlay End"},
            {ID_MOUSE_MOVE, "Drag the picture with the mouse\nMove"},
            {ID_MOUSE_ZOOM, "Zoom in with a click, out with a right click\nZoom"},
            {ID_MOUSE_ZOOM_RECT, "Zoom to a dragged rectangle\nZoom Rect"},
            {ID_ZOOM_IN, "Zoom in one step\nZoom In"},
            {ID_ZOOM_OUT, "Zoom out one step\nZoom Out"},
            {ID_ZOOM_ORIGINAL, "Show the picture at its own size\nZoom Original"},
            {ID_PICTURE_INFO, "Show what is known about the recording\nPicture Information"},
            {ID_RETICLE_INPUT, "Write clicked points into a reticle file\nPoint Input"},
            {ID_FRAME_RATE, "Set the recording's frame rate\nFrame Rate"},
        });
        return true;
    }();
    (void)done;
}

void RegisterCommandPrompts(std::initializer_list<CommandPrompt> prompts) {
    for (const CommandPrompt& prompt : prompts)
        AfxRegisterString(prompt.id, prompt.prompt);
}
