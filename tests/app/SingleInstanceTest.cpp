// One copy per user: the activation request between copies, and what a
// crashed copy leaves behind.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QSignalSpy>
#include <cstdlib>

#include "app/SingleInstance.h"

namespace almanary {
namespace {

// A name no other test, and no copy on the desktop, uses.
QString UniqueName() {
    static int counter = 0;
    return QStringLiteral("almanary-test-%1-%2").arg(::getpid()).arg(++counter);
}

bool WaitForActivations(QSignalSpy& spy, int count) {
    while (spy.count() < count) {
        if (!spy.wait(5000))
            return false;
    }
    return spy.count() == count;
}

// Takes the lock of `name` in a child process that then ends with _exit,
// as a crash would: no unlock, no socket cleanup. Whether it got the lock.
bool TakeLockAndDie(const QString& name) {
    int report[2];
    if (::pipe(report) != 0)
        std::abort();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        SingleInstance instance(name);
        const char took = instance.TryBecomePrimary() ? '1' : '0';
        (void)!::write(report[1], &took, 1);
        ::_exit(0);
    }
    ::close(report[1]);
    char took = 0;
    const bool ok = ::read(report[0], &took, 1) == 1 && took == '1';
    ::close(report[0]);
    ::waitpid(pid, nullptr, 0);
    return ok;
}

TEST(SingleInstanceTest, ASecondStartIsRefusedAndItsRequestsReachTheFirst) {
    const QString name = UniqueName();
    SingleInstance first(name);
    ASSERT_TRUE(first.TryBecomePrimary());
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    SingleInstance second(name);
    EXPECT_FALSE(second.TryBecomePrimary());
    EXPECT_TRUE(second.ActivateRunningCopy());
    EXPECT_TRUE(WaitForActivations(activations, 1));
}

TEST(SingleInstanceTest, TheLockOfACopyThatDiedDoesNotBlockTheNextStart) {
    const QString name = UniqueName();
    ASSERT_TRUE(TakeLockAndDie(name));

    SingleInstance next(name);
    ASSERT_TRUE(QFile::exists(next.lockFilePath())) << "the dead copy's lock is still there";
    ASSERT_TRUE(QFile::exists(next.serverPath())) << "and so is its socket file";
    ASSERT_TRUE(next.TryBecomePrimary());

    // The old socket file was replaced by a live one.
    QSignalSpy activations(&next, &SingleInstance::activationRequested);
    SingleInstance later(name);
    EXPECT_FALSE(later.TryBecomePrimary());
    EXPECT_TRUE(later.ActivateRunningCopy());
    EXPECT_TRUE(WaitForActivations(activations, 1));
}

}  // namespace
}  // namespace almanary
