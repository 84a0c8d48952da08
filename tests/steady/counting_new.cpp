// The global operator new and delete, replaced for the steady-state test
// program by ones that count.  The language asks a replacement to allocate
// with malloc and to throw std::bad_alloc when it cannot, so this one file is
// built apart from the style checks (tests/steady/CMakeLists.txt).
#include "tests/steady/counting_new.h"

#include <cstddef>
#include <cstdlib>
#include <execinfo.h>
#include <new>
#include <unistd.h>

namespace steady {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
bool trace = false;

} // namespace steady

namespace {

// Null when there is no memory.
void *Allocate(size_t size, size_t alignment) {
    if (steady::counting.load(std::memory_order_relaxed)) {
        steady::allocations.fetch_add(1, std::memory_order_relaxed);
        if (steady::trace) {
            void *frames[24];
            const int n = backtrace(frames, 24);
            (void)!write(2, "allocation:\n", 12);
            backtrace_symbols_fd(frames, n, 2);
        }
    }
    if (size == 0) {
        size = 1;
    }
    return alignment > alignof(std::max_align_t)
               ? std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)
               : std::malloc(size);
}

void *AllocateOrThrow(size_t size, size_t alignment) {
    void *p = Allocate(size, alignment);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

} // namespace

void *operator new(size_t size) {
    return AllocateOrThrow(size, 0);
}
void *operator new[](size_t size) {
    return AllocateOrThrow(size, 0);
}
void *operator new(size_t size, std::align_val_t a) {
    return AllocateOrThrow(size, size_t(a));
}
void *operator new[](size_t size, std::align_val_t a) {
    return AllocateOrThrow(size, size_t(a));
}
void *operator new(size_t size, const std::nothrow_t &) noexcept {
    return Allocate(size, 0);
}
void *operator new[](size_t size, const std::nothrow_t &) noexcept {
    return Allocate(size, 0);
}
void operator delete(void *p) noexcept {
    std::free(p);
}
void operator delete[](void *p) noexcept {
    std::free(p);
}
void operator delete(void *p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void *p, size_t) noexcept {
    std::free(p);
}
void operator delete(void *p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void *p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void *p, size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void *p, size_t, std::align_val_t) noexcept {
    std::free(p);
}
