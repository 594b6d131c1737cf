#pragma once
// The desktop seams for unattended rendering: no message box, file
// chooser or sound ever waits for a person, and the clock stands still so
// every run draws the same windows.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"

namespace almanary::screenshots {

// Answers every message with Cancel and counts it: a sample that makes the
// program speak is a broken sample.
class QuietPrompter : public Prompter {
public:
    MessageAnswer Show(QWidget*, int id, const std::vector<std::string>& args = {}) override {
        std::fprintf(stderr, "almanary-screenshots: unexpected message %d", id);
        for (const std::string& arg : args)
            std::fprintf(stderr, " [%s]", arg.c_str());
        std::fprintf(stderr, "\n");
        ++count_;
        return MessageAnswer::Cancel;
    }
    int count() const { return count_; }

private:
    int count_ = 0;
};

class NoFileChooser : public FileChooser {
public:
    std::optional<std::string> ChooseToOpen(QWidget*, FileKind, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseToSave(QWidget*, FileKind, const std::string&) override {
        return std::nullopt;
    }
    bool IsOpen() const override { return false; }
    void Raise() override {}
};

class SilentSoundPlayer : public SoundPlayer {
public:
    bool Play(const std::string&) override { return true; }
};

class FixedClock : public Clock {
public:
    explicit FixedClock(DateTime now) : now_(now) {}
    DateTime Now() const override { return now_; }

private:
    DateTime now_;
};

}  // namespace almanary::screenshots
