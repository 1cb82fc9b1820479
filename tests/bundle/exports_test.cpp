#include "QtPrinters.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

// The plug-in hides everything of its own but getbundle, also what the
// statically linked client layer brings along.
TEST(PluginExportsTest, DynamicSymbolTableDefinesGetbundleAlone)
{
    const QString nm = QStandardPaths::findExecutable("nm");
    if (nm.isEmpty())
        GTEST_SKIP() << "nm is not installed";
    QProcess process;
    process.start(
        nm, {"-D", "--defined-only", QCoreApplication::applicationDirPath() + "/" + PLUGIN_FILE});
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

    QStringList symbols;
    for (const QString& line :
         QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        symbols << line.section(' ', -1);
    EXPECT_EQ(symbols, QStringList{"getbundle"});
}
