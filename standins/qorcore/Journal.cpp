#include "Journal.h"

#include "Text.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>

namespace qorcore {
namespace {

std::mutex g_lock;
std::string g_text;
std::atomic<bool> g_detached{false};
std::atomic<bool> g_processEnding{false};

// POSIX tells a library nothing at its detach, and at exit() it destroys the
// static objects of a library loaded at run time before those of the program
// that loaded it: from here on, as after a detach, lines go to the file only.
struct StaticsGone
{
    ~StaticsGone() { g_detached.store(true); }
} g_staticsGone;

void appendToFile(const std::string& line)
{
    const char* file = std::getenv("QORCORE_JOURNAL");
    if (file && *file)
        std::ofstream(file, std::ios::app | std::ios::binary) << line << '\n';
}

} // namespace

void journal(const std::string& line)
{
    if (g_detached.load()) {
        appendToFile(line);
        return;
    }
    const std::lock_guard<std::mutex> hold(g_lock);
    g_text += line;
    g_text += '\n';
    appendToFile(line);
}

void journalDetach(bool processEnding)
{
    g_processEnding.store(processEnding);
    g_detached.store(true);
    journal(processEnding ? "DLL_PROCESS_DETACH process end" : "DLL_PROCESS_DETACH unload");
}

bool processEnding()
{
    return g_processEnding.load();
}

std::string journalText()
{
    const std::lock_guard<std::mutex> hold(g_lock);
    return g_text;
}

void clearJournal()
{
    const std::lock_guard<std::mutex> hold(g_lock);
    g_text.clear();
}

std::string guidText(REFGUID id)
{
    char text[40] = {};
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(id.Data1), id.Data2, id.Data3, id.Data4[0], id.Data4[1],
                  id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

std::string quoted(BSTR text)
{
    return text ? "\"" + utf8From(text) + "\"" : std::string("null");
}

} // namespace qorcore
