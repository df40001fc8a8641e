#include "platform/core/Memory.h"

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#endif

void ReturnFreeMemory() {
#if defined(__GLIBC__)
    // glibc keeps freed pages for later allocations until told otherwise.
    malloc_trim(0);
#endif
}

long long PeakMemoryUse() {
#if defined(__unix__) || defined(__APPLE__)
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
#if defined(__APPLE__)
    return static_cast<long long>(usage.ru_maxrss); // bytes there
#else
    return static_cast<long long>(usage.ru_maxrss) * 1024;
#endif
#else
    return 0;
#endif
}
