#pragma once
// Doubles for the seams, and a document session on them for the windows
// that work on one. The message and file-chooser doubles answer from a
// script: a question beyond it, or an answer never asked for, fails the test.

#include <gtest/gtest.h>

#include <QObject>
#include <QPrinter>
#include <deque>
#include <optional>
#include <string>
#include <vector>

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

namespace almanary {
inline void PrintTo(MessageId id, std::ostream* out) {
    *out << "message " << static_cast<int>(id);
}
}  // namespace almanary

namespace almanary::testing {

using Ids = std::vector<MessageId>;

// Notes every message shown, in order, with its arguments.
class FakePrompter : public Prompter {
public:
    ~FakePrompter() override { EXPECT_TRUE(answers_.empty()) << "answers never asked for"; }

    // The answer to the next message with more than an OK button.
    void answer(MessageAnswer answer) { answers_.push_back(answer); }

    using Prompter::show;
    MessageAnswer show(QWidget*, MessageId id, const std::vector<std::string>& arguments) override {
        ids.push_back(id);
        args.push_back(arguments);
        if (MessageTable::find(id).buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers_.empty()) {
            ADD_FAILURE() << "unscripted question: " << MessageTable::format({id, arguments});
            return MessageAnswer::Cancel;
        }
        const MessageAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    void clearShown() {
        ids.clear();
        args.clear();
    }

    Ids ids;
    std::vector<std::vector<std::string>> args;

private:
    std::deque<MessageAnswer> answers_;
};

class FakeFileChooser : public FileChooser {
public:
    ~FakeFileChooser() override { EXPECT_TRUE(answers_.empty()) << "choices never asked for"; }

    void choose(const std::string& path) { answers_.push_back(path); }

    using Path = std::optional<std::string>;
    Path chooseToOpen(QWidget*, FileKind, const std::string&) override { return next(); }
    Path chooseToSave(QWidget*, FileKind, const std::string&) override { return next(); }
    bool isOpen() const override { return false; }
    void raise() override {}

private:
    Path next() {
        if (answers_.empty()) {
            ADD_FAILURE() << "unscripted file chooser";
            return std::nullopt;
        }
        std::string answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::deque<std::string> answers_;
};

// Answers colour choices from a script; nothing scripted is a cancel.
class FakeColourChooser : public ColourChooser {
public:
    ~FakeColourChooser() override { EXPECT_TRUE(answers_.empty()) << "colours never asked for"; }

    void choose(std::optional<QColor> answer) { answers_.push_back(answer); }

    std::optional<QColor> chooseColour(QWidget*, const QColor& initial) override {
        offered.push_back(initial);
        if (answers_.empty()) {
            ADD_FAILURE() << "unscripted colour chooser";
            return std::nullopt;
        }
        const std::optional<QColor> answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    std::vector<QColor> offered;  // the colour each chooser started from

private:
    std::deque<std::optional<QColor>> answers_;
};

// Hands out PDF printers writing to the files a test names, in turn;
// an empty name cancels the print dialog.
class FakePrinterChooser : public PrinterChooser {
public:
    ~FakePrinterChooser() override { EXPECT_TRUE(answers_.empty()) << "printers never asked for"; }

    void choose(const std::string& pdfPath) { answers_.push_back(pdfPath); }

    std::unique_ptr<QPrinter> choosePrinter(QWidget*) override {
        if (answers_.empty()) {
            ADD_FAILURE() << "unscripted print dialog";
            return nullptr;
        }
        const std::string path = answers_.front();
        answers_.pop_front();
        if (path.empty())
            return nullptr;
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(path));
        return printer;
    }

private:
    std::deque<std::string> answers_;
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

class SeamDoubles : public ::testing::Test {
protected:
    SeamDoubles() { DateTimeText::setTwelveHourClock(false); }  // process-wide

    ScopedTimeZone zone{"Europe/London"};
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
