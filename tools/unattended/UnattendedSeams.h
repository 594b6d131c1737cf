#pragma once
// The desktop seams for runs without a person at the screen (the
// screenshot renderer, the benchmarks): no message box, file chooser or
// sound ever waits, and the clock stands still.

#include <QPrinter>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/ColourChooser.h"
#include "platform/FileChooser.h"
#include "platform/PrinterChooser.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"

namespace almanary {

// Answers every message with Cancel and counts it; with `report`, names
// each one on standard error.
class DecliningPrompter : public Prompter {
public:
    explicit DecliningPrompter(const char* report = nullptr) : report_(report) {}

    using Prompter::show;
    MessageAnswer show(QWidget*, MessageId id, const std::vector<std::string>& args = {}) override {
        if (report_ != nullptr) {
            std::fprintf(stderr, "%s: unexpected message %d", report_, static_cast<int>(id));
            for (const std::string& arg : args)
                std::fprintf(stderr, " [%s]", arg.c_str());
            std::fprintf(stderr, "\n");
        }
        ++count_;
        return MessageAnswer::Cancel;
    }
    int count() const { return count_; }

private:
    const char* report_;
    int count_ = 0;
};

class NoFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseToOpen(QWidget*, FileKind, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseToSave(QWidget*, FileKind, const std::string&) override {
        return std::nullopt;
    }
    bool isOpen() const override { return false; }
    void raise() override {}
};

class NoColourChooser : public ColourChooser {
public:
    std::optional<QColor> chooseColour(QWidget*, const QColor&) override { return std::nullopt; }
};

class NoPrinterChooser : public PrinterChooser {
public:
    std::unique_ptr<QPrinter> choosePrinter(QWidget*) override { return nullptr; }
};

class SilentSoundPlayer : public SoundPlayer {
public:
    bool play(const std::string&) override { return true; }
};

class FixedClock : public Clock {
public:
    explicit FixedClock(DateTime now) : now_(now) {}
    DateTime now() const override { return now_; }

private:
    DateTime now_;
};

}  // namespace almanary
