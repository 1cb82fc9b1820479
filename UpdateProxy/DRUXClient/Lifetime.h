#pragma once
#include <memory>

// The life of an object whose methods run nested event loops, as those
// methods see it. The host's timers, queued calls and deferred deletes run
// inside such a loop and may delete the object: a method takes a watch
// before the loop and, once back, touches nothing of the object when the
// watch has expired. GUI thread only.
class Lifetime
{
public:
    using Watch = std::weak_ptr<const char>;

    Lifetime() = default;
    Lifetime(const Lifetime&) = delete;
    Lifetime& operator=(const Lifetime&) = delete;

    Watch watch() const { return m_token; }

private:
    const std::shared_ptr<const char> m_token = std::make_shared<const char>();
};
