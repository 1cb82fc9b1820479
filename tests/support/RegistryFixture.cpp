#include "RegistryFixture.h"

#include "TextFiles.h"

#include <cstdlib>

#ifdef _WIN32

#include <windows.h>

#include <utility>

namespace {

// The keys of the text's sections, "[-...]" deletions left out.
std::vector<std::string> namedKeys(const std::string& regText)
{
    std::vector<std::string> keys;
    for (const std::string& line : linesOf(regText)) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']' && line[1] != '-')
            keys.push_back(line.substr(1, line.size() - 2));
    }
    return keys;
}

bool runQuietly(const std::string& command)
{
    return std::system((command + " >nul 2>&1").c_str()) == 0;
}

// "HKEY_LOCAL_MACHINE\path" as root and path; a null root for roots the tests do not use.
std::pair<HKEY, std::string> rootAndPath(const std::string& key)
{
    const size_t slash = key.find('\\');
    const std::string root = key.substr(0, slash);
    if (slash == std::string::npos)
        return {nullptr, ""};
    if (_stricmp(root.c_str(), "HKEY_LOCAL_MACHINE") == 0)
        return {HKEY_LOCAL_MACHINE, key.substr(slash + 1)};
    if (_stricmp(root.c_str(), "HKEY_CURRENT_USER") == 0)
        return {HKEY_CURRENT_USER, key.substr(slash + 1)};
    return {nullptr, ""};
}

// Through the API rather than `reg delete`: a program started under Wine
// costs a tenth of a second, and tests install keys often.
void deleteTree(const std::string& key, REGSAM view)
{
    const auto [root, path] = rootAndPath(key);
    HKEY opened = nullptr;
    if (!root ||
        RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &opened) != ERROR_SUCCESS)
        return;
    RegDeleteTreeA(opened, nullptr);
    RegCloseKey(opened);
    RegDeleteKeyExA(root, path.c_str(), view, 0);
}

void deleteKeys(const std::vector<std::string>& keys)
{
    for (const std::string& key : keys) {
        deleteTree(key, KEY_WOW64_64KEY);
        deleteTree(key, KEY_WOW64_32KEY);
    }
}

bool isPresent(const std::string& key)
{
    const auto [root, path] = rootAndPath(key);
    HKEY opened = nullptr;
    if (!root || RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

} // namespace

RegistryFixture::RegistryFixture()
    : m_file(m_dir.file("registry.reg"))
{}

RegistryFixture::~RegistryFixture()
{
    deleteKeys(m_keys);
}

bool RegistryFixture::install(const std::string& regText)
{
    deleteKeys(m_keys);
    writeFile(m_file, regText);
    m_keys = namedKeys(regText);
    deleteKeys(m_keys);
    // A busy Wine server now and then lets an import go unseen: it is checked
    // by opening the first key, and tried again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (runQuietly("reg import \"" + m_file + "\" /reg:64") &&
            (m_keys.empty() || isPresent(m_keys.front())))
            return true;
    }
    return false;
}

#else

RegistryFixture::RegistryFixture()
    : m_file(m_dir.file("registry.reg"))
{
    if (const char* previous = std::getenv("WINPORT_REGISTRY"))
        m_previous = previous;
}

// An empty name stands for no registry file, as none does.
RegistryFixture::~RegistryFixture()
{
    setenv("WINPORT_REGISTRY", m_previous.c_str(), 1);
}

bool RegistryFixture::install(const std::string& regText)
{
    writeFile(m_file, regText);
    return setenv("WINPORT_REGISTRY", m_file.c_str(), 1) == 0;
}

#endif
