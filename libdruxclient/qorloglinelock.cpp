#include <libdruxclient/qorloglinelock.h>

#include <libdruxclient/qorlog.h>

#include <windows.h>

#include <chrono>
#include <cstdint>

namespace {

using Clock = std::chrono::steady_clock;

// How long a writer waits for a line lock at most. Not a member: an
// inline variable of a library is a unique symbol, which keeps the library
// from ever unloading.
constexpr int kLockWaitMs = 500;

// Tries that only yield before the sleeps begin: a writer holds the lock for
// one write, a few microseconds. A holder that takes longer has been
// preempted or waits for the disk, and yielding on would only spin.
constexpr int kYieldingTries = 8;

// Generation g's line lock is the byte at 2^62 + g: past the end of any log
// file, inside every system's lock range. Its marks lie below the line locks,
// from 2^61 + g * 2^48, one byte per handle that reached it, so that all the
// marks above a generation are one range that ends where the line locks begin.
constexpr uint64_t kLineLocks = uint64_t(1) << 62;
constexpr uint64_t kMarks = uint64_t(1) << 61;
constexpr int kMarkSpanBits = 48;
// The last generation whose marks fit; writers there wait as long as they must.
constexpr int kLastGeneration = (1 << (61 - kMarkSpanBits)) - 2;

uint64_t lineLockOf(int generation)
{
    return kLineLocks + static_cast<uint64_t>(generation);
}

uint64_t marksOf(int generation)
{
    return kMarks + (static_cast<uint64_t>(generation) << kMarkSpanBits);
}

// This handle's byte among a generation's marks: the process id and a trace
// of the handle, so that two loggers of one process each have their own.
uint64_t markOf(HANDLE file, int generation)
{
    const uint64_t handle = (reinterpret_cast<uintptr_t>(file) >> 2) & 0xffff;
    return marksOf(generation) + ((static_cast<uint64_t>(GetCurrentProcessId()) << 16) | handle);
}

OVERLAPPED rangeAt(uint64_t offset)
{
    OVERLAPPED range = {};
    range.Offset = static_cast<DWORD>(offset);
    range.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return range;
}

// Never waits: a holder may be stopped for good.
bool lockRange(HANDLE file, uint64_t offset, uint64_t length, DWORD flags)
{
    OVERLAPPED range = rangeAt(offset);
    return LockFileEx(file, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, static_cast<DWORD>(length),
                      static_cast<DWORD>(length >> 32), &range) != FALSE;
}

void unlockRange(HANDLE file, uint64_t offset, uint64_t length)
{
    OVERLAPPED range = rangeAt(offset);
    UnlockFileEx(file, 0, static_cast<DWORD>(length), static_cast<DWORD>(length >> 32), &range);
}

bool isValid(HANDLE file)
{
    return file != nullptr && file != INVALID_HANDLE_VALUE;
}

} // namespace

bool LockGeneration::climb(int generation)
{
    return generation < kLastGeneration &&
           m_current.compare_exchange_strong(generation, generation + 1);
}

bool LockGeneration::timedOut(int generation)
{
    if (climb(generation))
        qorlog::debugLog("log line lock not granted within %d ms, the writers move to lock %d",
                         kLockWaitMs, generation + 1);
    return generation < kLastGeneration;
}

void LockGeneration::takeMarks(HANDLE file)
{
    // Marks go in order and are never given back before the handle closes:
    // one that another thread took first fails here, and this one stops.
    int marked = m_marked.load();
    while (marked < m_current.load() &&
           lockRange(file, markOf(file, marked + 1), 1, LOCKFILE_EXCLUSIVE_LOCK))
        marked = m_marked.fetch_add(1) + 1;
}

bool LockGeneration::markedAbove(HANDLE file, int generation)
{
    // A shared lock fails only where some handle holds an exclusive one: a
    // mark. Other writers' looks are shared and do not disturb this one.
    const uint64_t from = marksOf(generation + 1);
    if (lockRange(file, from, kLineLocks - from, 0)) {
        unlockRange(file, from, kLineLocks - from);
        return false;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION;
}

void LockGeneration::reset()
{
    m_current.store(0);
    m_marked.store(0);
}

LineLock::LineLock(HANDLE file, LockGeneration& generation)
    : m_file(file)
    , m_generation(generation)
{
    if (!isValid(m_file))
        return;
    const auto patience = std::chrono::milliseconds(kLockWaitMs);
    auto deadline = Clock::now() + patience;
    for (int tries = 1;; ++tries) {
        m_generation.takeMarks(m_file);
        const int current = m_generation.current();
        if (tryLock(current))
            return;
        const bool moved = m_generation.current() != current;
        // Without the lock the line is still written: a possibly torn line beats a lost one.
        if (!moved && GetLastError() != ERROR_LOCK_VIOLATION)
            return;
        if (moved || Clock::now() >= deadline) {
            if (!moved && !m_generation.timedOut(current))
                return;
            deadline = Clock::now() + patience; // the next lock gets its own wait
            tries = 0;
        } else {
            Sleep(tries < kYieldingTries ? 0 : 1);
        }
    }
}

// False while another writer holds the lock, and when it was granted but
// others had moved above it: then the generation climbs.
bool LineLock::tryLock(int generation)
{
    if (!lockRange(m_file, lineLockOf(generation), 1, LOCKFILE_EXCLUSIVE_LOCK))
        return false;
    if (!LockGeneration::markedAbove(m_file, generation)) {
        m_locked = generation;
        m_since = Clock::now();
        return true;
    }
    unlockRange(m_file, lineLockOf(generation), 1);
    m_generation.climb(generation);
    return false;
}

void LineLock::unlock()
{
    if (m_locked < 0)
        return;
    // Held this long, this writer was the one stopped (or starved), and the
    // others have moved on. Its own mark goes up before the lock is let go,
    // so that whoever takes this lock next sees the move and follows.
    if (Clock::now() - m_since >= std::chrono::milliseconds(kLockWaitMs) &&
        m_generation.climb(m_locked))
        m_generation.takeMarks(m_file);
    unlockRange(m_file, lineLockOf(m_locked), 1);
    m_locked = -1;
}
