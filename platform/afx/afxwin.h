// The framework on Qt widgets: application, documents, views, frames, commands, messages, dialogs,
// controls and bars.
#pragma once

#include "platform/afx/core/afxcore.h"
#include "platform/gdi/gdi.h"

#include "platform/afx/wnd/afxtypes.h"
#include "platform/afx/wnd/afxmsg.h"
#include "platform/afx/wnd/cmdtarget.h"
#include "platform/afx/wnd/cursor.h"
#include "platform/afx/wnd/dc.h"
#include "platform/afx/wnd/menu.h"
#include "platform/afx/wnd/resources.h"
#include "platform/afx/wnd/prompts.h"
#include "platform/afx/wnd/wnd.h"
#include "platform/afx/doc/document.h"
#include "platform/afx/doc/docpath.h"
#include "platform/afx/doc/view.h"
#include "platform/afx/frame/frame.h"
#include "platform/afx/app/winapp.h"
#include "platform/afx/app/msgbox.h"
#include "platform/afx/ctrl/controls.h"
#include "platform/afx/ctrl/bars.h"
#include "platform/afx/ctrl/listctrl.h"
#include "platform/afx/ctrl/progressctrl.h"
#include "platform/afx/dlg/dialog.h"
