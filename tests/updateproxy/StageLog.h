#pragma once
#include "DRUXClient/IDRUXNotifyInf.h"

#include <mutex>
#include <utility>
#include <vector>

// A receiver of stage reports that keeps what reached it, from any thread.
class StageLog : public IDRUXNotifyInf
{
public:
    ~StageLog() override { endNotifications(); }

    void notifyProgress(int stage, int percent) override
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_reports.emplace_back(stage, percent);
    }
    std::vector<std::pair<int, int>> reports() const
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        return m_reports;
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::pair<int, int>> m_reports;
};
