#include <windows.h>

#include "RegistryFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kKey[] = "SOFTWARE\\ZubWinportTest\\Core\\2.0";
const char kPath64[] = "C:\\Program Files\\Zub Core";

const char kRegistry[] = R"(REGEDIT4

; the 64-bit view
[HKEY_LOCAL_MACHINE\SOFTWARE\ZubWinportTest\Core\2.0]
"Path"="C:\\Program Files\\Zub Core"
"Quoted"="say \"hi\""
"Answer"=dword:0000002a
"Empty"=""
@="default text"

[HKEY_LOCAL_MACHINE\SOFTWARE\ZubWinportTest\Only64]

[HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\ZubWinportTest\Core\2.0]
"Path"="C:\\Program Files (x86)\\Zub Core"
)";

class Registry : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(registry.install(kRegistry)); }

    void TearDown() override
    {
        if (key) {
            EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
        }
    }

    LSTATUS open(const char* subKey, REGSAM access = KEY_READ)
    {
        return RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, access, &key);
    }

    // The value's bytes, all of them as Windows counts them; `type` as reported.
    std::string read(const char* name, DWORD expectedType = REG_SZ)
    {
        char data[256] = {};
        DWORD size = sizeof data;
        DWORD type = REG_NONE;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, name, nullptr, &type,
                                                  reinterpret_cast<BYTE*>(data), &size));
        EXPECT_EQ(expectedType, type) << name;
        return std::string(data, size);
    }

    static std::string terminated(const std::string& text) { return text + '\0'; }

    RegistryFixture registry;
    HKEY key = nullptr;
};

TEST_F(Registry, ValuesComeAsWindowsHandsThemOut)
{
    ASSERT_EQ(ERROR_SUCCESS, open(kKey));
    EXPECT_EQ(terminated(kPath64), read("Path"));
    EXPECT_EQ(terminated("say \"hi\""), read("Quoted"));
    EXPECT_EQ(terminated(""), read("Empty"));
    EXPECT_EQ(terminated("default text"), read(nullptr));
    EXPECT_EQ(terminated("default text"), read(""));
    EXPECT_EQ(std::string("\x2a\0\0\0", 4), read("Answer", REG_DWORD));
}

TEST_F(Registry, NamesIgnoreCaseAndParentKeysExist)
{
    ASSERT_EQ(ERROR_SUCCESS, open("software\\ZUBWINPORTTEST"));
    HKEY parent = key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(parent, "core\\2.0", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(parent));
    EXPECT_EQ(terminated(kPath64), read("PATH"));
}

TEST_F(Registry, The32BitViewReadsWow6432Node)
{
    ASSERT_EQ(ERROR_SUCCESS, open(kKey, KEY_READ | KEY_WOW64_32KEY));
    EXPECT_EQ(terminated("C:\\Program Files (x86)\\Zub Core"), read("Path"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(key, "Answer", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              open("SOFTWARE\\ZubWinportTest\\Only64", KEY_READ | KEY_WOW64_32KEY));
}

TEST_F(Registry, MissingKeysValuesAndHandlesHaveTheirCodes)
{
    key = reinterpret_cast<HKEY>(&key); // must be cleared on failure
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, open("SOFTWARE\\ZubWinportTest\\Nowhere"));
    EXPECT_EQ(nullptr, key);

    ASSERT_EQ(ERROR_SUCCESS, open(kKey));
    DWORD size = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(key, "Nothing", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
    key = nullptr;
}

TEST_F(Registry, ATooSmallBufferGives234AndTheNeededSize)
{
    ASSERT_EQ(ERROR_SUCCESS, open(kKey));
    const DWORD needed = sizeof kPath64;
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Path", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(needed, size);

    char data[64];
    size = needed - 1;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, "Path", nullptr, nullptr,
                                                reinterpret_cast<BYTE*>(data), &size));
    EXPECT_EQ(needed, size);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Path", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(data), &size));
    EXPECT_STREQ(kPath64, data);
}

TEST(RegistryFiles, Version5WithCrLfAndTheKeysGoWithTheFixture)
{
    const char* subKey = "SOFTWARE\\ZubWinportTest\\Five";
    HKEY key = nullptr;
    {
        RegistryFixture registry;
        ASSERT_TRUE(registry.install("Windows Registry Editor Version 5.00\r\n\r\n"
                                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ZubWinportTest\\Five]\r\n"
                                     "\"Name\"=\"five\"\r\n"));
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ, &key));
        char data[16];
        DWORD size = sizeof data;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Name", nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(data), &size));
        EXPECT_EQ(std::string("five", 5), std::string(data, size));
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ, &key));
}

} // namespace
