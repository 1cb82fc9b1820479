#include "RegistryFixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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

// An open of HKLM\key in a view, then a query of a value in a buffer of
// `offered` bytes (0: none, the size asked for alone): their codes, and the
// type and bytes handed out (the size needed, when they did not fit).
struct Query
{
    const char* key;
    REGSAM view;
    const char* name;
    DWORD offered;
    LSTATUS open;
    LSTATUS query;
    DWORD type;
    std::string data;
};

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
    for (const Query& q : kQueries) {
        SCOPED_TRACE(std::string(q.key) + " : " + (q.name ? q.name : "(null)"));
        HKEY key = HKEY_CURRENT_USER; // a failed open must clear it
        ASSERT_EQ(q.open, RegOpenKeyExA(HKEY_LOCAL_MACHINE, q.key, 0, KEY_READ | q.view, &key));
        if (q.open != ERROR_SUCCESS) {
            EXPECT_EQ(nullptr, key);
            continue;
        }
        char data[64] = {};
        DWORD size = q.offered;
        DWORD type = REG_NONE;
        EXPECT_EQ(q.query,
                  RegQueryValueExA(key, q.name, nullptr, &type,
                                   q.offered ? reinterpret_cast<BYTE*>(data) : nullptr, &size));
        EXPECT_EQ(q.type, q.query == ERROR_FILE_NOT_FOUND ? 0 : type);
        EXPECT_EQ(q.data.size(), q.query == ERROR_FILE_NOT_FOUND ? 0 : size);
        EXPECT_EQ(q.data, q.query || !q.offered ? q.data : std::string(data, size));
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
    }
}

} // namespace
