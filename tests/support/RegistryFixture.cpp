#include "RegistryFixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#ifdef _WIN32

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

} // namespace

RegistryFixture::RegistryFixture() : m_file(m_dir.file("registry.reg")) {}

RegistryFixture::~RegistryFixture() { deleteNamedKeys(); }

bool RegistryFixture::install(const std::string& regText)
{
    deleteNamedKeys();
    std::ofstream(m_file, std::ios::binary | std::ios::trunc) << regText;
    m_keys = namedKeys(regText);
    deleteNamedKeys();
    // The text holds both views: the 32-bit keys are written under WOW6432Node.
    return runQuietly("reg import \"" + m_file + "\" /reg:64");
}

void RegistryFixture::deleteNamedKeys()
{
    for (const std::string& key : m_keys) {
        runQuietly("reg delete \"" + key + "\" /f /reg:64");
        runQuietly("reg delete \"" + key + "\" /f /reg:32");
    }
}

#else

RegistryFixture::RegistryFixture() : m_file(m_dir.file("registry.reg"))
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
