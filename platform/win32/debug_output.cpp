#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/win32/system.h"

namespace {

std::mutex& SinkMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

DebugOutputSink& InstalledSink() {
    static DebugOutputSink* sink = new DebugOutputSink;
    return *sink;
}

bool DebugToStderr() {
    const char* value = std::getenv("KIVIC_DEBUG");
    return value && std::strcmp(value, "1") == 0;
}

} // namespace

void OutputDebugStringA(LPCSTR text) {
    if (!text) {
        return;
    }
    DebugOutputSink sink;
    {
        std::lock_guard lock(SinkMutex());
        sink = InstalledSink();
    }
    // The sink runs outside the lock so that it may itself write debug output or swap the sink.
    if (sink) {
        sink(text);
    } else if (DebugToStderr()) {
        std::fputs(text, stderr);
        std::fflush(stderr);
    }
}

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink) {
    std::lock_guard lock(SinkMutex());
    DebugOutputSink previous = std::move(InstalledSink());
    InstalledSink() = std::move(sink);
    return previous;
}
