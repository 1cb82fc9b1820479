#include "AllocationCounter.h"

#include <cerrno>
#include <cstdlib>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

// Static TLS of the executable: reading it never allocates, so the allocator
// may look at it.
__attribute__((tls_model("initial-exec"))) thread_local bool t_counting = false;
__attribute__((tls_model("initial-exec"))) thread_local std::size_t t_count = 0;

inline void note()
{
    if (t_counting)
        ++t_count;
}

} // namespace

AllocationCounter::AllocationCounter()
{
    t_count = 0;
    t_counting = true;
}

AllocationCounter::~AllocationCounter()
{
    t_counting = false;
}

std::size_t AllocationCounter::count() const
{
    return t_count;
}

extern "C" {

void* malloc(std::size_t size)
{
    note();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size)
{
    note();
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size)
{
    note();
    return __libc_realloc(block, size);
}

void* memalign(std::size_t alignment, std::size_t size)
{
    note();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size)
{
    note();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, std::size_t alignment, std::size_t size)
{
    note();
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    void* memory = __libc_memalign(alignment, size);
    if (!memory)
        return ENOMEM;
    *block = memory;
    return 0;
}

} // extern "C"
