// Processor classification by CPUID, and the choice of the SIMD inverse DCTs it drives.
#include <atomic>
#include <cstring>

#include "platform/win32/system.h"
#include "vomLib/Jpeg/jpglib32.h"

namespace jpglib32 {
namespace {

struct CpuRow {
    int family;
    int type;  // -1: any
    int model; // -1: any
    int code;
};

const CpuRow kCpuTable[] = {
    {4, -1, -1, 11}, {5, 0, 1, 1}, {5, 0, 2, 2}, {5, 0, 4, 5}, {5, 1, 2, 3},   {5, 1, 3, 4},
    {5, 1, 4, 6},    {6, 0, 1, 7}, {6, 0, 3, 8}, {6, 0, 5, 9}, {6, 1, -1, 10},
};

std::atomic<int> g_simdIdct{static_cast<int>(SimdIdct::Auto)};

} // namespace

int classify_cpu(const char* vendor, int highestLeaf, DWORD leaf1Eax) {
    if (vendor == nullptr || std::strcmp(vendor, "GenuineIntel") != 0 || highestLeaf < 1)
        return -1;
    const int family = static_cast<int>((leaf1Eax >> 8) & 0xF);
    const int type = static_cast<int>((leaf1Eax >> 12) & 0x3);
    const int model = static_cast<int>((leaf1Eax >> 4) & 0xF);
    for (const CpuRow& row : kCpuTable) {
        if (row.family == family && (row.type < 0 || row.type == type) &&
            (row.model < 0 || row.model == model))
            return row.code;
    }
    return -1;
}

int get_cpu_type() {
    int regs[4] = {0, 0, 0, 0};
    CpuId(regs, 0);
    char vendor[13];
    CpuVendor(vendor);
    const int highestLeaf = regs[0];
    if (highestLeaf < 1)
        return -1;
    CpuId(regs, 1);
    return classify_cpu(vendor, highestLeaf, static_cast<DWORD>(regs[0]));
}

bool use_mmx_idct_for(int cpuType) {
    return cpuType == 5 || cpuType == 8;
}

BOOL use_mmx_idct() {
    return use_mmx_idct_for(get_cpu_type()) ? TRUE : FALSE;
}

void set_simd_idct(SimdIdct mode) {
    g_simdIdct.store(static_cast<int>(mode), std::memory_order_relaxed);
}

SimdIdct simd_idct() {
    return static_cast<SimdIdct>(g_simdIdct.load(std::memory_order_relaxed));
}

bool simd_idct_chosen() {
    switch (simd_idct()) {
    case SimdIdct::On:
        return true;
    case SimdIdct::Off:
        return false;
    default: {
        // The processor does not change while the program runs, and CPUID is slow under a hypervisor:
        // ask once.
        static const bool chosen = use_mmx_idct() != FALSE;
        return chosen;
    }
    }
}

} // namespace jpglib32
