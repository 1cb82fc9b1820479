#pragma once

// What this process holds from the system, for tests that look for leaks
// over a long run: open descriptors (handles on Windows), live threads, and
// resident memory.
struct ProcessCounts
{
    long descriptors = 0;
    long threads = 0;
    long residentKiB = 0;
};

ProcessCounts processCounts();

// Whether resident memory shows what the program keeps: not under
// AddressSanitizer, whose quarantine holds freed blocks back by design (it
// checks for leaks itself).
#ifdef __SANITIZE_ADDRESS__
constexpr bool kResidentMemoryIsTheProgramsOwn = false;
#else
constexpr bool kResidentMemoryIsTheProgramsOwn = true;
#endif
