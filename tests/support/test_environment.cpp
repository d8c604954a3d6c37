// Linked into every test program: the settings a test run needs whoever starts it (ctest, ./test or
// a developer by hand).
#include <cstdlib>

// Leaks inside system libraries that no program can free (font and display caches).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libQt6Gui.so\n"
           "leak:libdbus-1.so\n";
}

namespace {
// Windows are drawn off screen unless the caller chose a platform.
const int g_offscreen = [] { return setenv("QT_QPA_PLATFORM", "offscreen", 0); }();
} // namespace
