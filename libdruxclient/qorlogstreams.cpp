#include <libdruxclient/qorlogstreams.h>

#include <windows.h>

void LogStreams::Pin::write(const char* line, size_t length) const
{
    {
        LineLock lock(m_pSlot->file, m_pSlot->lockGeneration);
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
    slot.lockGeneration.reset();
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
