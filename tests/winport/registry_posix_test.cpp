// The .reg reader behind the POSIX registry, and what the registry answers
// when its file is missing or not well formed.
#include <windows.h>

#include "RegistryFixture.h"
#include <winport/registry/RegFile.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using winport::RegFile;

std::string bytesOf(const winport::RegValue* value)
{
    return value ? value->data : std::string("<none>");
}

TEST(RegFile, RefusesMalformedLinesAndSaysWhere)
{
    struct Bad
    {
        const char* text;
        int line;
    };
    const Bad cases[] = {
        {"", 0},
        {"REGEDIT5\n", 1},
        {"\n\nREGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", 4},
        {"REGEDIT4\n\"x\"=\"outside a key\"\n", 2},
        {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", 2},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n", 2},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"unterminated\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"bad \\n escape\"\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:123456789\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:0g\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex(2:00\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=qword:1\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\" \"y\"\n", 3},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"y\"\ngarbage\n", 4},
        {"\xff\xfe"
         "R\0E\0G\0",
         0},
    };
    for (const Bad& c : cases) {
        RegFile file;
        EXPECT_FALSE(file.parse(c.text)) << c.text;
        EXPECT_EQ(c.line, file.error().line) << c.text;
        EXPECT_FALSE(file.error().reason.empty());
        EXPECT_FALSE(file.hasKey("HKEY_LOCAL_MACHINE\\A"))
            << "nothing of a bad file is kept: " << c.text;
    }
}

TEST(RegFile, ReadsHexDataOverSeveralLinesAndDeletions)
{
    RegFile file;
    ASSERT_TRUE(file.parse("REGEDIT4\n"
                           "[HKEY_LOCAL_MACHINE\\A]\n"
                           "\"bin\"=hex:01,02,\\\n"
                           "  03 ; trailing comment\n"
                           "\"expand\"=hex(2):25,54,4d,50,25,00\n"
                           "\"gone\"=\"soon\"\n"
                           "\"gone\"=-\n"
                           "[HKEY_LOCAL_MACHINE\\A\\B\\C]\n"
                           "[-HKEY_LOCAL_MACHINE\\A\\B]\n"
                           "\"ignored\"=\"under a deleted key\"\n"))
        << file.error().reason;
    ASSERT_NE(nullptr, file.value("HKEY_LOCAL_MACHINE\\A", "bin"));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), file.value("HKEY_LOCAL_MACHINE\\A", "bin")->type);
    EXPECT_EQ(std::string("\x01\x02\x03"), bytesOf(file.value("HKEY_LOCAL_MACHINE\\A", "bin")));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ),
              file.value("HKEY_LOCAL_MACHINE\\A", "EXPAND")->type);
    EXPECT_EQ(std::string("%TMP%", 6), bytesOf(file.value("HKEY_LOCAL_MACHINE\\A", "expand")));
    EXPECT_EQ(nullptr, file.value("HKEY_LOCAL_MACHINE\\A", "gone"));
    EXPECT_TRUE(file.hasKey("hkey_local_machine\\a"));
    EXPECT_FALSE(file.hasKey("HKEY_LOCAL_MACHINE\\A\\B"));
    EXPECT_FALSE(file.hasKey("HKEY_LOCAL_MACHINE\\A\\B\\C"));
}

TEST(RegFile, ReadsUtf16Version5FilesIntoTheAnsiPage)
{
    // "Name"="质量" and hex(2) of "%TMP%" in UTF-16LE, as regedit exports them.
    const std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_LOCAL_MACHINE\\A]\r\n"
                                u"\"Name\"=\"\u8d28\u91cf\"\r\n"
                                u"\"expand\"=hex(2):25,00,54,00,4d,00,50,00,25,00,00,00\r\n";
    std::string bytes = "\xff\xfe";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    RegFile file;
    ASSERT_TRUE(file.parse(bytes)) << file.error().reason;
    EXPECT_EQ(std::string("\xe8\xb4\xa8\xe9\x87\x8f", 7),
              bytesOf(file.value("HKEY_LOCAL_MACHINE\\A", "Name")));
    EXPECT_EQ(std::string("%TMP%", 6), bytesOf(file.value("HKEY_LOCAL_MACHINE\\A", "expand")));
}

TEST(RegistryBacking, AMalformedFileIsACorruptRegistry)
{
    RegistryFixture registry;
    ASSERT_TRUE(
        registry.install("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zub]\n\"x\"=dword:zz\n"));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_BADDB, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Zub", 0, KEY_READ, &key));
    EXPECT_EQ(nullptr, key);
    EXPECT_EQ(ERROR_BADDB,
              RegQueryValueExA(HKEY_LOCAL_MACHINE, "x", nullptr, nullptr, nullptr, nullptr));
}

TEST(RegistryBacking, WithoutAFileEveryKeyIsMissingAndEachOpenReadsAfresh)
{
    RegistryFixture registry;
    setenv("WINPORT_REGISTRY", registry.file().c_str(), 1); // not written yet
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &key));

    ASSERT_TRUE(registry.install("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zub]\n"));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Zub", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));

    unsetenv("WINPORT_REGISTRY");
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Zub", 0, KEY_READ, &key));
}

} // namespace
