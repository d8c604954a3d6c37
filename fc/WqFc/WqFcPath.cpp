#include "fc/WqFc/WqFcPath.h"

#include <atomic>

#include "platform/win32/system.h"

namespace {
std::atomic<WqFcPath> g_forced{WqFcPath::Auto};

bool HasAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}
} // namespace

void WqFcForcePath(WqFcPath path) {
    g_forced.store(path);
}

WqFcPath WqFcForcedPath() {
    return g_forced.load();
}

WqFcPath WqFcActivePath() {
    switch (g_forced.load()) {
    case WqFcPath::Plain:
        return WqFcPath::Plain;
    case WqFcPath::Sse2:
        return WqFcPath::Sse2;
    case WqFcPath::Avx2:
        return HasAvx2() ? WqFcPath::Avx2 : WqFcPath::Sse2;
    case WqFcPath::Auto:
        break;
    }
    if (!CpuHasMmx())
        return WqFcPath::Plain;
    return HasAvx2() ? WqFcPath::Avx2 : WqFcPath::Sse2;
}
