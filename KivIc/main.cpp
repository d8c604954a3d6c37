// The program: the Qt application (made through the framework), real message boxes, the C numeric
// locale (so "%f" and atof agree with the files), then the application object's start-up, message
// loop and exit.
#include "KivIc/App/WqLinkApp.h"
#include "platform/afx/app/msgbox.h"

int main() {
    AfxEnsureQtApp();
    AfxForceCNumericLocale();
    AfxInstallQtMessageBoxNotifier();
    CWqLinkApp app;
    return app.Run();
}
