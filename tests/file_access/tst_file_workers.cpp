// The file-access service's workers: answers whole, limits kept, a volume
// that does not answer given up on until it does, the window's events
// handled while it waits.

#include "file_access/file_workers.h"
#include "test_files.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstdlib>

using namespace ruzez;
using Outcome = FileAccess::Outcome;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(FileAccess::Outcome)

namespace {

// A share that answers once a file exists: the operation waits for the path it is given.
QByteArray waitForFile(const QByteArray &path)
{
    while (!QFileInfo::exists(QString::fromUtf8(path)))
        QThread::msleep(10);
    return "done";
}

FileOperations operations()
{
    return {
        {"echo", [](const QByteArray &input) { return input; }},
        {"big", [](const QByteArray &input) { return QByteArray(input.toInt(), 'x'); }},
        {"wait", &waitForFile},
        {"crash", [](const QByteArray &) -> QByteArray { std::abort(); }},
    };
}

} // namespace

class TestFileWorkers : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FileWorkers> m_workers;
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        m_workers = std::make_unique<FileWorkers>(operations());
        QVERIFY(m_workers->started());
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("operation");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<FileAccess::Outcome>("outcome");
        QTest::addColumn<int>("size");
        QTest::newRow("an answer") << QByteArray("echo") << QByteArray("a\0b", 3) << Outcome::Answered << 3;
        QTest::newRow("an empty answer") << QByteArray("echo") << QByteArray() << Outcome::Answered << 0;
        QTest::newRow("larger than a pipe holds") << QByteArray("big") << QByteArray("3000000") << Outcome::Answered << 3000000;
        QTest::newRow("unknown operation") << QByteArray("nothing") << QByteArray() << Outcome::Failed << 0;
        QTest::newRow("a worker that crashes") << QByteArray("crash") << QByteArray() << Outcome::Failed << 0;
    }
    void answers()
    {
        QFETCH(QByteArray, operation);
        QFETCH(QByteArray, input);
        QFETCH(FileAccess::Outcome, outcome);
        QFETCH(int, size);
        for (const auto waiting : {FileAccess::Waiting::Still, FileAccess::Waiting::AnsweringWindow}) {
            const FileAccess::Reply reply = m_workers->run(operation, input, QStringLiteral("disc"), 10s, waiting);
            QCOMPARE(reply.outcome, outcome);
            QCOMPARE(reply.data.size(), size);
            if (operation == "echo")
                QCOMPARE(reply.data, input);
        }
    }

    // A call past its limit is given up on; its volume fails at once until
    // the worker has ended, other volumes go on.
    void aVolumeThatDoesNotAnswer()
    {
        const QString answered = m_dir.filePath(QStringLiteral("answered"));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(m_workers->run("wait", answered.toUtf8(), QStringLiteral("share"), 300ms).outcome, Outcome::NoAnswer);
        QVERIFY(clock.elapsed() >= 300 && clock.elapsed() < 2000);
        clock.restart();
        QCOMPARE(m_workers->run("echo", "x", QStringLiteral("share"), 300ms).outcome, Outcome::NoAnswer);
        QVERIFY(clock.elapsed() < 100);
        QCOMPARE(m_workers->run("echo", "x", QStringLiteral("disc"), 300ms).outcome, Outcome::Answered);
        QVERIFY(!m_workers->answering(QStringLiteral("share")));

        QVERIFY(test::writeAll(answered, {}));
        QTRY_VERIFY(m_workers->answering(QStringLiteral("share")));
        QCOMPARE(m_workers->run("echo", "x", QStringLiteral("share"), 1s).outcome, Outcome::Answered);
    }

    // The window paints and takes clicks while a slow call runs.
    void eventsRunWhileWaiting()
    {
        const QString answered = m_dir.filePath(QStringLiteral("later"));
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            if (++ticks == 5)
                test::writeAll(answered, {});
        });
        timer.start(20);
        const FileAccess::Reply reply = m_workers->run("wait", answered.toUtf8(), QStringLiteral("slow"), 10s,
                                                       FileAccess::Waiting::AnsweringWindow);
        QCOMPARE(reply.outcome, Outcome::Answered);
        QCOMPARE(reply.data, QByteArray("done"));
        QVERIFY(ticks >= 5);
    }
};

QTEST_GUILESS_MAIN(TestFileWorkers)
#include "tst_file_workers.moc"
