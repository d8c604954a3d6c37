// Compiled into every test program that opens generated recordings. Qt's raster engine paints large
// areas on its own pool threads, inside Qt's libraries, which ThreadSanitizer does not see into: the
// memory those threads take and give back is reported as racing. Only calls made from inside Qt are
// left out; every access of the program's own code is still checked.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so\n"
           "called_from_lib:libQt6Gui.so\n"
           "called_from_lib:libQt6Widgets.so\n";
}
