#include <cpuid.h>
#include <cstring>

#include "platform/win32/system.h"

void CpuId(int regs[4], int leaf) {
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
    // A leaf beyond the processor's highest one reads as all zeros.
    if (!__get_cpuid_count(static_cast<unsigned>(leaf), 0, &eax, &ebx, &ecx, &edx)) {
        eax = ebx = ecx = edx = 0;
    }
    regs[0] = static_cast<int>(eax);
    regs[1] = static_cast<int>(ebx);
    regs[2] = static_cast<int>(ecx);
    regs[3] = static_cast<int>(edx);
}

void CpuVendor(char vendor[13]) {
    int regs[4];
    CpuId(regs, 0);
    // The vendor text is spread over EBX, EDX, ECX in that order.
    std::memcpy(vendor, &regs[1], 4);
    std::memcpy(vendor + 4, &regs[3], 4);
    std::memcpy(vendor + 8, &regs[2], 4);
    vendor[12] = '\0';
}

bool CpuHasMmx() {
    int regs[4];
    CpuId(regs, 1);
    return (static_cast<unsigned>(regs[3]) >> 23) & 1u;
}
