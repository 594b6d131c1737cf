// Options: what the dialog shows, OK's checks in order, the share it
// registers, the sound it looks for, the Enter key, and the main window after it.

#include "app/OptionsDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>

#include "app/AppPaths.h"
#include "app/SettingsStore.h"
#include "events/ViewEventsDialog.h"
#include "share/ShareRegistry.h"
#include "support/MainWindowHarness.h"
#include "support/ScopedCurrentFolder.h"
#include "support/ScopedEnvironment.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using Shares = std::vector<std::pair<std::string, std::string>>;
using enum MessageId;
using enum MessageAnswer;

// Settings as a document holds them, with `change` made.
template <typename Change>
DocumentSettings with(Change change) {
    DocumentSettings settings;
    change(settings);
    return settings;
}

std::string madeFolder(const std::string& path) {
    std::filesystem::create_directories(path);
    return path;
}

// The dialog on the main window's session and settings store, in a current
// folder that holds "reminder.wav", with an empty data folder.
class OptionsDialogTest : public MainWindowHarness {
protected:
    OptionsDialogTest() { writeFile(chime, "RIFF"); }

    // Opens the dialog on the almanary saved at `path` (empty: never saved).
    void open(const DocumentSettings& settings, const std::string& path) {
        AlmanaryDocument document;
        document.settings = settings;
        session().replace(std::move(document), path);
        session().setLoadOnStart(settings.loadOnStart);
        prompter.clearShown();
        dialog = std::make_unique<OptionsDialog>(nullptr, session(), window().services());
        dialog->show();
        QCoreApplication::processEvents();  // the check made once it is on screen
    }
    void open(const DocumentSettings& settings) { open(settings, cal); }

    QLineEdit* edit(const char* name) { return child<QLineEdit>(*dialog, name); }
    void click(const char* check) { child<QCheckBox>(*dialog, check)->click(); }
    // The Enter key on a control, as the user presses it there.
    void enter(const char* control) {
        child(*dialog, control)->setFocus();
        QTest::keyClick(child(*dialog, control), Qt::Key_Return);
    }
    // Types into a box as the user does, in place of what it holds.
    void type(const char* box, const char* text) {
        edit(box)->setFocus();
        edit(box)->selectAll();
        QTest::keyClicks(edit(box), QString::fromUtf8(text));
    }
    // '1' for each check box ticked, then for each box or button usable.
    std::string states() {
        std::string out;
        for (const char* name : {"loadOnStartCheck", "autosaveCheck", "passwordCheck",
                                 "twelveHourCheck", "shareCheck", "playSoundCheck"})
            out += child<QCheckBox>(*dialog, name)->isChecked() ? '1' : '0';
        out += ' ';
        for (const char* name : {"minutesEdit", "passwordEdit", "shareNameEdit", "soundEdit",
                                 "selectSoundButton", "playButton", "defaultSoundButton"})
            out += child(*dialog, name)->isEnabled() ? '1' : '0';
        return out;
    }

    void share(const std::string& name, const std::string& path) {
        ASSERT_TRUE(store.open(dir.file("settings.sqlite")) &&
                    ShareRegistry(store).publish(name, path));
    }
    // The registered shares, withdrawn for the next case.
    Shares takeShares() {
        Shares out;
        for (const ShareRegistry::Share& s : ShareRegistry(store).all()) {
            out.emplace_back(s.name, s.path);
            ShareRegistry(store).withdraw(s.name);
        }
        return out;
    }
    bool closedWith(int result) { return !dialog->isVisible() && dialog->result() == result; }
    // The box has the focus, with all its text selected.
    void expectRefusedIn(const char* box) {
        EXPECT_EQ(dialog->focusWidget(), edit(box)) << box;
        EXPECT_EQ(edit(box)->selectedText(), edit(box)->text()) << box;
    }

    // Runs the Options command; `act` works the dialog once it is up.
    void runOptions(std::function<void(OptionsDialog&)> act) {
        whenModal<OptionsDialog>(modalContext, std::move(act));
        window().runCommand(MainCommand::Options);
    }

    ScopedCurrentFolder here{madeFolder(dir.file("here"))};
    ScopedEnvironment data{"ALMANARY_DATA", madeFolder(dir.file("data")).c_str()};
    const std::string cal = dir.file("cal.alm");
    const std::string chime = dir.file("here/reminder.wav");
    SettingsStore store;
    std::unique_ptr<OptionsDialog> dialog;
};

TEST_F(OptionsDialogTest, TheDialogOpensOnTheSettingsAndTheSharesStillRegistered) {
    share("Work", cal);
    const struct {
        DocumentSettings settings;
        const char *states, *shareName;
        Ids shown;
    } cases[] = {
        {{}, "000000 0000001", "", {}},
        {{true, true, true, true, 15, "Work", "reminder.wav", "pw"}, "111111 1111111", "Work", {}},
        // An unregistered share; a sound that has gone is unticked.
        {with([](auto& s) { s.playSound = true, s.shareName = "Gone", s.soundFile = "gone"; }),
         "000000 0000001",
         "",
         {}},
        {with([](auto& s) { s.autosave = true, s.autosaveMinutes = 0; }),
         "010000 1000001",
         "",
         {EnterIntegerBetween}},
        // A period not in use is not checked.
        {with([](auto& s) { s.autosaveMinutes = 61; }), "000000 0000001", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.states);
        open(c.settings);
        EXPECT_EQ(states(), c.states);
        EXPECT_EQ(edit("minutesEdit")->text(), QString::number(c.settings.autosaveMinutes));
        EXPECT_EQ(edit("passwordEdit")->text().toStdString(), c.settings.password);
        EXPECT_EQ(edit("shareNameEdit")->text(), c.shareName);
        EXPECT_EQ(edit("soundEdit")->text().toStdString(), c.settings.soundFile);
        EXPECT_EQ(prompter.ids, c.shown);
        if (!c.shown.empty())
            expectRefusedIn("minutesEdit");
        EXPECT_FALSE(dialog->changed());
    }
    // The last: a period not in use does not stop OK, and stays as it was.
    press(*dialog, "okButton");
    EXPECT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(session().settings().autosaveMinutes, 61);
}

// The first check that fails says why, keeps the dialog open and stores
// nothing; the box at fault gets the focus.
TEST_F(OptionsDialogTest, OkChecksTheEntriesInOrderAndStopsAtTheFirstRefusal) {
    // What is entered (null: left alone; in `set`, p: Password ticked, g: the
    // sound gone, u: never saved), the answers, what is shown, and the box
    // at fault. The dialog closes when nothing stops it.
    const char *m = "minutesEdit", *p = "passwordEdit", *n = "shareNameEdit";
    const struct {
        const char *minutes, *shareName, *set;
        std::vector<MessageAnswer> answers;
        Ids shown;
        const char* refusedIn;
    } cases[] = {
        {"", nullptr, "", {}, {EnterInteger}, m},
        {"61", nullptr, "p", {}, {EnterIntegerBetween}, m},
        {nullptr, "", "p", {}, {PasswordRequired}, p},
        {nullptr, "", "g", {}, {ShareNameRequired}, n},
        {nullptr, "Work", "u", {}, {SaveBeforeSharing}, n},
        {nullptr, "ÄÖÜäöüßÄÖÜä", "", {}, {TooManyCharacters}, n},
        {nullptr, nullptr, "g", {No}, {SoundMissingOnOk}, nullptr},
        {nullptr, "Taken", "g", {Yes, No}, {SoundMissingOnOk, ShareNameTaken}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << (c.minutes ? c.minutes : "") << "/" << (c.shareName ? c.shareName : ""));
        writeFile(chime, "RIFF");
        share("Taken", dir.file("other.alm"));
        const auto has = [&](char f) {
            return std::string_view(c.set).find(f) != std::string::npos;
        };
        open({}, has('u') ? "" : cal);
        if (c.minutes) {
            click("autosaveCheck");
            edit("minutesEdit")->setText(QString::fromUtf8(c.minutes));
        }
        if (has('p'))
            click("passwordCheck");
        if (c.shareName) {
            click("shareCheck");
            edit("shareNameEdit")->setText(QString::fromUtf8(c.shareName));
        }
        if (has('g'))
            std::filesystem::remove(chime);
        for (const MessageAnswer answer : c.answers)
            prompter.answer(answer);
        press(*dialog, "okButton");
        EXPECT_EQ(prompter.ids, c.shown);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(session().settings(), DocumentSettings{});
        EXPECT_EQ(takeShares(), (Shares{{"Taken", dir.file("other.alm")}}));
        if (c.refusedIn)
            expectRefusedIn(c.refusedIn);
    }
}

// OK (here the Enter key on it) stores every entry, a password only while
// ticked; Cancel and the session closing its windows store nothing, though
// something changed.
TEST_F(OptionsDialogTest, OkStoresEveryEntryAndCancelNothing) {
    const DocumentSettings before = with([](auto& s) { s.shareName = "Work", s.password = "old"; });
    const DocumentSettings stored = {true, true, true, true, 7, "", "reminder.wav", ""};
    const std::function<void()> ends[] = {
        [this] { enter("okButton"); },
        [this] { enter("cancelButton"); },
        [this] { EXPECT_TRUE(session().closeWindows()); },
    };
    for (const auto& end : ends) {
        share("Work", cal);
        open(before);
        for (const char* name : {"loadOnStartCheck", "autosaveCheck", "passwordCheck",
                                 "twelveHourCheck", "shareCheck", "playSoundCheck"})
            click(name);
        edit("minutesEdit")->setText("7");
        end();
        const bool ok = &end == &ends[0];
        EXPECT_TRUE(closedWith(ok ? QDialog::Accepted : QDialog::Rejected));
        EXPECT_TRUE(dialog->changed());
        EXPECT_EQ(session().settings(), ok ? stored : before);
        EXPECT_EQ(takeShares(), ok ? Shares{} : (Shares{{"Work", cal}}));
    }
}

// A wrong period is pointed out as soon as the box holds it; the box keeps
// the focus with its text selected, so typing goes on over it.
TEST_F(OptionsDialogTest, TheMinutesAreCheckedAsTheyAreTyped) {
    open(with([](auto& s) { s.autosave = true; }));
    const std::pair<const char*, Ids> typed[] = {
        {"5", {}}, {"61", {EnterIntegerBetween}}, {"x", {EnterInteger}}, {"45", {}}};
    for (const auto& [text, shown] : typed) {
        SCOPED_TRACE(text);
        prompter.clearShown();
        type("minutesEdit", text);
        EXPECT_EQ(prompter.ids, shown);
        if (!shown.empty())
            expectRefusedIn("minutesEdit");
    }
    EXPECT_TRUE(dialog->changed());
}

// On OK, a name that shares another file moves here only on Yes (the same
// file, however its path is spelt, is no other); renaming or unticking
// withdraws the document's old name.
TEST_F(OptionsDialogTest, ShareNamesAreMovedOnlyOnYesAndOldNamesWithdrawn) {
    const std::string other = dir.file("other.alm");
    const struct {
        std::string workShares;
        const char* typed;  // null: Allow Internet share unticked
        std::optional<MessageAnswer> answer;
        Shares after;
    } cases[] = {
        {other, "Work", No, {{"Old", cal}, {"Work", other}}},
        {other, "Work", Yes, {{"Work", cal}}},
        {dir.file("here/../cal.alm"), "Work", std::nullopt, {{"Work", cal}}},
        {other, "New", std::nullopt, {{"Work", other}, {"New", cal}}},
        {other, nullptr, std::nullopt, {{"Work", other}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed ? c.typed : "unticked");
        share("Old", cal);
        share("Work", c.workShares);
        open(with([](auto& s) { s.shareName = "Old"; }));
        if (c.typed)
            type("shareNameEdit", c.typed);
        else
            click("shareCheck");
        if (c.answer)
            prompter.answer(*c.answer);
        press(*dialog, "okButton");
        EXPECT_EQ(prompter.ids, c.answer ? Ids{ShareNameTaken} : Ids{});
        const bool closes = c.answer != No;
        EXPECT_EQ(dialog->isVisible(), !closes);
        EXPECT_EQ(session().settings().shareName, closes ? (c.typed ? c.typed : "") : "Old");
        EXPECT_EQ(takeShares(), c.after);
    }
}

// Play sound plays the sound found, or says it is gone; Select new sound
// takes the chosen file. Default Sound names the program's chime: where it
// is not found OK asks, and Yes keeps it with Play sound off; the shipped
// one is found in the data folder. The Enter key presses the focused button
// and does nothing on any other control.
TEST_F(OptionsDialogTest, TheSoundIsPlayedWhereFoundAndAskedAboutWhereNot) {
    std::filesystem::remove(chime);
    for (const bool shipped : {false, true}) {
        SCOPED_TRACE(shipped);
        ScopedEnvironment installed("ALMANARY_DATA", shipped ? nullptr : dir.file("data").c_str());
        const std::string found = dir.file("found.wav");
        writeFile(found, "RIFF");
        open(with([&](auto& s) { s.playSound = true, s.soundFile = found; }));
        files.choose(dir.file("chosen.wav"));
        enter("playButton");
        enter("selectSoundButton");
        for (const char* elsewhere : {"loadOnStartCheck", "minutesEdit", "soundEdit"})
            enter(elsewhere);
        press(*dialog, "playButton");
        EXPECT_EQ(edit("soundEdit")->text().toStdString(), dir.file("chosen.wav"));
        enter("defaultSoundButton");
        EXPECT_EQ(edit("soundEdit")->text(), "reminder.wav");
        press(*dialog, "playButton");
        const std::string installedChime = AppPaths::dataFolder() + "/reminder.wav";
        EXPECT_EQ(sound.played, shipped ? (std::vector<std::string>{found, installedChime})
                                        : std::vector<std::string>{found});
        EXPECT_EQ(prompter.ids, shipped ? Ids{SoundMissing} : (Ids{SoundMissing, SoundMissing}));
        EXPECT_EQ(prompter.args[0], std::vector<std::string>{dir.file("chosen.wav")});
        if (!shipped) {
            prompter.answer(No);
            press(*dialog, "okButton");
            EXPECT_EQ(prompter.ids.back(), SoundMissingOnOk);
            EXPECT_EQ(prompter.args.back(), std::vector<std::string>{"reminder.wav"});
            prompter.answer(Yes);
        }
        press(*dialog, "okButton");
        EXPECT_TRUE(closedWith(QDialog::Accepted));
        EXPECT_EQ(session().settings(), with([&](auto& s) { s.playSound = shipped; }));
        sound.played.clear();
    }
}

// However the dialog ends, a change marks the document (Load last Almanary
// is the program's choice, not the file's: no change); the clock follows
// the settings (an open View Events shows the new times) and autosave runs
// as they ask.
TEST_F(OptionsDialogTest, AfterOptionsTheChangeClockAndAutosaveFollowTheSettings) {
    AlmanaryDocument document;
    document.events.insert(makeEvent({2024, 3, 1, "9", "00", "breakfast", "30"}));
    session().replace(document, writeAlmanary("cal.alm", document));
    ViewEventsDialog view(&window(), session(), window().services());
    QLineEdit* time = child<QLineEdit>(view, "timeEdit1");
    const std::vector<const char*> edits = {"twelveHourCheck", "autosaveCheck"};
    const std::tuple<std::vector<const char*>, const char*, bool, bool, int> cases[] = {
        {{}, "okButton", false, false, 0},
        {{"loadOnStartCheck"}, "okButton", false, false, 0},
        {edits, "cancelButton", true, false, 0},
        {edits, "okButton", true, true, 300000},
    };
    for (const auto& [ticked, button, changed, twelveHour, autosaveMs] : cases) {
        SCOPED_TRACE(::testing::Message() << ticked.size() << button);
        session().markUnchanged();
        runOptions([&](OptionsDialog& options) {
            for (const char* check : ticked)
                child<QCheckBox>(options, check)->click();
            child<QLineEdit>(options, "minutesEdit")->setText("5");
            press(options, button);
        });
        EXPECT_EQ(session().hasUnsavedChanges(), changed);
        EXPECT_EQ(DateTimeText::getTwelveHourClock(), twelveHour);
        EXPECT_EQ(time->text(), QString(twelveHour ? "9:00 AM - 9:30" : "9:00 - 9:30"));
        EXPECT_EQ(window().autosaveTimer().isActive() ? window().autosaveTimer().interval() : 0,
                  autosaveMs);
    }
}

// The command brings a running dialog forward rather than open a second; a
// load ends it as Cancel, and the new document does not count as changed.
TEST_F(OptionsDialogTest, OneDialogAtATimeAndALoadEndsItAsCancel) {
    const std::string other = writeAlmanary("other.alm", document({"other"}));
    runOptions([&](OptionsDialog& options) {
        window().runCommand(MainCommand::Options);
        EXPECT_EQ(window().findChildren<OptionsDialog*>().size(), 1);
        child<QCheckBox>(options, "twelveHourCheck")->click();
        EXPECT_TRUE(window().loadDocument(other));
        EXPECT_FALSE(options.isVisible());
    });
    EXPECT_EQ(session().path(), other);
    EXPECT_FALSE(session().hasUnsavedChanges());
    EXPECT_FALSE(DateTimeText::getTwelveHourClock());
}

}  // namespace
}  // namespace almanary::testing
