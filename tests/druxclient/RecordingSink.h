#pragma once
#include <libdruxclient/DruxNotify.h>

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// One report as the plug-in side received it.
struct Received
{
    std::string call; // "stage" or "result"
    unsigned int error;
    std::optional<std::string> text1;
    std::optional<std::string> text2;
    int bits;
    int value; // stage or result
    int percent;
    DWORD thread;
};

// What a sink saw; outlives the sink, which ends itself on release as the
// plug-in's does. Safe to fill from the platform's threads.
class SinkLog
{
public:
    void add(Received report);
    void released();

    std::vector<Received> reports() const;
    int releases() const;
    // How many reports had arrived when the first release came (-1: none yet).
    int reportsBeforeRelease() const;
    // False if no release came within `timeoutMs`.
    bool waitForRelease(int timeoutMs) const;

private:
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::vector<Received> m_reports;
    int m_releases = 0;
    int m_reportsBeforeRelease = -1;
};

class RecordingSink final : public DRUX::DruxNotify
{
public:
    explicit RecordingSink(std::shared_ptr<SinkLog> log)
        : m_log(std::move(log))
    {}

    int notifyResult(unsigned int error, const char* text1, const char* text2, int bits,
                     int result) override;
    int notifyStage(unsigned int error, const char* text1, const char* text2, int bits, int stage,
                    int percent) override;
    int release() override;

private:
    ~RecordingSink() = default;

    std::shared_ptr<SinkLog> m_log;
};

// `text` in the ANSI code page, as the client layer hands texts on.
std::string ansiOf(const wchar_t* text);
