#include "RegistryFixture.h"

#include "TextFiles.h"

#include <cstdlib>

#ifdef _WIN32

#include <windows.h>

#include <optional>

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

// The path of "HKEY_LOCAL_MACHINE\path" below its root, the one root that
// tests write; nothing for another.
std::optional<std::string> machinePath(const std::string& key)
{
    const std::string root = "HKEY_LOCAL_MACHINE\\";
    if (key.size() <= root.size() || _strnicmp(key.c_str(), root.c_str(), root.size()) != 0)
        return std::nullopt;
    return key.substr(root.size());
}

// Through the API rather than `reg delete`: a program started under Wine
// costs a tenth of a second, and tests install keys often.
void deleteTree(const std::string& key, REGSAM view)
{
    const auto path = machinePath(key);
    HKEY opened = nullptr;
    if (!path || RegOpenKeyExA(HKEY_LOCAL_MACHINE, path->c_str(), 0, KEY_ALL_ACCESS | view,
                               &opened) != ERROR_SUCCESS)
        return;
    RegDeleteTreeA(opened, nullptr);
    RegCloseKey(opened);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path->c_str(), view, 0);
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
    const auto path = machinePath(key);
    HKEY opened = nullptr;
    if (!path ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, path->c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
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
