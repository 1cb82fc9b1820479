#include "RegistryFixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

const char kRegistry[] = R"reg(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\ZubWinportTest\Core\2.0]
"Path"="C:\\Zub Core"
"Answer"=dword:0000002a
@="default"

[HKEY_LOCAL_MACHINE\SOFTWARE\ZubWinportTest\Only64]

[HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\ZubWinportTest\Core\2.0]
"Path"="C:\\Zub Core (x86)"
)reg";

const char kCore[] = "SOFTWARE\\ZubWinportTest\\Core\\2.0";
const auto k32 = KEY_WOW64_32KEY;

// Open HKLM\key in a view, query a value with `offered` bytes of buffer (0:
// none): their codes, the type, and the bytes handed out or the size needed.
using Query =
    std::tuple<const char*, REGSAM, const char*, DWORD, LSTATUS, LSTATUS, DWORD, std::string>;

const Query kQueries[] = {
    {kCore, 0, "Path", 64, 0, 0, REG_SZ, std::string("C:\\Zub Core", 12)},
    {kCore, KEY_WOW64_64KEY, "Answer", 64, 0, 0, REG_DWORD, std::string("*\0\0\0", 4)},
    {kCore, 0, nullptr, 64, 0, 0, REG_SZ, std::string("default", 8)},
    {kCore, 0, "", 64, 0, 0, REG_SZ, std::string("default", 8)},
    {"software\\zubwinporttest\\CORE\\2.0\\", 0, "PATH", 64, 0, 0, REG_SZ,
     std::string("C:\\Zub Core", 12)},
    {kCore, k32, "Path", 64, 0, 0, REG_SZ, std::string("C:\\Zub Core (x86)", 18)},
    {kCore, k32, "Answer", 64, 0, ERROR_FILE_NOT_FOUND, 0, ""},
    {kCore, 0, "Nothing", 64, 0, ERROR_FILE_NOT_FOUND, 0, ""},
    {kCore, 0, "Path", 0, 0, 0, REG_SZ, std::string(12, '?')},
    {kCore, 0, "Path", 5, 0, ERROR_MORE_DATA, REG_SZ, std::string(12, '?')},
    {"SOFTWARE\\ZubWinportTest\\Only64", k32, "", 64, ERROR_FILE_NOT_FOUND, 0, 0, ""},
    {"SOFTWARE\\ZubWinportTest\\Nowhere", 0, "", 64, ERROR_FILE_NOT_FOUND, 0, 0, ""},
    {"\\SOFTWARE\\ZubWinportTest", 0, "", 64, ERROR_BAD_PATHNAME, 0, 0, ""},
};

TEST(Registry, EachOpenAndQueryAnswersAsWindowsDoes)
{
    RegistryFixture registry;
    ASSERT_TRUE(registry.install(kRegistry));
    for (const auto& [path, view, name, offered, open, query, type, data] : kQueries) {
        SCOPED_TRACE(std::string(path) + " : " + (name ? name : "(null)"));
        HKEY key = HKEY_CURRENT_USER; // a failed open must clear it
        ASSERT_EQ(open, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key));
        if (open != ERROR_SUCCESS) {
            EXPECT_EQ(nullptr, key);
            continue;
        }
        char bytes[64] = {};
        DWORD size = offered;
        DWORD found = REG_NONE;
        EXPECT_EQ(query,
                  RegQueryValueExA(key, name, nullptr, &found,
                                   offered ? reinterpret_cast<BYTE*>(bytes) : nullptr, &size));
        EXPECT_EQ(type, query == ERROR_FILE_NOT_FOUND ? 0 : found);
        EXPECT_EQ(data.size(), query == ERROR_FILE_NOT_FOUND ? 0 : size);
        EXPECT_EQ(data, query || !offered ? data : std::string(bytes, size));
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
    }
}

} // namespace
