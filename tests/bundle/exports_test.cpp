#include <ExportTable.h>

#include <QCoreApplication>
#include <gtest/gtest.h>

// The plug-in hides everything of its own but getbundle, also what the
// statically linked client layer brings along.
TEST(PluginExportsTest, ExportTableNamesGetbundleAlone)
{
    const std::string plugin =
        QCoreApplication::applicationDirPath().toStdString() + "/" + PLUGIN_FILE;
    EXPECT_EQ(exportedNames(plugin), std::vector<std::string>{"getbundle"});
}
