// The vector kernels for the baseline instruction set (SSE2 on x86-64).
#include "fc/WqFc/WqFcKernels.h"

#define WQFC_ISA base
#include "fc/WqFc/WqFcKernels.inc"
