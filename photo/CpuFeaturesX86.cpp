// Whether this x86 processor and its operating system run AVX2 code. Asked once, when the
// resampler first runs, and straight from the processor: each question to it is slow inside a
// virtual machine, so nothing is asked at start-up.
#include "photo/Resampler.h"

#include <cpuid.h>

namespace lumo::photo {

namespace {

bool askProcessorForAvx2()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    constexpr unsigned kOsSavesVectorState = 1u << 27; // OSXSAVE
    constexpr unsigned kAvx = 1u << 28;
    if ((ecx & (kOsSavesVectorState | kAvx)) != (kOsSavesVectorState | kAvx))
        return false;
    // The operating system saves the 256-bit registers on a switch between threads.
    unsigned low = 0, high = 0;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    constexpr unsigned kVectorState = 0x6; // XMM and YMM
    if ((low & kVectorState) != kVectorState)
        return false;
    constexpr unsigned kAvx2 = 1u << 5;
    return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & kAvx2);
}

} // namespace

bool cpuHasAvx2()
{
    static const bool has = askProcessorForAvx2();
    return has;
}

} // namespace lumo::photo
