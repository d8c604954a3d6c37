// The program's icon (resource 147, the main frame's id): a film frame with a tracked point's path.
#pragma once

// Registers the icon under the main frame's resource id, unless one is registered already, and makes it
// every window's icon. Needs the Qt application.
void InstallProgramIcon();
