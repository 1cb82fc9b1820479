#include "PluginFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

// A copy of the test host and the plug-in in a suite layout of its own, so
// that the module folder (derived from the host's folder) is the test's.
// The layout lies in the build folder, where the copies find the libraries
// they are not given.
class ModuleLocationTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_suite.isValid());
        ASSERT_TRUE(QDir(m_suite.path()).mkpath("bin"));
        // Windows finds a program's libraries beside it: every library goes along.
        QStringList files =
            QDir(buildBin()).entryList({"*." + QFileInfo(PLUGIN_FILE).suffix()}, QDir::Files);
        files << FACADE_TEST_HOST_FILE;
        for (const QString& file : files)
            ASSERT_TRUE(QFile::copy(buildBin() + "/" + file, binDir() + "/" + file))
                << file.toStdString();
    }

    static QString buildBin() { return QCoreApplication::applicationDirPath(); }
    QString binDir() const { return m_suite.path() + "/bin"; }

    // Runs the host with `steps`; its output lines after the first, which
    // names the host's folder.
    QStringList run(const QStringList& steps)
    {
        QProcess host;
        host.start(binDir() + "/" + FACADE_TEST_HOST_FILE, steps);
        EXPECT_TRUE(host.waitForFinished(30000));
        EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
        // Windows' text-mode standard output ends each line with CR LF.
        QStringList lines = QString::fromUtf8(host.readAllStandardOutput())
                                .remove('\r')
                                .split('\n', Qt::SkipEmptyParts);
        if (lines.isEmpty() || !lines.front().startsWith("appdir="))
            return lines;
        m_hostAppDir = lines.takeFirst().mid(7);
        return lines;
    }

    QString installStep() const { return "install:" + modulePathFor(buildBin()); }
    QString expectedLoadDirectory() const
    {
        return "probe.dir=" + QDir::toNativeSeparators(moduleDirFor(m_hostAppDir));
    }

    QTemporaryDir m_suite{buildBin() + "/../suite-XXXXXX"};
    QString m_hostAppDir;
};

TEST_F(ModuleLocationTest, MissingOrBrokenModuleGivesNullRestoresTheDirectoryAndIsTriedAgain)
{
    const QString log = m_suite.filePath("debug.log");
    qputenv("ZUB_DEBUG_LOG", QFile::encodeName(log));
    const QStringList lines =
        run({"setdir:/opt/before", "call", "junk", "call", installStep(), "call", "probe"});
    qunsetenv("ZUB_DEBUG_LOG");
    EXPECT_EQ(QDir(m_hostAppDir).canonicalPath(), QDir(binDir()).canonicalPath());
    const QStringList expected{
        "null",   "dlldir=/opt/before", "null",          "dlldir=/opt/before",
        "facade", "dlldir=/opt/before", "probe.calls=1", expectedLoadDirectory()};
    EXPECT_EQ(lines, expected);

    // A failed load is no error of the host's: its log stays empty.
    QFile file(log);
    EXPECT_TRUE(!file.open(QIODevice::ReadOnly) || file.readAll().isEmpty());
}

TEST_F(ModuleLocationTest, ModuleBelowTheApplicationFolderLoadsAndNoDirectoryIsLeftSet)
{
    const QStringList lines = run({installStep(), "call", "call", "probe"});
    const QStringList expected{"facade",  "dlldir=",       "facade",
                               "dlldir=", "probe.calls=1", expectedLoadDirectory()};
    EXPECT_EQ(lines, expected);
}
