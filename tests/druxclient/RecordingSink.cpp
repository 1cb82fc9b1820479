#include "RecordingSink.h"

#include <chrono>

namespace {

std::optional<std::string> textOf(const char* text)
{
    return text ? std::optional<std::string>(text) : std::nullopt;
}

} // namespace

void SinkLog::add(Received report)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_reports.push_back(std::move(report));
}

void SinkLog::released()
{
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        if (m_releases++ == 0)
            m_reportsBeforeRelease = static_cast<int>(m_reports.size());
    }
    m_changed.notify_all();
}

std::vector<Received> SinkLog::reports() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_reports;
}

int SinkLog::releases() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_releases;
}

int SinkLog::reportsBeforeRelease() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_reportsBeforeRelease;
}

bool SinkLog::waitForRelease(int timeoutMs) const
{
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                              [this] { return m_releases > 0; });
}

int RecordingSink::notifyResult(unsigned int error, const char* text1, const char* text2, int bits,
                                int result)
{
    m_log->add(
        {"result", error, textOf(text1), textOf(text2), bits, result, 0, GetCurrentThreadId()});
    return 0;
}

int RecordingSink::notifyStage(unsigned int error, const char* text1, const char* text2, int bits,
                               int stage, int percent)
{
    m_log->add(
        {"stage", error, textOf(text1), textOf(text2), bits, stage, percent, GetCurrentThreadId()});
    return 0;
}

int RecordingSink::release()
{
    m_log->released();
    delete this;
    return 0;
}

std::string ansiOf(const wchar_t* text)
{
    char buffer[512] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}
