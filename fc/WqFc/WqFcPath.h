// Which implementation the per-pixel stages run: the plain C++ loops, or the vector kernels in their
// baseline (SSE2) or AVX2 build. The vector kernels run only on a processor that reports MMX; the
// check is made each time a stage asks, as the pipeline always did.
#pragma once

enum class WqFcPath {
    Auto,  // the best the processor offers
    Plain, // plain C++ loops
    Sse2,  // vector kernels, baseline instruction set
    Avx2,  // vector kernels, AVX2 (falls back to Sse2 where the processor lacks it)
};

// Forces a path for the whole process (tests and benchmarks); Auto restores the normal choice.
void WqFcForcePath(WqFcPath path);
WqFcPath WqFcForcedPath();
// The path that runs now: Plain, Sse2 or Avx2.
WqFcPath WqFcActivePath();
