#include "RegistryFixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const char kCore[] = "SOFTWARE\\ZubWinportTest\\Core\\2.0";
const char kPath64[] = "C:\\Program Files\\Zub Core";

const char kRegistry[] = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\ZubWinportTest\Core\2.0]
"Path"="C:\\Program Files\\Zub Core"
"Answer"=dword:0000002a
"Empty"=""
@="default text"

[HKEY_LOCAL_MACHINE\SOFTWARE\ZubWinportTest\Only64]

[HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\ZubWinportTest\Core\2.0]
"Path"="C:\\Program Files (x86)\\Zub Core"
)";

// One open and one query: what each answers, and what the query hands out.
struct Query
{
    const char* key;
    REGSAM view;
    const char* name;
    DWORD offered; // bytes of buffer; 0: no buffer, only the size asked for
    LSTATUS open;
    LSTATUS query;
    DWORD type;
    std::string data; // with its terminator, as Windows counts it
};

const Query kQueries[] = {
    {kCore, 0, "Path", 64, 0, 0, REG_SZ, std::string(kPath64, sizeof kPath64)},
    {kCore, KEY_WOW64_64KEY, "Answer", 64, 0, 0, REG_DWORD, std::string("\x2a\0\0\0", 4)},
    {kCore, 0, nullptr, 64, 0, 0, REG_SZ, std::string("default text", 13)},
    {kCore, 0, "", 64, 0, 0, REG_SZ, std::string("default text", 13)},
    {kCore, 0, "Empty", 64, 0, 0, REG_SZ, std::string(1, '\0')},
    {"software\\zubwinporttest\\CORE\\2.0\\", 0, "PATH", 64, 0, 0, REG_SZ,
     std::string(kPath64, sizeof kPath64)},
    {kCore, KEY_WOW64_32KEY, "Path", 64, 0, 0, REG_SZ, "C:\\Program Files (x86)\\Zub Core" + std::string(1, '\0')},
    {kCore, KEY_WOW64_32KEY, "Answer", 64, 0, ERROR_FILE_NOT_FOUND, 0, ""},
    {"SOFTWARE\\ZubWinportTest\\Only64", KEY_WOW64_32KEY, "", 64, ERROR_FILE_NOT_FOUND, 0, 0, ""},
    {"SOFTWARE\\ZubWinportTest\\Nowhere", 0, "", 64, ERROR_FILE_NOT_FOUND, 0, 0, ""},
    {"\\SOFTWARE\\ZubWinportTest", 0, "", 64, ERROR_BAD_PATHNAME, 0, 0, ""},
    {kCore, 0, "Nothing", 64, 0, ERROR_FILE_NOT_FOUND, 0, ""},
    {kCore, 0, "Path", 0, 0, 0, REG_SZ, std::string(sizeof kPath64, '?')},
    {kCore, 0, "Path", 5, 0, ERROR_MORE_DATA, REG_SZ, std::string(sizeof kPath64, '?')},
};

class Registry : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(registry.install(kRegistry)); }

    RegistryFixture registry;
};

TEST_F(Registry, EachOpenAndQueryAnswersAsWindowsDoes)
{
    for (const Query& q : kQueries) {
        SCOPED_TRACE(std::string(q.key) + " : " + (q.name ? q.name : "(null)"));
        HKEY key = reinterpret_cast<HKEY>(&key); // a failed open must clear it
        ASSERT_EQ(q.open, RegOpenKeyExA(HKEY_LOCAL_MACHINE, q.key, 0, KEY_READ | q.view, &key));
        if (q.open != ERROR_SUCCESS) {
            EXPECT_EQ(nullptr, key);
            continue;
        }
        char data[64] = {};
        DWORD size = q.offered;
        DWORD type = REG_NONE;
        EXPECT_EQ(q.query, RegQueryValueExA(key, q.name, nullptr, &type,
                                            q.offered ? reinterpret_cast<BYTE*>(data) : nullptr,
                                            &size));
        if (q.query != ERROR_FILE_NOT_FOUND) {
            EXPECT_EQ(q.type, type);
            EXPECT_EQ(q.data.size(), size); // the size needed when it did not fit
        }
        if (q.query == ERROR_SUCCESS && q.offered) {
            EXPECT_EQ(q.data, std::string(data, size));
        }
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    }
}

TEST_F(Registry, KeysOpenBelowOpenKeysAndHandlesCloseOnce)
{
    HKEY parent = nullptr;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZubWinportTest", 0, KEY_READ, &parent));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(parent, "core\\2.0", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(parent));
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Path", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(sizeof kPath64, size);
    BYTE data[4];
    DWORD reserved = 0;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExA(key, "Path", &reserved, nullptr, data, &size));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExA(key, "Path", nullptr, nullptr, data, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExA(key, "Path", nullptr, nullptr, nullptr, &size));
}

} // namespace
