#include "qt/desktop/instance_guard.h"

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
        desktop::InstanceGuard first(m_runtime.path());
        QVERIFY(first.claim());
        QVERIFY(first.claim()); // asking again does not count itself

        desktop::InstanceGuard second(m_runtime.path());
        QVERIFY(!second.claim());
    }

    void theClaimEndsWithTheGuard()
    {
        {
            desktop::InstanceGuard first(m_runtime.path());
            QVERIFY(first.claim());
        }
        desktop::InstanceGuard next(m_runtime.path());
        QVERIFY(next.claim());
    }

    void anotherUsersCopyDoesNotBlock()
    {
        // Each user's copy looks in that user's own runtime directory.
        QTemporaryDir otherUser;
        desktop::InstanceGuard theirs(otherUser.path());
        QVERIFY(theirs.claim());
        desktop::InstanceGuard mine(m_runtime.path());
        QVERIFY(mine.claim());
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
        desktop::InstanceGuard first(directory);
        desktop::InstanceGuard second(directory);
        QVERIFY(first.claim());
        QVERIFY(second.claim());
    }

    void aKilledCopyDoesNotBlockTheNext()
    {
        QProcess holder;
        QVERIFY(startHolder(holder, m_runtime.path()));
        {
            desktop::InstanceGuard mine(m_runtime.path());
            QVERIFY(!mine.claim());
        }
        ::kill(static_cast<pid_t>(holder.processId()), SIGKILL);
        QVERIFY(holder.waitForFinished());

        desktop::InstanceGuard mine(m_runtime.path());
        QVERIFY(mine.claim());
    }

    void twoCopiesAtTheSameMomentLetOneThrough()
    {
        for (int round = 0; round < 20; ++round) {
            QTemporaryDir runtime;
            desktop::InstanceGuard a(runtime.path());
            desktop::InstanceGuard b(runtime.path());
            bool aBlocked = false, bBlocked = false;
            std::thread other([&] { bBlocked = !b.claim(); });
            aBlocked = !a.claim();
            other.join();
            QVERIFY2(aBlocked != bBlocked, qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kHoldFlag) == 0) {
        desktop::InstanceGuard guard(QString::fromLocal8Bit(argv[2]));
        if (!guard.claim())
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
