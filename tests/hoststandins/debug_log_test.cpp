#include <ZubDebugLogUtils.h>
#include "ZubHostTesting.h"
#include "QtPrinters.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

// The stand-in's debug-log file, which the demo writes for people to read.
// The product's tests read the log's capture, so they fail with it.
class DebugLogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ZubHostTesting::clearDebugLog();
        ZubHostTesting::captureDebugLog(true);
    }
    void TearDown() override
    {
        ZubHostTesting::captureDebugLog(false);
        qunsetenv("ZUB_DEBUG_LOG");
    }

    QTemporaryDir m_dir;
};

TEST_F(DebugLogTest, FileSinkGetsOneWholeLinePerCallFromManyThreads)
{
    const QString path = m_dir.filePath("debug.log");
    qputenv("ZUB_DEBUG_LOG", QFile::encodeName(path));
    const int threads = 4, perThread = 100;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([t] {
            for (int i = 0; i < perThread; ++i)
                ZubDebugLogUtils::getInstance()->error(QString("line %1-%2\nsecond").arg(t).arg(i),
                                                       "w.cpp", "worker", i);
        });
    for (auto& w : workers)
        w.join();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), threads * perThread + 1); // trailing newline
    // Threads interleave in any order; every call must stand whole on a line of its own.
    QSet<QByteArray> expected;
    for (int t = 0; t < threads; ++t)
        for (int i = 0; i < perThread; ++i)
            expected.insert(
                QString("error: line %1-%2 second [worker w.cpp:%2]").arg(t).arg(i).toUtf8());
    const QSet<QByteArray> written(lines.begin(), lines.end() - 1);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(ZubHostTesting::debugLogEntries().size(), size_t(threads * perThread));
}

TEST_F(DebugLogTest, FileLineKeepsPlaceholdersOfTheMessage)
{
    const QString path = m_dir.filePath("debug.log");
    qputenv("ZUB_DEBUG_LOG", QFile::encodeName(path));
    ZubDebugLogUtils::getInstance()->info("50%1 done %2%3 %4", "p.cpp", "fp", 7);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("info: 50%1 done %2%3 %4 [fp p.cpp:7]\n"));
}
