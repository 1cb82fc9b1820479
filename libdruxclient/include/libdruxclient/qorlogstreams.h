#pragma once
#include <windows.h>

#include "qorloglinelock.h"

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <string>

// The logger's two files (one slot each) and which of them takes lines.
//
// A switch closes a stream that other threads of the process may be writing
// to at that very moment. A mutex per line would serialise every writer on the
// logger and add a lock under the client-creation and module-registry locks,
// which are held while lines are written. So the line path takes no lock: a
// writer pins the current slot (a count of writers inside it), writes, and
// unpins. The switching thread publishes the other slot first and closes the
// old stream only when the old slot's count has drained: no line goes to a
// closed stream, and the lines that were on their way land in the old file.
// Switching threads are serialised by the logger's switch lock, which is taken
// only when the file is full.
class LogStreams
{
public:
    struct Slot
    {
        FILE* stream = nullptr;
        HANDLE file = nullptr; // the handle under the stream, for the line lock
        LockGeneration lockGeneration;
        std::string path;
        std::atomic<int> writers{0};
    };

    // Keeps the current slot's stream open while it lives.
    class Pin
    {
    public:
        explicit Pin(Slot* slot)
            : m_pSlot(slot)
        {}
        ~Pin() { m_pSlot->writers.fetch_sub(1); }
        Pin(const Pin&) = delete;
        Pin& operator=(const Pin&) = delete;

        const Slot* operator->() const { return m_pSlot; }
        // One whole line: a single fwrite and a flush under the line lock,
        // then its commit to the disk.
        void write(const char* line, size_t length) const;

    private:
        Slot* m_pSlot;
    };

    LogStreams() = default;
    LogStreams(const LogStreams&) = delete;
    LogStreams& operator=(const LogStreams&) = delete;

    Pin pin();

    // Switching thread only. Puts the stream (null when the open failed) into
    // the slot of file `index` (1 or 2) and makes it current; the previous
    // stream is closed once no writer is inside it.
    void install(int index, const std::string& path, FILE* stream, HANDLE file);
    // Leaves no stream current, closes the previous one the same way, and
    // releases the paths.
    void close();

private:
    void makeCurrent(Slot* slot);

    Slot m_slots[2];
    Slot m_none;
    std::atomic<Slot*> m_current{&m_none};
};
