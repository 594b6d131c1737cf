// One copy per user: a crashed copy's leftovers, and a second copy's request.

#include "app/SingleInstance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QSignalSpy>

#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

namespace almanary::testing {
namespace {

// Whether a child process took the lock of `name` before ending as a crash would.
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

// The next start takes over a crashed copy's leftovers; a second one hands over.
TEST(SingleInstanceTest, ACopyThatDiedDoesNotBlockTheNextStartWhichRefusesASecond) {
    const TempDir runtime;  // the lock and the socket go here
    const ScopedEnvironment env("XDG_RUNTIME_DIR", runtime.path().c_str());
    const QString name = QStringLiteral("almanary-test-%1").arg(::getpid());
    ASSERT_TRUE(takeLockAndDie(name));

    SingleInstance next(name);
    ASSERT_TRUE(QFile::exists(next.lockFilePath()) && QFile::exists(next.serverPath()));
    ASSERT_TRUE(next.tryBecomePrimary());
    QSignalSpy activations(&next, &SingleInstance::activationRequested);
    SingleInstance later(name);
    EXPECT_FALSE(later.tryBecomePrimary());
    EXPECT_TRUE(later.activateRunningCopy());
    EXPECT_TRUE(activations.count() == 1 || activations.wait(5000));
    EXPECT_EQ(activations.count(), 1);
}

}  // namespace
}  // namespace almanary::testing
