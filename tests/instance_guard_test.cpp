#include "windows/instance_guard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <thread>

namespace {
constexpr const char *kHoldFlag = "--hold-guard-in";
}

class InstanceGuardTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;

    // Another process that claims the guard in directory and then waits to
    // be killed; it prints a line once it holds the claim.
    bool startHolder(QProcess &holder, const QString &directory)
    {
        holder.start(QCoreApplication::applicationFilePath(), {QLatin1String(kHoldFlag), directory});
        return holder.waitForStarted() && holder.waitForReadyRead(10000)
            && holder.readAll().startsWith("holding");
    }

private slots:
    void init() { QVERIFY(m_runtime.isValid()); }

    void theFirstCopyClaimsAndTheSecondIsTurnedAway()
    {
        InstanceGuard first(m_runtime.path());
        QVERIFY(!first.anotherCopyRuns());
        QVERIFY(!first.anotherCopyRuns()); // asking again does not count itself

        InstanceGuard second(m_runtime.path());
        QVERIFY(second.anotherCopyRuns());
    }

    void theClaimEndsWithTheGuard()
    {
        {
            InstanceGuard first(m_runtime.path());
            QVERIFY(!first.anotherCopyRuns());
        }
        InstanceGuard next(m_runtime.path());
        QVERIFY(!next.anotherCopyRuns());
    }

    void anotherUsersCopyDoesNotBlock()
    {
        // Each user's copy looks in that user's own runtime directory.
        QTemporaryDir otherUser;
        InstanceGuard theirs(otherUser.path());
        QVERIFY(!theirs.anotherCopyRuns());
        InstanceGuard mine(m_runtime.path());
        QVERIFY(!mine.anotherCopyRuns());
    }

    void aGuardThatCannotWorkNeverClaimsAnotherCopy_data()
    {
        QTest::addColumn<QString>("directory");
        QFile blocker(m_runtime.filePath(QStringLiteral("a-file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        QTest::newRow("under a file") << m_runtime.filePath(QStringLiteral("a-file/run"));
        QTest::newRow("no directory at all") << QString();
    }

    void aGuardThatCannotWorkNeverClaimsAnotherCopy()
    {
        QFETCH(QString, directory);
        InstanceGuard first(directory);
        InstanceGuard second(directory);
        QVERIFY(!first.anotherCopyRuns());
        QVERIFY(!second.anotherCopyRuns());
    }

    void aKilledCopyDoesNotBlockTheNext()
    {
        QProcess holder;
        QVERIFY(startHolder(holder, m_runtime.path()));
        {
            InstanceGuard mine(m_runtime.path());
            QVERIFY(mine.anotherCopyRuns());
        }
        ::kill(static_cast<pid_t>(holder.processId()), SIGKILL);
        QVERIFY(holder.waitForFinished());

        InstanceGuard mine(m_runtime.path());
        QVERIFY(!mine.anotherCopyRuns());
    }

    void twoCopiesAtTheSameMomentLetOneThrough()
    {
        for (int round = 0; round < 20; ++round) {
            QTemporaryDir runtime;
            InstanceGuard a(runtime.path());
            InstanceGuard b(runtime.path());
            bool aBlocked = false, bBlocked = false;
            std::thread other([&] { bBlocked = b.anotherCopyRuns(); });
            aBlocked = a.anotherCopyRuns();
            other.join();
            QVERIFY2(aBlocked != bBlocked, qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kHoldFlag) == 0) {
        InstanceGuard guard(QString::fromLocal8Bit(argv[2]));
        if (guard.anotherCopyRuns())
            return 1;
        std::puts("holding");
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::minutes(5));
        return 0;
    }
    InstanceGuardTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "instance_guard_test.moc"
