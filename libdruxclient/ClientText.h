#pragma once
#include <windows.h>
#include <oleauto.h>

#include <memory>
#include <string>

namespace DRUX {

// A BSTR owned for the length of one platform call: an input converted from
// the ANSI code page, or an output slot the platform fills. Freed on scope end.
class Bstr
{
public:
    Bstr() = default;
    explicit Bstr(const std::string& ansi);
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return m_text; }
    BSTR* out() { return &m_text; }

private:
    BSTR m_text = nullptr;
};

// A narrow ANSI copy of a platform text; null for a null BSTR (or when the
// conversion had no memory).
class AnsiText
{
public:
    explicit AnsiText(BSTR text);

    const char* get() const { return m_text.get(); }
    explicit operator bool() const { return m_text != nullptr; }

private:
    std::unique_ptr<char[]> m_text;
};

} // namespace DRUX
