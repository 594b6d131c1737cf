// Options: what it shows, OK's checks, the shares, the sound, and the window after it.

#include "app/OptionsDialog.h"

#include <QCheckBox>
#include <QLineEdit>

#include "events/ViewEventsDialog.h"
#include "support/MainWindowHarness.h"
#include "support/ScopedCurrentFolder.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using Shares = std::vector<std::pair<std::string, std::string>>;

std::string madeFolder(const std::string& path) {
    std::filesystem::create_directories(path);
    return path;
}

// On the main window's session, in a folder holding "reminder.wav", the data folder empty.
class OptionsDialogTest : public MainWindowHarness {
protected:
    OptionsDialogTest() { writeFile(chime, "RIFF"); }

    // Opens the dialog on the almanary saved as cal.alm.
    void open(const DocumentSettings& settings) {
        AlmanaryDocument document;
        document.settings = settings;
        session().replace(std::move(document), cal);
        session().setLoadOnStart(settings.loadOnStart);
        prompter.clearShown();
        dialog = std::make_unique<OptionsDialog>(nullptr, session(), window().services());
        dialog->show();
        QCoreApplication::processEvents();  // the check made once it is on screen
    }

    QLineEdit* edit(const char* name) { return child<QLineEdit>(*dialog, name); }
    void click(const char* check) { child<QCheckBox>(*dialog, check)->click(); }
    // Types into a box as the user does, in place of what it holds.
    void type(const char* box, const char* text) {
        edit(box)->setFocus();
        edit(box)->selectAll();
        QTest::keyClicks(edit(box), QString::fromUtf8(text));
    }
    // '1' for each check box ticked, then for each box or button usable.
    std::string states() {
        std::string out;
        for (const char* name : checks)
            out += child<QCheckBox>(*dialog, name)->isChecked() ? '1' : '0';
        out += ' ';
        for (const char* name : {"minutesEdit", "passwordEdit", "shareNameEdit", "soundEdit",
                                 "selectSoundButton", "playButton", "defaultSoundButton"})
            out += child(*dialog, name)->isEnabled() ? '1' : '0';
        return out;
    }

    // The registered shares, withdrawn for the next case.
    Shares takeShares() {
        SettingsStore store;
        EXPECT_TRUE(store.open(dir.file("settings.sqlite")));
        Shares out;
        for (const ShareRegistry::Share& s : ShareRegistry(store).all()) {
            out.emplace_back(s.name, s.path);
            ShareRegistry(store).withdraw(s.name);
        }
        return out;
    }
    // The box has the focus, with all its text selected.
    void expectRefusedIn(const char* box) {
        EXPECT_EQ(dialog->focusWidget(), edit(box)) << box;
        EXPECT_EQ(edit(box)->selectedText(), edit(box)->text()) << box;
    }

    const std::vector<const char*> checks = {"loadOnStartCheck", "autosaveCheck", "passwordCheck",
                                             "twelveHourCheck",  "shareCheck",    "playSoundCheck"};
    ScopedCurrentFolder here{madeFolder(dir.file("here"))};
    ScopedEnvironment data{"ALMANARY_DATA", madeFolder(dir.file("data")).c_str()};
    const std::string cal = dir.file("cal.alm");
    const std::string chime = dir.file("here/reminder.wav");
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
        {{.playSound = true, .shareName = "Gone", .soundFile = "gone"}, "000000 0000001", "", {}},
        {{.autosave = true, .autosaveMinutes = 0}, "010000 1000001", "", {EnterIntegerBetween}},
        // A period not in use is not checked.
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
    }
}

// Refused as typed, and on OK at the first fault in order, storing nothing, its box selected.
TEST_F(OptionsDialogTest, EntriesAreCheckedAsTypedAndOnOkInOrder) {
    open({.autosave = true});
    type("minutesEdit", "61");
    EXPECT_TRUE(prompter.takeIds() == Ids{EnterIntegerBetween} && dialog->changed());
    expectRefusedIn("minutesEdit");
    for (const char* check : {"passwordCheck", "shareCheck"})
        click(check);
    std::filesystem::remove(chime);  // asked about last, so never here
    const std::tuple<const char*, MessageId, const char*> refusals[] = {
        {"minutesEdit", EnterIntegerBetween, "5"},
        {"passwordEdit", PasswordRequired, "pw"},
        {"shareNameEdit", ShareNameRequired, "Mine"},
    };
    for (const auto& [box, refusal, putRight] : refusals) {
        press(*dialog, "okButton");
        EXPECT_EQ(prompter.takeIds(), Ids{refusal});
        expectRefusedIn(box);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(session().settings(), DocumentSettings{.autosave = true});
        type(box, putRight);
    }
}

// OK stores every entry, the window following; Cancel stores nothing, yet is a change.
TEST_F(OptionsDialogTest, OkStoresEveryEntryAndTheWindowFollows) {
    const DocumentSettings before{.shareName = "Work", .password = "old"};
    const DocumentSettings stored = {true, true, true, true, 7, "", "reminder.wav", ""};
    const DocumentSettings loads{
        .loadOnStart = true, .autosaveMinutes = 7, .shareName = "Work", .password = "old"};
    session().replace(document({}), cal);
    session().storeEvent(makeEvent({2024, 3, 1, "9", "00", "breakfast", "30"}), nullptr);
    ViewEventsDialog view(&window(), session(), window().services());
    // Clicked, Enter pressed on, stored, changed.
    const std::tuple<std::vector<const char*>, const char*, DocumentSettings, bool> cases[] = {
        {{"loadOnStartCheck"}, "okButton", loads, false},
        {checks, "cancelButton", before, true},
        {checks, "okButton", stored, true},  // last: the window changes with it
    };
    for (const auto& [ticked, button, after, changed] : cases) {
        SCOPED_TRACE(button);
        share("Work", cal);
        session().setSettings(before);
        session().markUnchanged();
        whenModal<OptionsDialog>(modalContext, [&](OptionsDialog& options) {
            for (const char* check : ticked)
                child<QCheckBox>(options, check)->click();
            child<QLineEdit>(options, "minutesEdit")->setText("7");
            pressKey(options, button);
        });
        window().runCommand(MainCommand::Options);
        const bool ok = after == stored;
        EXPECT_EQ(session().settings(), after);
        EXPECT_EQ(session().hasUnsavedChanges(), changed);
        EXPECT_EQ(takeShares(), ok ? Shares{} : (Shares{{"Work", cal}}));
        EXPECT_EQ(DateTimeText::getTwelveHourClock(), ok);
        EXPECT_EQ(child<QLineEdit>(view, "timeEdit1")->text(),
                  QString(ok ? "9:00 AM - 9:30" : "9:00 - 9:30"));
        EXPECT_EQ(window().autosaveTimer().isActive() ? window().autosaveTimer().interval() : 0,
                  ok ? 420000 : 0);
    }
}

// A name sharing another file moves only on Yes; renaming or unticking withdraws the old.
TEST_F(OptionsDialogTest, ShareNamesAreMovedOnlyOnYesAndOldNamesWithdrawn) {
    const std::string other = dir.file("other.alm");
    // The name typed (none: Allow Internet share unticked), the answer; the shares after.
    const std::tuple<const char*, std::optional<MessageAnswer>, Shares> cases[] = {
        {"Work", No, {{"Old", cal}, {"Work", other}}},
        {"Work", Yes, {{"Work", cal}}},
        {"New", std::nullopt, {{"Work", other}, {"New", cal}}},
        {nullptr, std::nullopt, {{"Work", other}}},
    };
    for (const auto& [typed, answer, after] : cases) {
        SCOPED_TRACE(typed ? typed : "unticked");
        share("Old", cal);
        share("Work", other);
        open({.shareName = "Old"});
        if (typed)
            type("shareNameEdit", typed);
        else
            click("shareCheck");
        if (answer)
            prompter.answer(*answer);
        press(*dialog, "okButton");
        EXPECT_EQ(prompter.ids, answer ? Ids{ShareNameTaken} : Ids{});
        const bool closes = answer != No;
        EXPECT_EQ(dialog->isVisible(), !closes);
        EXPECT_EQ(session().settings().shareName, closes ? (typed ? typed : "") : "Old");
        EXPECT_EQ(takeShares(), after);
    }
}

// The sound buttons (Enter works on them only); a sound not found is asked about on OK.
TEST_F(OptionsDialogTest, TheSoundIsPlayedWhereFoundAndAskedAboutWhereNot) {
    std::filesystem::remove(chime);
    const std::string found = dir.file("found.wav");
    writeFile(found, "RIFF");
    open({.playSound = true, .soundFile = found});
    files.choose(dir.file("chosen.wav"));
    pressKey(*dialog, "playButton");
    pressKey(*dialog, "selectSoundButton");
    for (const char* elsewhere : {"loadOnStartCheck", "minutesEdit", "soundEdit"})
        pressKey(*dialog, elsewhere);
    press(*dialog, "playButton");
    EXPECT_EQ(edit("soundEdit")->text().toStdString(), dir.file("chosen.wav"));
    pressKey(*dialog, "defaultSoundButton");
    EXPECT_EQ(edit("soundEdit")->text(), "reminder.wav");
    EXPECT_EQ(sound.played, std::vector<std::string>{found});
    EXPECT_EQ(prompter.ids, Ids{SoundMissing});
    EXPECT_EQ(prompter.args[0], std::vector<std::string>{dir.file("chosen.wav")});
    prompter.answer(No);
    press(*dialog, "okButton");
    EXPECT_EQ(prompter.ids.back(), SoundMissingOnOk);
    EXPECT_EQ(prompter.args.back(), std::vector<std::string>{"reminder.wav"});
    prompter.answer(Yes);
    press(*dialog, "okButton");
    EXPECT_TRUE(!dialog->isVisible() && dialog->result() == QDialog::Accepted);
    EXPECT_EQ(session().settings(), DocumentSettings{});
}

}  // namespace
}  // namespace almanary::testing
