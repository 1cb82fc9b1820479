// Finding the platform's install directory in the two registry views, on a
// real registry text and real folders.
#include "CoreScenario.h"
#include "LogLines.h"
#include "RegistryFixture.h"
#include "TempDir.h"

#include <libdruxclient/RegistryPath.h>

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using testing::ElementsAre;

namespace {

const char* const kKey = "SOFTWARE\\Trevik\\QOR\\2.0";

class RegistryPath : public testing::Test
{
protected:
    RegistryPath()
    {
        std::filesystem::create_directory(native64);
        std::filesystem::create_directory(wow32);
    }

    bool read(const std::string& regText)
    {
        registry.install(regText);
        capture.clear();
        path.clear();
        return QORCLIENT::readRegistryPath(HKEY_LOCAL_MACHINE, kKey, "Path", path);
    }

    std::vector<std::string> messages() const { return loggedMessages(capture); }

    TempDir folder;
    const std::string native64 = folder.file("qor64");
    const std::string wow32 = folder.file("qor32");
    const std::string gone = folder.file("removed");
    RegistryFixture registry;
    DebugCapture capture;
    std::string path;
};

TEST_F(RegistryPath, NativeViewComesFirst)
{
    ASSERT_TRUE(read(CoreScenario::registryText(native64, wow32)));
    EXPECT_EQ(path, native64);
    EXPECT_TRUE(messages().empty());
}

TEST_F(RegistryPath, MissingNativeDirectoryFallsBackToThe32BitView)
{
    ASSERT_TRUE(read(CoreScenario::registryText(gone, wow32)));
    EXPECT_EQ(path, wow32);
    EXPECT_THAT(messages(), ElementsAre("file '" + gone + "' not exist, try 32 bits"));

    ASSERT_TRUE(read(CoreScenario::registryText("", wow32)));
    EXPECT_EQ(path, wow32);
    EXPECT_THAT(messages(),
                ElementsAre(std::string("open qor key ") + kKey + " failed, error 2, try 32 bits"));
}

TEST_F(RegistryPath, EachFinalFailureIsLoggedAfterTheRetry)
{
    EXPECT_FALSE(read("REGEDIT4\n"));
    EXPECT_THAT(messages(),
                ElementsAre(std::string("open qor key ") + kKey + " failed, error 2, try 32 bits",
                            std::string("open qor key ") + kKey + " failed, error 2"));

    EXPECT_FALSE(read(CoreScenario::registryText(gone)));
    EXPECT_THAT(messages(), ElementsAre("file '" + gone + "' not exist, try 32 bits",
                                        std::string("open qor key ") + kKey + " failed, error 2"));

    EXPECT_FALSE(read(CoreScenario::registryText(gone, gone)));
    EXPECT_THAT(messages(), ElementsAre("file '" + gone + "' not exist, try 32 bits",
                                        "file '" + gone + "' not exist, fatal error"));
    EXPECT_TRUE(path.empty());
}

TEST_F(RegistryPath, ValuesThatCannotBeReadAreReportedWithTheirError)
{
    const std::string noValue =
        std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\") + kKey +
        "]\n\"Other\"=\"x\"\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Trevik\\QOR\\2.0]\n"
        "\"Path\"=\"" +
        std::string(300, 'a') + "\"\n";
    EXPECT_FALSE(read(noValue));
    EXPECT_THAT(messages(), ElementsAre("read qor key Path failed, error 2, try 32 bits",
                                        "read qor key Path failed, error 234"));
}

} // namespace
