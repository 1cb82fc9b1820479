#include "DebugCapture.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#ifndef _WIN32
#include <winport/debughook.h>
#endif

namespace {

// The live captures. One platform hook serves them all; it stays installed
// once set, since removing it could wait on a text that is being delivered
// while its capture goes away. Delivery holds the list's lock, so a capture
// that left the list receives nothing more.
struct Registry
{
    std::mutex mutex;
    std::vector<DebugCapture*> captures;
};

// Never destroyed: libraries still speak while the process ends.
Registry& g_registry = *new Registry;

void deliver(const char* text)
{
    std::lock_guard<std::mutex> guard(g_registry.mutex);
    for (DebugCapture* capture : g_registry.captures)
        capture->add(text);
}

#ifdef _WIN32
// OutputDebugStringA raises DBG_PRINTEXCEPTION_C before it looks for a
// debugger; a vectored handler sees it first and lets it go on.
LONG CALLBACK onException(PEXCEPTION_POINTERS info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == static_cast<DWORD>(DBG_PRINTEXCEPTION_C) &&
        record->NumberParameters >= 2)
        deliver(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_SEARCH;
}

void installHook()
{
    [[maybe_unused]] static const PVOID handler = AddVectoredExceptionHandler(1, onException);
}
#else
// Set again by every capture, in case a test replaced the hook meanwhile.
void installHook()
{
    winport_set_debug_hook([](const char* text, void*) { deliver(text); }, nullptr);
}
#endif

} // namespace

DebugCapture::DebugCapture()
{
    // Outside the list's lock: setting the hook waits for texts in delivery.
    installHook();
    std::lock_guard<std::mutex> guard(g_registry.mutex);
    g_registry.captures.push_back(this);
}

DebugCapture::~DebugCapture()
{
    std::lock_guard<std::mutex> guard(g_registry.mutex);
    auto& captures = g_registry.captures;
    captures.erase(std::remove(captures.begin(), captures.end(), this), captures.end());
}

std::vector<std::string> DebugCapture::lines() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_lines;
}

bool DebugCapture::contains(const std::string& text) const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return std::any_of(m_lines.begin(), m_lines.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    });
}

void DebugCapture::clear()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_lines.clear();
}

void DebugCapture::recordTo(const std::string& path)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& text : m_lines)
        out << text << (text.empty() || text.back() != '\n' ? "\n" : "");
    m_record = path;
}

void DebugCapture::add(const char* text)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_lines.emplace_back(text);
    if (!m_record.empty())
        std::ofstream(m_record, std::ios::binary | std::ios::app)
            << text << (*text && text[std::strlen(text) - 1] == '\n' ? "" : "\n");
}
