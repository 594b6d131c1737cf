// The program as a whole, in real processes: a signal ends it keeping its
// unsaved changes, and a second start hands its file to the running copy.

#include "app/Application.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QSignalSpy>
#include <cstdio>
#include <string>
#include <vector>

#include "app/RecoveryFile.h"
#include "app/SingleInstance.h"
#include "model/AlmanaryFile.h"
#include "support/SampleEvents.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

extern char** environ;

namespace almanary::testing {
namespace {

// Every place the program keeps something, inside one temporary folder.
class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest() {
        for (const auto& [name, place] : {std::pair{"HOME", "home"},
                                          {"XDG_RUNTIME_DIR", "run"},
                                          {"ALMANARY_SETTINGS", "settings.sqlite"},
                                          {"ALMANARY_SKINS", "Skins"},
                                          {"ALMANARY_RECOVERY", "recovery"}}) {
            if (std::string(place).find('.') == std::string::npos) {
                std::filesystem::create_directories(dir.file(place));
                std::filesystem::permissions(dir.file(place), std::filesystem::perms::owner_all);
            }
            env.set(name, dir.file(place).c_str());
        }
        env.set("QT_QPA_PLATFORM", "offscreen");
    }

    // Starts a program with the arguments; its standard output comes back
    // through `output`.
    pid_t start(const char* program, std::vector<std::string> args, FILE** output) {
        int pipeEnds[2];
        EXPECT_EQ(::pipe(pipeEnds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(::posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[1]);
        *output = ::fdopen(pipeEnds[0], "r");
        return pid;
    }

    static int exitStatus(pid_t pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    TempDir dir;
    ScopedEnvironment env;
};

TEST_F(ApplicationTest, ASignalEndsTheProgramKeepingItsUnsavedChanges) {
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        FILE* output = nullptr;
        const pid_t pid = start(ALMANARY_CHANGED_WINDOW_PROGRAM, {}, &output);
        char line[16] = {};
        ASSERT_NE(std::fgets(line, sizeof line, output), nullptr);
        EXPECT_STREQ(line, "ready\n");
        ::kill(pid, signalNumber);
        EXPECT_EQ(exitStatus(pid), 0) << "ended through its own way out";
        std::fclose(output);

        const RecoveryFile recovery(dir.file("recovery"));
        const auto kept = recovery.find();
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->originalPath, "") << "the document was never saved";
        const AlmanaryLoad copy = AlmanaryFile::load(kept->copyPath, 0);
        ASSERT_TRUE(copy.ok());
        EXPECT_EQ(notesOf(copy.document->events), Notes{"Unsaved"});
        struct stat info {};
        ASSERT_EQ(::stat(kept->copyPath.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        recovery.discard();
    }
}

TEST_F(ApplicationTest, ASecondStartHandsItsFileToTheRunningCopy) {
    SingleInstance running;
    ASSERT_TRUE(running.tryBecomePrimary());
    QSignalSpy opened(&running, &SingleInstance::openRequested);
    // A relative name is made absolute by the start that was given it.
    const std::string cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    FILE* output = nullptr;
    const pid_t pid = start(ALMANARY_GUI_PROGRAM, {"cal.alm"}, &output);
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(opened.wait(10000));
    EXPECT_EQ(exitStatus(pid), 0);
    std::fclose(output);
    EXPECT_EQ(opened.at(0).at(0).toString().toStdString(), dir.file("cal.alm"));
}

}  // namespace
}  // namespace almanary::testing
