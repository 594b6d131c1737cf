// One copy per user: the activation request between copies, and what a
// crashed copy leaves behind.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QSignalSpy>
#include <cstdlib>

#include "app/SingleInstance.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

namespace almanary {
namespace {

// A name no other test, and no copy on the desktop, uses.
QString uniqueName() {
    static int counter = 0;
    return QStringLiteral("almanary-test-%1-%2").arg(::getpid()).arg(++counter);
}

bool oneActivation(QSignalSpy& spy) {
    return (spy.count() == 1 || spy.wait(5000)) && spy.count() == 1;
}

// Takes the lock of `name` in a child process that then ends with _exit,
// as a crash would: no unlock, no socket cleanup. Whether it got the lock.
bool takeLockAndDie(const QString& name) {
    int report[2];
    if (::pipe(report) != 0)
        std::abort();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        SingleInstance instance(name);
        const char took = instance.tryBecomePrimary() ? '1' : '0';
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

// A crashed copy leaves its lock and socket file; the next start takes over
// both, and a start after that is refused and hands its request over.
TEST(SingleInstanceTest, ACopyThatDiedDoesNotBlockTheNextStartWhichRefusesASecond) {
    // The lock and the socket go into this test's own runtime folder.
    const testing::TempDir runtime;
    const testing::ScopedEnvironment env("XDG_RUNTIME_DIR", runtime.path().c_str());
    const QString name = uniqueName();
    ASSERT_TRUE(takeLockAndDie(name));

    SingleInstance next(name);
    ASSERT_TRUE(QFile::exists(next.lockFilePath()) && QFile::exists(next.serverPath()));
    ASSERT_TRUE(next.tryBecomePrimary());
    QSignalSpy activations(&next, &SingleInstance::activationRequested);
    SingleInstance later(name);
    EXPECT_FALSE(later.tryBecomePrimary());
    EXPECT_TRUE(later.activateRunningCopy());
    EXPECT_TRUE(oneActivation(activations));
}

}  // namespace
}  // namespace almanary
