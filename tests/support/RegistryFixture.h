#pragma once
#include "TempDir.h"

#include <string>
#include <vector>

// Installs a .reg text (REGEDIT4) as the machine's registry content while the
// object lives, and takes it away again when it goes. On POSIX the text is a
// file that WINPORT_REGISTRY names; on Windows it is imported with `reg`,
// each key it names deleted first from both views (and again at the end).
// 32-bit values are written under SOFTWARE\WOW6432Node in the text itself.
class RegistryFixture
{
public:
    RegistryFixture();
    ~RegistryFixture();
    RegistryFixture(const RegistryFixture&) = delete;
    RegistryFixture& operator=(const RegistryFixture&) = delete;

    // Replaces what this fixture installed before. False when the system
    // refused the text (Windows: `reg import` failed).
    bool install(const std::string& regText);

private:
    TempDir m_dir;
    std::string m_file;
    std::vector<std::string> m_keys; // the keys the installed text names
    std::string m_previous;          // what WINPORT_REGISTRY named before
};
