// The vector kernels built for AVX2; chosen at run time only where the processor has it.
#include "fc/WqFc/WqFcKernels.h"

#define WQFC_ISA avx2
#include "fc/WqFc/WqFcKernels.inc"
