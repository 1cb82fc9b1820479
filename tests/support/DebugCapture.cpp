#include "DebugCapture.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <mutex>

#ifdef _WIN32
// OutputDebugStringA raises DBG_PRINTEXCEPTION_C before it looks for a
// debugger; a vectored handler sees it first and lets it go on.
#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006L
#endif
#else
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

Registry& registry()
{
    static Registry* instance = new Registry;
    return *instance;
}

void deliver(const char* text)
{
    Registry& reg = registry();
    std::lock_guard<std::mutex> guard(reg.mutex);
    for (DebugCapture* capture : reg.captures)
        capture->add(text);
}

#ifdef _WIN32
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
    static PVOID handler = AddVectoredExceptionHandler(1, onException);
    (void)handler;
}
#else
void onDebugText(const char* text, void*)
{
    deliver(text);
}

// Set again by every capture, in case a test replaced the hook meanwhile.
void installHook()
{
    winport_set_debug_hook(onDebugText, nullptr);
}
#endif

} // namespace

DebugCapture::DebugCapture()
{
    // Outside the list's lock: setting the hook waits for texts in delivery.
    installHook();
    Registry& reg = registry();
    std::lock_guard<std::mutex> guard(reg.mutex);
    reg.captures.push_back(this);
}

DebugCapture::~DebugCapture()
{
    Registry& reg = registry();
    std::lock_guard<std::mutex> guard(reg.mutex);
    reg.captures.erase(std::remove(reg.captures.begin(), reg.captures.end(), this),
                       reg.captures.end());
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
