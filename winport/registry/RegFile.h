#pragma once
// The content of a .reg file, as `reg import` would write it into the registry.
// A plain parser with no I/O, so that it can be driven with any bytes.
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <string_view>

namespace winport {

struct RegValue
{
    DWORD type = REG_NONE;
    // The bytes RegQueryValueExA hands out: text in the ANSI code page with
    // its terminator, a DWORD in little-endian order.
    std::string data;
};

class RegFile
{
public:
    // Reads a whole file: "REGEDIT4" or "Windows Registry Editor Version 5.00",
    // UTF-8 or UTF-16LE with a byte-order mark, LF or CR LF. False at the first
    // line that is not well formed; error() then tells which and why.
    bool parse(std::string_view bytes);

    struct Error
    {
        int line = 0; // from 1; 0 when the file as a whole is wrong
        std::string reason;
    };
    const Error& error() const { return m_error; }

    // Key paths start with the root's name ("HKEY_LOCAL_MACHINE\SOFTWARE\X")
    // and compare without regard to ASCII case, as registry names do.
    // A key exists when a section names it or a key below it.
    bool hasKey(std::string_view path) const;
    // The value `name` of key `path` ("" for the key's default value), or null.
    const RegValue* value(std::string_view path, std::string_view name) const;

private:
    using Values = std::map<std::string, RegValue>;

    bool fail(int line, std::string reason);
    bool parseLines(std::string_view text);
    bool parseSection(int line, std::string_view section);
    bool parseValueLine(int line, std::string_view text);
    void addKey(const std::string& foldedPath);
    void removeKey(const std::string& foldedPath);

    std::map<std::string, Values> m_keys; // by folded path
    std::set<std::string> m_existing;     // folded paths of the keys and their parents
    Values* m_section = nullptr;          // where value lines go; null after a deletion
    bool m_inSection = false;
    bool m_unicode = false; // version 5.00: hex(2) and hex(7) data are UTF-16LE
    Error m_error;
};

} // namespace winport
