// One copy per user: the lock, the activation request between copies, what
// a crashed copy leaves behind, and where the program's own files live.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "app/AppPaths.h"
#include "app/SingleInstance.h"

namespace almanary {
namespace {

constexpr int kWaitMs = 5000;

// A name no other test, and no copy on the desktop, uses.
QString UniqueName() {
    static int counter = 0;
    return QStringLiteral("almanary-test-%1-%2").arg(::getpid()).arg(++counter);
}

bool WaitForActivations(QSignalSpy& spy, int count) {
    while (spy.count() < count) {
        if (!spy.wait(kWaitMs))
            return false;
    }
    return spy.count() == count;
}

// A child process that takes the lock of `name`, says whether it got it
// through a pipe and then, unless it should die at once, waits for a byte
// on a second pipe. Either way it ends with _exit, as a crash would: no
// unlock, no socket cleanup.
class LockHolder {
public:
    LockHolder(const QString& name, bool dieAtOnce) {
        int report[2];
        int release[2];
        if (::pipe(report) != 0 || ::pipe(release) != 0)
            std::abort();
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only the parent writes to `release`: its end closing is the signal.
            ::close(release[1]);
            ::close(report[0]);
            SingleInstance instance(name);
            const char took = instance.TryBecomePrimary() ? '1' : '0';
            (void)!::write(report[1], &took, 1);
            char ignored = 0;
            if (!dieAtOnce)
                (void)!::read(release[0], &ignored, 1);
            ::_exit(0);
        }
        ::close(report[1]);
        ::close(release[0]);
        char took = 0;
        tookLock_ = ::read(report[0], &took, 1) == 1 && took == '1';
        ::close(report[0]);
        release_ = release[1];
    }
    ~LockHolder() { End(); }

    bool tookLock() const { return tookLock_; }

    // Lets the child end and collects it, so its process id is gone.
    void End() {
        if (pid_ <= 0)
            return;
        ::close(release_);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool tookLock_ = false;
};

TEST(SingleInstanceTest, ASecondStartIsRefusedAndItsRequestsReachTheFirst) {
    const QString name = UniqueName();
    SingleInstance first(name);
    ASSERT_TRUE(first.TryBecomePrimary());
    EXPECT_TRUE(first.TryBecomePrimary()) << "asking again changes nothing";
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    SingleInstance second(name);
    EXPECT_FALSE(second.TryBecomePrimary());
    EXPECT_TRUE(second.ActivateRunningCopy());
    EXPECT_TRUE(second.ActivateRunningCopy());
    EXPECT_TRUE(WaitForActivations(activations, 2));
}

TEST(SingleInstanceTest, CopiesWithOtherNamesDoNotMeet) {
    SingleInstance first(UniqueName());
    SingleInstance other(UniqueName());
    ASSERT_TRUE(first.TryBecomePrimary());
    EXPECT_TRUE(other.TryBecomePrimary());
    EXPECT_NE(first.lockFilePath(), other.lockFilePath());
}

TEST(SingleInstanceTest, TheLockIsFreeAgainOnceTheFirstCopyHasEnded) {
    const QString name = UniqueName();
    {
        SingleInstance first(name);
        ASSERT_TRUE(first.TryBecomePrimary());
    }
    SingleInstance next(name);
    EXPECT_FALSE(QFile::exists(next.lockFilePath()));
    EXPECT_FALSE(next.ActivateRunningCopy()) << "nobody listens any more";
    EXPECT_TRUE(next.TryBecomePrimary());
}

TEST(SingleInstanceTest, ALiveCopyInAnotherProcessKeepsItsLockAndTakesRequests) {
    const QString name = UniqueName();
    LockHolder holder(name, /*dieAtOnce=*/false);
    ASSERT_TRUE(holder.tookLock());

    SingleInstance second(name);
    EXPECT_FALSE(second.TryBecomePrimary());
    // The holder is not reading, but its socket takes the request.
    EXPECT_TRUE(second.ActivateRunningCopy());
}

TEST(SingleInstanceTest, TheLockOfACopyThatDiedDoesNotBlockTheNextStart) {
    const QString name = UniqueName();
    LockHolder crashed(name, /*dieAtOnce=*/true);
    ASSERT_TRUE(crashed.tookLock());
    crashed.End();

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

// Anything other than the request is dropped without an activation, and
// the copy keeps answering real requests afterwards.
TEST(SingleInstanceTest, GarbageOnTheSocketIsDroppedWithoutActivation) {
    const QString name = UniqueName();
    SingleInstance first(name);
    ASSERT_TRUE(first.TryBecomePrimary());
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    const std::string garbage[] = {
        "hello\n",
        "ACTIVATE\n",
        "activatE\n",
        "activate!",
        std::string("activ\0te\n", 9),
        std::string(1 << 20, 'x'),
    };
    for (const std::string& bytes : garbage) {
        SCOPED_TRACE(bytes.substr(0, 16));
        QLocalSocket client;
        QSignalSpy dropped(&client, &QLocalSocket::disconnected);
        client.connectToServer(first.serverPath());
        ASSERT_TRUE(client.waitForConnected(kWaitMs));
        client.write(bytes.data(), static_cast<qint64>(bytes.size()));
        EXPECT_TRUE(dropped.wait(kWaitMs)) << "the copy hangs up";
    }
    EXPECT_EQ(activations.count(), 0);

    SingleInstance second(name);
    EXPECT_TRUE(second.ActivateRunningCopy());
    EXPECT_TRUE(WaitForActivations(activations, 1));
}

TEST(SingleInstanceTest, ASilentClientDoesNotHoldUpARealRequest) {
    const QString name = UniqueName();
    SingleInstance first(name);
    ASSERT_TRUE(first.TryBecomePrimary());
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    QLocalSocket silent;
    silent.connectToServer(first.serverPath());
    ASSERT_TRUE(silent.waitForConnected(kWaitMs));
    SingleInstance second(name);
    EXPECT_TRUE(second.ActivateRunningCopy());
    EXPECT_TRUE(WaitForActivations(activations, 1));
}

TEST(SingleInstanceTest, ARequestThatArrivesInPiecesStillCounts) {
    const QString name = UniqueName();
    SingleInstance first(name);
    ASSERT_TRUE(first.TryBecomePrimary());
    QSignalSpy activations(&first, &SingleInstance::activationRequested);

    QLocalSocket client;
    client.connectToServer(first.serverPath());
    ASSERT_TRUE(client.waitForConnected(kWaitMs));
    client.write("acti");
    ASSERT_TRUE(client.waitForBytesWritten(kWaitMs));
    // Lets the copy accept the connection and see the first piece.
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
    EXPECT_EQ(client.state(), QLocalSocket::ConnectedState);
    client.write("vate\n");
    ASSERT_TRUE(client.waitForBytesWritten(kWaitMs));
    EXPECT_TRUE(WaitForActivations(activations, 1));
}

// Environment variables by name; nullopt: unset.
using Variables = std::map<std::string, std::optional<std::string>>;

// Sets environment variables and restores them afterwards.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const Variables& values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
            Set(name, value);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_)
            Set(name, value);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    static void Set(const std::string& name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    Variables saved_;
};

TEST(AppPathsTest, TheSkinsFolderFollowsTheEnvironment) {
    using Value = std::optional<std::string>;
    struct Case {
        Value skins, dataHome, home;
        std::string expected;
    };
    const Case cases[] = {
        {"/srv/skins", "/data", "/home/ann", "/srv/skins"},
        {"", "/data", "/home/ann", "/data/almanary/Skins"},
        {std::nullopt, "/data", "/home/ann", "/data/almanary/Skins"},
        // A relative data folder is not a valid one and is ignored.
        {std::nullopt, "data", "/home/ann", "/home/ann/.local/share/almanary/Skins"},
        {std::nullopt, "", "/home/ann", "/home/ann/.local/share/almanary/Skins"},
        {std::nullopt, std::nullopt, "/home/ann", "/home/ann/.local/share/almanary/Skins"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        ScopedEnvironment env(Variables{
            {"ALMANARY_SKINS", c.skins}, {"XDG_DATA_HOME", c.dataHome}, {"HOME", c.home}});
        EXPECT_EQ(AppPaths::SkinsFolder(), c.expected);
    }
}

TEST(AppPathsTest, TheSettingsAreTheSettingsStoresFile) {
    ScopedEnvironment env(Variables{{"ALMANARY_SETTINGS", "/tmp/elsewhere/settings.sqlite"}});
    EXPECT_EQ(AppPaths::SettingsPath(), "/tmp/elsewhere/settings.sqlite");
}

}  // namespace
}  // namespace almanary
