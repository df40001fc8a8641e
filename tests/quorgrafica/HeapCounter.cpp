#include "HeapCounter.h"

#include <malloc.h>

#ifdef _WIN32
// The C runtime's name for the size of a block.
#define malloc_usable_size _msize
#endif

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> live{0};
std::atomic<std::int64_t> peak{0};

void* Take(std::size_t size) noexcept {
    void* p = std::malloc(size ? size : 1);
    if (p) {
        const auto held = live += static_cast<std::int64_t>(malloc_usable_size(p));
        std::int64_t seen = peak.load();
        while (held > seen && !peak.compare_exchange_weak(seen, held)) {
        }
    }
    return p;
}

void Give(void* p) noexcept {
    if (!p) return;
    live -= static_cast<std::int64_t>(malloc_usable_size(p));
    std::free(p);
}

} // namespace

namespace charttest {

HeapPeak::HeapPeak() : start_(live.load()) {
    peak = start_;
}

std::int64_t HeapPeak::Bytes() const {
    return peak.load() - start_;
}

} // namespace charttest

void* operator new(std::size_t size) {
    if (void* p = Take(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = Take(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Take(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Take(size);
}
void operator delete(void* p) noexcept {
    Give(p);
}
void operator delete[](void* p) noexcept {
    Give(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Give(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Give(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Give(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Give(p);
}
