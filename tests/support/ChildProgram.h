#pragma once
// A program run as a child, its output on a pipe; reads give up after 20 s, the end kills it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace almanary::testing {

class ChildProgram {
public:
    explicit ChildProgram(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        int out[2];
        EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        EXPECT_EQ(::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
    }
    ~ChildProgram() {
        if (pid_ > 0 && ::kill(pid_, SIGKILL) == 0)
            ::waitpid(pid_, nullptr, 0);
        ::close(out_);
    }
    ChildProgram(const ChildProgram&) = delete;

    // One line without its end; empty at the end of the output.
    std::string readLine() {
        std::string line;
        char c = 0;
        pollfd ready{out_, POLLIN, 0};
        while (::poll(&ready, 1, 20000) == 1 && ::read(out_, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }
    void signal(int number) { ::kill(pid_, number); }
    // Waits for the end: the exit status, or 128 and the signal that ended it.
    int exitStatus() {
        int status = 0;
        ::waitpid(std::exchange(pid_, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
};

}  // namespace almanary::testing
