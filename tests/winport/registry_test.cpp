#include <windows.h>

#include "RegistryFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kKey[] = "SOFTWARE\\ZubWinportTest\\Core\\2.0";

const char kRegistry[] = R"(REGEDIT4

; the 64-bit view
[HKEY_LOCAL_MACHINE\SOFTWARE\ZubWinportTest\Core\2.0]
"Path"="C:\\Program Files\\Zub Core"
"Quoted"="say \"hi\""
"Answer"=dword:0000002a
"Empty"=""
@="default text"

[HKEY_LOCAL_MACHINE\SOFTWARE\ZubWinportTest\Only64]
"Here"="yes"

[HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\ZubWinportTest\Core\2.0]
"Path"="C:\\Program Files (x86)\\Zub Core"
)";

class Registry : public ::testing::Test {
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

    // The value's bytes as text, with the type and size Windows reports.
    std::string readString(const char* name, DWORD& type, DWORD& size)
    {
        char data[256] = {};
        size = sizeof data;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size));
        return std::string(data, size);
    }

    std::string readString(const char* name)
    {
        DWORD type = REG_NONE;
        DWORD size = 0;
        std::string text = readString(name, type, size);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        return text;
    }

    RegistryFixture registry;
    HKEY key = nullptr;
};

TEST_F(Registry, StringsComeWithEscapesUndoneAndTheTerminatorCounted)
{
    ASSERT_EQ(ERROR_SUCCESS, open(kKey));
    EXPECT_EQ(std::string("C:\\Program Files\\Zub Core", 25) + '\0', readString("Path"));
    EXPECT_EQ(std::string("say \"hi\"") + '\0', readString("Quoted"));
    EXPECT_EQ(std::string(1, '\0'), readString("Empty"));
    EXPECT_EQ(std::string("default text") + '\0', readString(nullptr));
    EXPECT_EQ(std::string("default text") + '\0', readString(""));
}

TEST_F(Registry, DwordsAreFourLittleEndianBytes)
{
    ASSERT_EQ(ERROR_SUCCESS, open(kKey));
    DWORD type = REG_NONE;
    DWORD size = 0;
    EXPECT_EQ(std::string("\x2a\0\0\0", 4), readString("Answer", type, size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(4u, size);
}

TEST_F(Registry, NamesIgnoreCaseAndParentKeysExist)
{
    ASSERT_EQ(ERROR_SUCCESS, open("software\\ZUBWINPORTTEST"));
    HKEY child = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(key, "core\\2.0", 0, KEY_READ, &child));
    char data[64];
    DWORD size = sizeof data;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(child, "PATH", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
    EXPECT_STREQ("C:\\Program Files\\Zub Core", data);
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(child));
}

TEST_F(Registry, The32BitViewReadsWow6432Node)
{
    ASSERT_EQ(ERROR_SUCCESS, open(kKey, KEY_READ | KEY_WOW64_32KEY));
    EXPECT_EQ(std::string("C:\\Program Files (x86)\\Zub Core") + '\0', readString("Path"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "Answer", nullptr, nullptr, nullptr, nullptr));

    HKEY only64 = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZubWinportTest\\Only64", 0, KEY_READ | KEY_WOW64_32KEY,
                            &only64));
    EXPECT_EQ(nullptr, only64);
}

TEST_F(Registry, MissingKeysAndValuesAre2)
{
    key = reinterpret_cast<HKEY>(&key); // must be cleared on failure
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, open("SOFTWARE\\ZubWinportTest\\Nowhere"));
    EXPECT_EQ(nullptr, key);

    ASSERT_EQ(ERROR_SUCCESS, open(kKey));
    DWORD size = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "Nothing", nullptr, nullptr, nullptr, &size));
}

TEST_F(Registry, ATooSmallBufferGives234AndTheNeededSize)
{
    ASSERT_EQ(ERROR_SUCCESS, open(kKey));
    const DWORD needed = sizeof "C:\\Program Files\\Zub Core";

    DWORD size = 0;
    DWORD type = REG_NONE;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Path", nullptr, &type, nullptr, &size));
    EXPECT_EQ(needed, size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

    char data[64];
    size = 4;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
    EXPECT_EQ(needed, size);

    size = needed;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
    EXPECT_STREQ("C:\\Program Files\\Zub Core", data);
}

TEST_F(Registry, ClosingTwiceIsAnInvalidHandle)
{
    ASSERT_EQ(ERROR_SUCCESS, open(kKey));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
    key = nullptr;
}

TEST(RegistryFiles, Version5WithCrLfAndTheKeysGoWithTheFixture)
{
    const char* subKey = "SOFTWARE\\ZubWinportTest\\Five";
    HKEY key = nullptr;
    {
        RegistryFixture registry;
        ASSERT_TRUE(registry.install("Windows Registry Editor Version 5.00\r\n\r\n"
                                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ZubWinportTest\\Five]\r\n"
                                     "\"Name\"=\"five\"\r\n"
                                     "\"Count\"=dword:00000005\r\n"));
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ, &key));
        char data[16];
        DWORD size = sizeof data;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size));
        EXPECT_EQ(5u, size);
        EXPECT_STREQ("five", data);
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ, &key));
}

} // namespace
