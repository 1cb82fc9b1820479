#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>

// Which of a log file's line locks the writers of this process take. A peer
// process stopped while it holds its line's lock (suspended, or halted in a
// debugger) must not stop this one, the host's GUI thread among its writers,
// for more than a bounded time; nor may the live writers then write beside
// each other, since the C runtime appends by a seek and a write and one line
// would overwrite another. So each file has a ladder of line locks, one per
// generation. A writer that waits 500 ms for its generation's lock takes the
// holder for stopped and moves to the next one, and the live writers move
// with it, one wait each. Every writer marks the generations it reached in
// the file's lock space and holds the marks; before a line, once its own
// lock is granted, it looks for a mark above its generation, and climbs if
// there is one: a process started meanwhile, or the stopped peer resumed,
// joins the others instead of writing beside them. A writer that finds it
// held its lock 500 ms itself (it was the one stopped) marks the next
// generation before letting go. One object per open file handle, shared by
// the process's threads.
class LockGeneration
{
public:
    int current() const { return m_current.load(); }
    // Moves on from `generation` unless another thread did, and says so on
    // the debugger output once per move. False at the last generation: there
    // the line goes without the lock.
    bool timedOut(int generation);
    // Moves on from `generation` without a word; whether this call moved.
    bool climb(int generation);
    // Takes this process's marks up to the current generation, as far as it
    // can at once; one that cannot be taken now is tried again before the next line.
    void takeMarks(HANDLE file);
    // Whether a writer of another process (or another thread here) marked a
    // generation above `generation`.
    static bool markedAbove(HANDLE file, int generation);
    // A file handle of its own: back to the first generation, no marks.
    void reset();

private:
    std::atomic<int> m_current{0};
    std::atomic<int> m_marked{0}; // marks held: generations 1 to this
};

// Exclusive byte-range lock of the current generation, held by every writer
// of a log file around each line's write. The Windows CRT appends by a seek
// to the end and then a write, which a writer in another process can split;
// the lock makes the pair one step. The locks lie far past any real size, so
// readers of the file are never blocked. A handle that is not valid locks
// nothing. Neither system can bound a blocking LockFileEx, so the lock is
// tried and retried, with a yield and then short sleeps between the tries.
class LineLock
{
public:
    LineLock(HANDLE file, LockGeneration& generation);
    ~LineLock() { unlock(); }
    LineLock(const LineLock&) = delete;
    LineLock& operator=(const LineLock&) = delete;

    void unlock();

private:
    bool tryLock(int generation);

    HANDLE m_file;
    LockGeneration& m_generation;
    int m_locked = -1; // the generation whose lock is held, -1 for none
    std::chrono::steady_clock::time_point m_since;
};
