// The main window: the keys, the close box, the exit sequence, the start-up
// and exit settings, and the timers.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <limits>

#include "app/MainTimers.h"
#include "app/PasswordDialog.h"
#include "app/SettingsStore.h"
#include "support/MainWindowHarness.h"

namespace almanary::testing {
namespace {

class MainWindowTest : public MainWindowHarness {
protected:
    QPushButton* button(const char* name) { return window().findChild<QPushButton*>(name); }

    void setStartSettings(int loadOnStart, const std::string& fileName) {
        SettingsStore store;
        ASSERT_TRUE(store.open(dir.file("settings.sqlite")) &&
                    store.setNumber("LoadOnStart", loadOnStart) &&
                    store.setText("FileName", fileName));
    }

    std::pair<std::int32_t, std::string> storedStartSettings() {
        SettingsStore store;
        std::int32_t number = -1;
        std::string text;
        EXPECT_TRUE(store.open(dir.file("settings.sqlite")) &&
                    store.queryNumber("LoadOnStart", number) && store.queryText("FileName", text));
        return {number, text};
    }
};

TEST_F(MainWindowTest, TheCloseBoxHidesWithATrayAndMinimisesWithout) {
    for (const bool tray : {true, false}) {
        SCOPED_TRACE(tray);
        window_.reset();
        MainWindow& w = window();
        w.setTrayAvailableCheck([tray] { return tray; });
        w.show();

        w.close();

        EXPECT_EQ(w.isVisible(), !tray);
        EXPECT_EQ(w.isMinimized(), !tray);
        EXPECT_FALSE(w.hasEnded()) << "the program goes on";
        EXPECT_TRUE(w.reminderTimer().isActive());
        EXPECT_TRUE(prompter.shown().empty());
    }
}

TEST_F(MainWindowTest, TheEnterKeyRunsTheFocusedButtonsCommandElseEnterEvent) {
    const std::pair<const char*, MainCommand> buttons[] = {
        {"enterEventButton", MainCommand::EnterEvent},
        {"viewEventsButton", MainCommand::ViewEvents},
        {"categoriesButton", MainCommand::Categories},
        {"loadButton", MainCommand::Load},
        {"saveButton", MainCommand::Save},
        {"exitButton", MainCommand::Exit},
    };
    MainWindow& w = window();
    w.show();
    EXPECT_EQ(w.commandForEnterKey(), MainCommand::EnterEvent);
    for (const auto& [name, command] : buttons) {
        button(name)->setFocus();
        EXPECT_EQ(w.commandForEnterKey(), command) << name;
    }
    // The key itself dispatches: Enter on Exit ends (nothing is unsaved).
    QTest::keyClick(button("exitButton"), Qt::Key_Enter);
    EXPECT_TRUE(w.hasEnded());
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(MainWindowTest, EscapeAsksAboutUnsavedChangesAndCancelKeepsTheProgram) {
    MainWindow& w = window();
    w.show();
    w.session().replace(document({"pending"}), "");
    w.session().markChanged();

    prompter.answer(MessageAnswer::Cancel);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(prompter.ids(), Ids{MessageId::UnsavedChanges});
    EXPECT_FALSE(w.hasEnded());
    EXPECT_TRUE(w.reminderTimer().isActive());

    prompter.answer(MessageAnswer::No);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.hasEnded());
    EXPECT_FALSE(w.reminderTimer().isActive());
}

TEST_F(MainWindowTest, TheLastFileIsLoadedAtStartOnlyWhenAskedWithOne) {
    const std::string path = writeAlmanary("last.alm", document({"last"}));
    struct Case {
        int loadOnStart;
        std::string fileName;
        bool loads;
        Ids messages;
    };
    const Case cases[] = {
        {1, path, true, {}},
        {2, path, false, {}},
        {1, dir.file("gone.alm"), false, {MessageId::FileNotFound}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        window_.reset();
        prompter.clearShown();
        setStartSettings(c.loadOnStart, c.fileName);
        MainWindow& w = window();

        w.initialise();

        EXPECT_EQ(w.session().path(), c.loads ? path : "");
        EXPECT_EQ(notesOf(w.session().document().events), c.loads ? Notes{"last"} : Notes{});
        EXPECT_EQ(w.session().document().settings.loadOnStart, c.loadOnStart == 1);
        EXPECT_EQ(prompter.ids(), c.messages);
    }
}

TEST_F(MainWindowTest, TheStartSettingsAreWrittenWhenTheWindowGoesAway) {
    // Reload chosen: both values are written.
    setStartSettings(1, dir.file("old.alm"));
    session().setLoadOnStart(true);
    session().replace(AlmanaryDocument{}, dir.file("now.alm"));
    button("exitButton")->click();
    EXPECT_EQ(storedStartSettings(), std::make_pair(1, dir.file("now.alm")));

    // Not chosen: only the switch, and the window destroyed without Exit.
    window_.reset();
    session().replace(AlmanaryDocument{}, dir.file("other.alm"));
    window_.reset();
    EXPECT_EQ(storedStartSettings(), std::make_pair(0, dir.file("now.alm")));
}

TEST_F(MainWindowTest, TheReviverLeavesARunningCountdownAloneAndRevivesAStoppedOne) {
    MainWindow& w = window();
    DocumentSettings settings = w.session().settings();
    settings.autosave = true;
    settings.autosaveMinutes = 10;
    w.session().setSettings(settings);
    w.restartTimers();
    const int starts = w.timers().autosaveStarts();

    w.onReviveTimer();
    EXPECT_EQ(w.timers().autosaveStarts(), starts) << "the countdown keeps its progress";

    w.stopTimers();
    EXPECT_TRUE(w.reviveTimer().isActive()) << "never stopped";
    w.onReviveTimer();
    EXPECT_TRUE(w.reminderTimer().isActive());
    EXPECT_TRUE(w.autosaveTimer().isActive());
    EXPECT_EQ(w.autosaveTimer().interval(), 600000);
    EXPECT_EQ(w.timers().autosaveStarts(), starts + 1);

    settings.autosave = false;
    w.session().setSettings(settings);
    w.onReviveTimer();
    EXPECT_FALSE(w.autosaveTimer().isActive());
}

TEST(MainTimersTest, TheAutosavePeriodComesFromTheSettings) {
    struct Case {
        bool autosave;
        std::int32_t minutes;
        std::optional<int> interval;
    };
    const int longest = std::numeric_limits<int>::max() / 60000 * 60000;
    for (const Case& c : {Case{false, 10, std::nullopt}, Case{true, 0, std::nullopt},
                          Case{true, 60, 3600000}, Case{true, 2147483647, longest}}) {
        DocumentSettings settings;
        settings.autosave = c.autosave;
        settings.autosaveMinutes = c.minutes;
        EXPECT_EQ(MainTimers::autosaveInterval(settings), c.interval) << c.minutes;
    }
}

TEST(PasswordDialogTest, APasswordStoredInAnOlderEncodingCanBeTyped) {
    FakePrompter prompter;
    PasswordDialog dialog(nullptr, prompter, nullptr);
    dialog.setExpected("caf\xE9");  // Latin-1, as an older file may hold it
    dialog.show();
    auto* edit = dialog.findChild<QLineEdit*>("passwordEdit");
    edit->setText(QString::fromUtf8("caf\xC3\xA9"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace almanary::testing
