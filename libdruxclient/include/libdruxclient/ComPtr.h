#pragma once
#include <utility>

namespace QORCLIENT {

// One reference to a platform object (anything with a Release()), released
// once when the holder goes or is reset: the one place of the client layer
// that calls Release() on an object it holds.
template <class T>
class ComPtr
{
public:
    ComPtr() = default;
    // Takes over a reference the caller holds.
    explicit ComPtr(T* object)
        : m_object(object)
    {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // The slot a creating call fills; what was held is released first.
    T** out()
    {
        reset();
        return &m_object;
    }
    // Hands the reference on: whoever takes it releases it.
    T* detach() { return std::exchange(m_object, nullptr); }
    // Releases what is held and takes over `object`.
    void reset(T* object = nullptr)
    {
        if (T* held = std::exchange(m_object, object))
            held->Release();
    }

private:
    T* m_object = nullptr;
};

} // namespace QORCLIENT
