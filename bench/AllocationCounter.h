#pragma once
#include <cstddef>

// Counts the heap allocations (malloc, calloc, realloc and the aligned
// forms, so operator new too) that the calling thread makes while the object
// lives. The benchmark executable replaces the C allocator's entry points,
// which every library of the process calls through.
class AllocationCounter
{
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    std::size_t count() const;
};
