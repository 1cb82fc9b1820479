#include <libdruxclient/qorlog.h>

extern "C" {

void probeStart(const char* directory, const char* name, const char* eventBase)
{
    qorlog::instance(directory, name, eventBase);
}

void probeLog(const char* text)
{
    qorlog::instance(nullptr, nullptr, nullptr)->log("%s", text);
}

void probeLogW(const wchar_t* text)
{
    qorlog::instance(nullptr, nullptr, nullptr)->logW(L"%s", text);
}
}
