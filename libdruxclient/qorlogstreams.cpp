#include "qorlogstreams.h"

#include <windows.h>

namespace {

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

LineLock::LineLock(HANDLE file)
    : m_file(file)
    , m_bLocked(false)
{
    if (!isValid(m_file))
        return;
    OVERLAPPED range = lineLockRange();
    // Without the lock the line is still written: a possibly torn line beats a lost one.
    m_bLocked = LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range) != FALSE;
}

void LineLock::unlock()
{
    if (!m_bLocked)
        return;
    OVERLAPPED range = lineLockRange();
    UnlockFileEx(m_file, 0, 1, 0, &range);
    m_bLocked = false;
}

void LogStreams::Pin::write(const char* line, size_t length) const
{
    LineLock lock(m_pSlot->file);
    fwrite(line, 1, length, m_pSlot->stream);
    fflush(m_pSlot->stream);
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
