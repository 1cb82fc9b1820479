#pragma once
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <string>

// How long the writers of a process wait for a line lock. A peer process
// stopped while it holds the lock (suspended, or halted in a debugger) must
// not stop this one, the host's GUI thread among its writers: a wait ends
// after 500 ms and the line goes without the lock, since a possibly torn
// line beats a lost one and a hung host even more. After such a time-out the
// writers stop waiting: they take the lock only when it is free at once,
// until one of them is granted it again. So a peer that stays frozen costs
// each process one wait, however many lines follow.
class LockPatience
{
public:
    bool waits() const { return m_bWaits.load(std::memory_order_relaxed); }
    void granted() { m_bWaits.store(true, std::memory_order_relaxed); }
    // Says so on the debugger output once per time-out, not per line.
    void timedOut();

private:
    std::atomic<bool> m_bWaits{true};
};

// Exclusive byte-range lock that every writer of a log file holds around each
// line's write. The Windows CRT appends by a seek to the end and then a write,
// which a writer in another process can split; the lock makes the pair one
// step. The range lies far past any real size, so readers of the file are
// never blocked. A handle that is not valid locks nothing. Neither system can
// bound a blocking LockFileEx, so the lock is tried and retried, with a yield
// and then short sleeps between the tries, until the patience runs out.
class LineLock
{
public:
    LineLock(HANDLE file, LockPatience& patience);
    ~LineLock() { unlock(); }
    LineLock(const LineLock&) = delete;
    LineLock& operator=(const LineLock&) = delete;

    void unlock();

private:
    bool tryLock() const;

    HANDLE m_file;
    bool m_bLocked;
};

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
        void write(const char* line, size_t length, LockPatience& patience) const;

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
