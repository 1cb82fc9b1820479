#include "Journal.h"

#include "Text.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>

namespace qorcore {
namespace {

std::mutex g_lock;
std::string g_text;

} // namespace

void journal(const std::string& line)
{
    const std::lock_guard<std::mutex> hold(g_lock);
    g_text += line;
    g_text += '\n';
    const char* file = std::getenv("QORCORE_JOURNAL");
    if (file && *file)
        std::ofstream(file, std::ios::app | std::ios::binary) << line << '\n';
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
