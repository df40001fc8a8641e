#include "platform/core/Memory.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(_WIN32)
#include <malloc.h>
#include <windows.h>
#include <psapi.h>
#else
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/resource.h>
#endif

void ReturnFreeMemory() {
#if defined(_WIN32)
    _heapmin();
#elif defined(__GLIBC__)
    // glibc keeps freed pages for later allocations until told otherwise.
    malloc_trim(0);
#endif
}

long long PeakMemoryUse() {
#if defined(_WIN32)
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<long long>(counters.PeakWorkingSetSize);
#else
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
#if defined(__APPLE__)
    return static_cast<long long>(usage.ru_maxrss); // bytes there
#else
    return static_cast<long long>(usage.ru_maxrss) * 1024;
#endif
#endif
}
