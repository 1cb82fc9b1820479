#pragma once

// Counts the QObjects made and destroyed in this process while it lives,
// through the hooks Qt keeps for debugging tools. One at a time.
class LiveQObjects
{
public:
    LiveQObjects();
    ~LiveQObjects();
    LiveQObjects(const LiveQObjects&) = delete;
    LiveQObjects& operator=(const LiveQObjects&) = delete;

    // Made minus destroyed since construction (negative when more old ones
    // went than new ones came).
    long count() const;
};
