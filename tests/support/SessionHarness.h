#pragma once
// Seam doubles (scripted ones fail a test on an unscripted or unused answer) and a session.

#include <gtest/gtest.h>

#include <QPrinter>
#include <deque>

#include "app/MessageTable.h"
#include "document/DocumentSession.h"
#include "model/DateTimeText.h"
#include "platform/AppServices.h"
#include "platform/Clock.h"
#include "platform/ColourChooser.h"
#include "platform/FileChooser.h"
#include "platform/PrinterChooser.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "support/DialogDriving.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"

namespace almanary {
inline void PrintTo(MessageId id, std::ostream* out) {
    *out << "message " << static_cast<int>(id);
}
}  // namespace almanary

namespace almanary::testing {

using Ids = std::vector<MessageId>;
using enum MessageId;  // messages and answers by name, as the window tests speak of them
using enum MessageAnswer;

// The answers a double gives, in turn.
template <typename Answer>
class Script {
public:
    explicit Script(const char* what) : what_(what) {}
    ~Script() { EXPECT_TRUE(answers_.empty()) << what_ << " never asked for"; }

    void push(Answer answer) { answers_.push_back(std::move(answer)); }
    std::optional<Answer> next() {
        EXPECT_FALSE(answers_.empty()) << "unscripted " << what_;
        if (answers_.empty())
            return std::nullopt;
        std::optional<Answer> answer = std::move(answers_.front());
        answers_.pop_front();
        return answer;
    }

private:
    const char* what_;
    std::deque<Answer> answers_;
};

// Notes every message shown, in order, with its arguments.
class FakePrompter : public Prompter {
public:
    // The answer to the next message with more than an OK button.
    void answer(MessageAnswer answer) { answers_.push(answer); }

    using Prompter::show;
    MessageAnswer show(QWidget*, MessageId id, const std::vector<std::string>& arguments) override {
        ids.push_back(id);
        args.push_back(arguments);
        if (MessageTable::find(id).buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        return answers_.next().value_or(MessageAnswer::Cancel);
    }

    void clearShown() { args.clear(), ids.clear(); }
    // The messages shown so far, forgotten for the next step.
    Ids takeIds() { return args.clear(), std::exchange(ids, {}); }

    Ids ids;
    std::vector<std::vector<std::string>> args;

private:
    Script<MessageAnswer> answers_{"answers"};
};

class FakeFileChooser : public FileChooser {
public:
    void choose(const std::string& path) { answers_.push(path); }

    using Path = std::optional<std::string>;
    Path chooseToOpen(QWidget*, FileKind, const std::string&) override { return answers_.next(); }
    Path chooseToSave(QWidget*, FileKind, const std::string&) override { return answers_.next(); }
    bool isOpen() const override { return false; }
    void raise() override {}

private:
    Script<std::string> answers_{"file choices"};
};

// Answers colour choices from a script; nullopt is a cancel.
class FakeColourChooser : public ColourChooser {
public:
    void choose(std::optional<QColor> answer) { answers_.push(answer); }

    std::optional<QColor> chooseColour(QWidget*, const QColor& initial) override {
        offered.push_back(initial);
        return answers_.next().value_or(std::nullopt);
    }
    std::vector<QColor> offered;  // the colour each chooser started from

private:
    Script<std::optional<QColor>> answers_{"colours"};
};

// Hands out PDF printers on the files named, in turn; an empty name cancels.
class FakePrinterChooser : public PrinterChooser {
public:
    template <typename Printer = QPrinter>
    void choose(const std::string& pdfPath) {
        answers_.push([pdfPath]() -> std::unique_ptr<QPrinter> {
            if (pdfPath.empty())
                return nullptr;
            auto printer = std::make_unique<Printer>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QString::fromStdString(pdfPath));
            return printer;
        });
    }

    std::unique_ptr<QPrinter> choosePrinter(QWidget*) override {
        if (meanwhile)
            std::exchange(meanwhile, {})();
        const auto make = answers_.next();
        return make ? (*make)() : nullptr;
    }
    std::function<void()> meanwhile;  // done once while the print dialog is up

private:
    Script<std::function<std::unique_ptr<QPrinter>()>> answers_{"print dialogs"};
};

// A clock that stands still at the time a test sets.
struct FakeClock : Clock {
    DateTime now() const override { return time; }
    void set(DateTime value) { time = value; }
    DateTime time = 0;
};

// Notes every sound it is asked to play.
struct FakeSoundPlayer : SoundPlayer {
    bool play(const std::string& path) override {
        played.push_back(path);
        return true;
    }
    std::vector<std::string> played;
};

// An event on 4 March 2024 with a reminder `lead` minutes ahead.
inline Event reminded(const std::string& hour, const std::string& notes, int lead = 15) {
    Event event = makeEvent({2024, 3, 4, hour, "00", notes, "30"});
    event.setRemind(true);
    event.setRemindMinutes(lead);
    return event;
}

class SeamDoubles : public ::testing::Test {
protected:
    SeamDoubles() { DateTimeText::setTwelveHourClock(false); }  // process-wide

    ScopedTimeZone zone{"Europe/London"};
    TempDir dir;  // the test's own files
    FakePrompter prompter;
    FakeFileChooser files;
    FakeColourChooser colours;
    FakePrinterChooser printers;
    FakeSoundPlayer sound;
    FakeClock clock;
    QObject modalContext;  // ends pending whenModal actions
};

class SessionHarness : public SeamDoubles {
protected:
    const EventList& events() const { return session.events(); }

    // Adds an event as a file would hold it, leaving the document unchanged.
    void store(const EventSpec& shape) {
        AlmanaryDocument document = session.document();
        document.events.insert(makeEvent(shape));
        session.replace(std::move(document), session.path());
    }

    // `count` 30-minute events of 2024, every quarter hour from 9:00, noted "<tag>1"...
    void addDay(int month, int day, int count, const std::string& tag,
                const std::string& category = "") {
        for (int i = 0, minutes = 9 * 60; i < count; ++i, minutes += 15)
            store({2024, month, day, std::to_string(minutes / 60),
                   (minutes % 60 ? "" : "0") + std::to_string(minutes % 60),
                   tag + std::to_string(i + 1), "30", category});
    }

    // An empty, unchanged document with these category names.
    void reset(const std::vector<std::string>& categories = {}) {
        AlmanaryDocument document;
        document.categories = CategoryList(categories);
        session.replace(std::move(document), {});
    }

    AppServices services{prompter, files, colours, printers, sound, clock, {}, {}, {}};
    DocumentSession session;
};

}  // namespace almanary::testing
