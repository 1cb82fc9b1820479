#include <libdruxclient/qorlogstreams.h>

#include <libdruxclient/qorlog.h>

#include <windows.h>

#include <chrono>

namespace {

// How long a writer waits for the line lock at most. Not a member: an
// inline variable of a library is a unique symbol, which keeps the library
// from ever unloading.
constexpr int kLockWaitMs = 500;

// Tries that only yield before the sleeps begin: a writer holds the lock for
// one write, a few microseconds. A holder that takes longer has been
// preempted or waits for the disk, and yielding on would only spin.
constexpr int kYieldingTries = 8;

// 2^62: past the end of any log file, inside every system's lock range.
constexpr DWORD kLineLockOffsetHigh = 0x40000000;

OVERLAPPED lineLockRange()
{
    OVERLAPPED range = {};
    range.OffsetHigh = kLineLockOffsetHigh;
    return range;
}

bool isValid(HANDLE file)
{
    return file != nullptr && file != INVALID_HANDLE_VALUE;
}

} // namespace

void LockPatience::timedOut()
{
    if (m_bWaits.exchange(false, std::memory_order_relaxed))
        qorlog::debugLog("log line lock not granted within %d ms, lines go without it until it "
                         "is free again",
                         kLockWaitMs);
}

LineLock::LineLock(HANDLE file, LockPatience& patience)
    : m_file(file)
    , m_bLocked(false)
{
    if (!isValid(m_file))
        return;
    const bool waits = patience.waits();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockWaitMs);
    for (int tries = 1;; ++tries) {
        m_bLocked = tryLock();
        if (m_bLocked) {
            if (!waits)
                patience.granted();
            return;
        }
        // Without the lock the line is still written: a possibly torn line beats a lost one.
        if (!waits || GetLastError() != ERROR_LOCK_VIOLATION)
            return;
        if (std::chrono::steady_clock::now() >= deadline) {
            patience.timedOut();
            return;
        }
        Sleep(tries < kYieldingTries ? 0 : 1);
    }
}

bool LineLock::tryLock() const
{
    OVERLAPPED range = lineLockRange();
    return LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                      &range) != FALSE;
}

void LineLock::unlock()
{
    if (!m_bLocked)
        return;
    OVERLAPPED range = lineLockRange();
    UnlockFileEx(m_file, 0, 1, 0, &range);
    m_bLocked = false;
}

void LogStreams::Pin::write(const char* line, size_t length, LockPatience& patience) const
{
    {
        LineLock lock(m_pSlot->file, patience);
        fwrite(line, 1, length, m_pSlot->stream);
        fflush(m_pSlot->stream);
    }
    // The lock keeps the append whole; the commit needs none, so writers of
    // several processes commit side by side. The line is on the disk before
    // the caller goes on all the same.
    FlushFileBuffers(m_pSlot->file);
}

LogStreams::Pin LogStreams::pin()
{
    // The count goes up before the second look at the current slot, and a
    // switch publishes before it reads the count (both sequentially
    // consistent): either the switch sees this writer and waits, or this
    // writer sees the switch and moves on to the new slot.
    for (;;) {
        Slot* slot = m_current.load();
        slot->writers.fetch_add(1);
        if (m_current.load() == slot)
            return Pin(slot);
        slot->writers.fetch_sub(1);
    }
}

void LogStreams::install(int index, const std::string& path, FILE* stream, HANDLE file)
{
    Slot& slot = m_slots[index - 1];
    slot.stream = stream;
    slot.file = file;
    slot.path = path;
    makeCurrent(&slot);
}

void LogStreams::close()
{
    makeCurrent(&m_none);
    for (Slot& slot : m_slots)
        std::string().swap(slot.path);
}

void LogStreams::makeCurrent(Slot* slot)
{
    Slot* previous = m_current.exchange(slot);
    if (previous == slot)
        return;
    // A writer inside holds the slot for one line: a flush and a commit.
    while (previous->writers.load() != 0)
        Sleep(1);
    if (previous->stream)
        fclose(previous->stream);
    previous->stream = nullptr;
    previous->file = nullptr;
}
