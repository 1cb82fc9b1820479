#include <ZubDebugLogUtils.h>

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The stand-in's debug-log file, which people read beside the demo; the
// product's tests read the log's capture, so they fail with it.
TEST(DebugLogTest, FileLineKeepsPlaceholdersOfTheMessage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("debug.log");
    qputenv("ZUB_DEBUG_LOG", QFile::encodeName(path));
    ZubDebugLogUtils::getInstance()->info("50%1 done %2%3 %4", "p.cpp", "fp", 7);
    qunsetenv("ZUB_DEBUG_LOG");

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("info: 50%1 done %2%3 %4 [fp p.cpp:7]\n"));
}
