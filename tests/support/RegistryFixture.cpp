#include "RegistryFixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#ifdef _WIN32

#include <windows.h>

namespace {

// The keys of the text's sections, "[-...]" deletions left out.
std::vector<std::string> namedKeys(const std::string& regText)
{
    std::vector<std::string> keys;
    std::istringstream lines(regText);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']' && line[1] != '-')
            keys.push_back(line.substr(1, line.size() - 2));
    }
    return keys;
}

bool runQuietly(const std::string& command)
{
    return std::system((command + " >nul 2>&1").c_str()) == 0;
}

HKEY rootNamed(const std::string& name)
{
    if (_stricmp(name.c_str(), "HKEY_LOCAL_MACHINE") == 0)
        return HKEY_LOCAL_MACHINE;
    if (_stricmp(name.c_str(), "HKEY_CURRENT_USER") == 0)
        return HKEY_CURRENT_USER;
    return nullptr;
}

// Through the API rather than `reg delete`: a program started under Wine
// costs a tenth of a second, and tests install keys often.
void deleteTree(const std::string& key, REGSAM view)
{
    const size_t slash = key.find('\\');
    const HKEY root = rootNamed(key.substr(0, slash));
    if (!root || slash == std::string::npos)
        return;
    const std::string path = key.substr(slash + 1);
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &opened) != ERROR_SUCCESS)
        return;
    RegDeleteTreeA(opened, nullptr);
    RegCloseKey(opened);
    RegDeleteKeyExA(root, path.c_str(), view, 0);
}

} // namespace

RegistryFixture::RegistryFixture()
    : m_file(m_dir.file("registry.reg"))
{}

RegistryFixture::~RegistryFixture()
{
    deleteNamedKeys();
}

bool RegistryFixture::install(const std::string& regText)
{
    deleteNamedKeys();
    std::ofstream(m_file, std::ios::binary | std::ios::trunc) << regText;
    m_keys = namedKeys(regText);
    deleteNamedKeys();
    // The text holds both views: the 32-bit keys are written under WOW6432Node.
    // A busy Wine server now and then lets an import go unseen: it is checked
    // by opening the first key, and tried again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (runQuietly("reg import \"" + m_file + "\" /reg:64") && keysArePresent())
            return true;
    }
    return false;
}

bool RegistryFixture::keysArePresent() const
{
    if (m_keys.empty())
        return true;
    const std::string& key = m_keys.front();
    const size_t slash = key.find('\\');
    HKEY opened = nullptr;
    const HKEY root = rootNamed(key.substr(0, slash));
    if (!root || slash == std::string::npos ||
        RegOpenKeyExA(root, key.substr(slash + 1).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

void RegistryFixture::deleteNamedKeys()
{
    for (const std::string& key : m_keys) {
        deleteTree(key, KEY_WOW64_64KEY);
        deleteTree(key, KEY_WOW64_32KEY);
    }
}

#else

RegistryFixture::RegistryFixture()
    : m_file(m_dir.file("registry.reg"))
{
    if (const char* previous = std::getenv("WINPORT_REGISTRY")) {
        m_hadPrevious = true;
        m_previous = previous;
    }
}

RegistryFixture::~RegistryFixture()
{
    if (m_hadPrevious)
        setenv("WINPORT_REGISTRY", m_previous.c_str(), 1);
    else
        unsetenv("WINPORT_REGISTRY");
}

bool RegistryFixture::install(const std::string& regText)
{
    std::ofstream(m_file, std::ios::binary | std::ios::trunc) << regText;
    return setenv("WINPORT_REGISTRY", m_file.c_str(), 1) == 0;
}

#endif
