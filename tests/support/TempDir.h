#pragma once
#include <string>

// A fresh, empty folder under the system's temporary folder, removed with
// everything in it when the object goes. Not copyable.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Native path of the folder, without a trailing separator.
    const std::string& path() const { return m_path; }
    // Native path of `name` inside the folder (the file need not exist).
    std::string file(const std::string& name) const;

private:
    std::string m_path;
};
