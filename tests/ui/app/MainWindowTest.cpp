// The main window: the keys, the close box, the exit sequence, the start-up
// and exit settings, and the timers.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <limits>

#include "app/MainTimers.h"
#include "support/MainWindowHarness.h"
#include "app/PasswordDialog.h"
#include "app/SettingsStore.h"

namespace almanary::testing {
namespace {

class MainWindowTest : public MainWindowHarness {
protected:
    QPushButton* Button(const char* name) { return Window().findChild<QPushButton*>(name); }

    void SetStartSettings(int loadOnStart, const std::string& fileName) {
        SettingsStore store;
        ASSERT_TRUE(store.Open(dir.file("settings.sqlite")) &&
                    store.SetNumber("LoadOnStart", loadOnStart) &&
                    store.SetText("FileName", fileName));
    }

    std::pair<std::int32_t, std::string> StoredStartSettings() {
        SettingsStore store;
        std::int32_t number = -1;
        std::string text;
        EXPECT_TRUE(store.Open(dir.file("settings.sqlite")) &&
                    store.QueryNumber("LoadOnStart", number) && store.QueryText("FileName", text));
        return {number, text};
    }
};

TEST_F(MainWindowTest, TheCloseBoxHidesWithATrayAndMinimisesWithout) {
    for (const bool tray : {true, false}) {
        SCOPED_TRACE(tray);
        window.reset();
        MainWindow& w = Window();
        w.SetTrayAvailableCheck([tray] { return tray; });
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
    MainWindow& w = Window();
    w.show();
    EXPECT_EQ(w.CommandForEnterKey(), MainCommand::EnterEvent);
    for (const auto& [name, command] : buttons) {
        Button(name)->setFocus();
        EXPECT_EQ(w.CommandForEnterKey(), command) << name;
    }
    // The key itself dispatches: Enter on Exit ends (nothing is unsaved).
    QTest::keyClick(Button("exitButton"), Qt::Key_Enter);
    EXPECT_TRUE(w.hasEnded());
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(MainWindowTest, EscapeAsksAboutUnsavedChangesAndCancelKeepsTheProgram) {
    MainWindow& w = Window();
    w.show();
    w.document = Document({"pending"});
    w.documentChanged = true;

    prompter.Answer(MessageAnswer::Cancel);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(prompter.ids(), Ids{MessageId::kUnsavedChanges});
    EXPECT_FALSE(w.hasEnded());
    EXPECT_TRUE(w.reminderTimer().isActive());

    prompter.Answer(MessageAnswer::No);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.hasEnded());
    EXPECT_FALSE(w.reminderTimer().isActive());
}

TEST_F(MainWindowTest, TheLastFileIsLoadedAtStartOnlyWhenAskedWithOne) {
    const std::string path = WriteAlmanary("last.alm", Document({"last"}));
    struct Case {
        int loadOnStart;
        std::string fileName;
        bool loads;
        Ids messages;
    };
    const Case cases[] = {
        {1, path, true, {}},
        {2, path, false, {}},
        {1, dir.file("gone.alm"), false, {MessageId::kFileNotFound}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        window.reset();
        prompter.ClearShown();
        SetStartSettings(c.loadOnStart, c.fileName);
        MainWindow& w = Window();

        w.Initialise();

        EXPECT_EQ(w.currentPath, c.loads ? path : "");
        EXPECT_EQ(NotesOf(w.document.events), c.loads ? Notes{"last"} : Notes{});
        EXPECT_EQ(w.document.settings.loadOnStart, c.loadOnStart == 1);
        EXPECT_EQ(prompter.ids(), c.messages);
    }
}

TEST_F(MainWindowTest, TheStartSettingsAreWrittenWhenTheWindowGoesAway) {
    // Reload chosen: both values are written.
    SetStartSettings(1, dir.file("old.alm"));
    Window().document.settings.loadOnStart = true;
    Window().currentPath = dir.file("now.alm");
    Button("exitButton")->click();
    EXPECT_EQ(StoredStartSettings(), std::make_pair(1, dir.file("now.alm")));

    // Not chosen: only the switch, and the window destroyed without Exit.
    window.reset();
    Window().currentPath = dir.file("other.alm");
    window.reset();
    EXPECT_EQ(StoredStartSettings(), std::make_pair(0, dir.file("now.alm")));
}

TEST_F(MainWindowTest, TheReviverLeavesARunningCountdownAloneAndRevivesAStoppedOne) {
    MainWindow& w = Window();
    w.document.settings.autosave = true;
    w.document.settings.autosaveMinutes = 10;
    w.RestartTimers();
    const int starts = w.timers().autosaveStarts();

    w.OnReviveTimer();
    EXPECT_EQ(w.timers().autosaveStarts(), starts) << "the countdown keeps its progress";

    w.StopTimers();
    EXPECT_TRUE(w.reviveTimer().isActive()) << "never stopped";
    w.OnReviveTimer();
    EXPECT_TRUE(w.reminderTimer().isActive());
    EXPECT_TRUE(w.autosaveTimer().isActive());
    EXPECT_EQ(w.autosaveTimer().interval(), 600000);
    EXPECT_EQ(w.timers().autosaveStarts(), starts + 1);

    w.document.settings.autosave = false;
    w.OnReviveTimer();
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
        EXPECT_EQ(MainTimers::AutosaveInterval(settings), c.interval) << c.minutes;
    }
}

TEST(PasswordDialogTest, APasswordStoredInAnOlderEncodingCanBeTyped) {
    FakePrompter prompter;
    PasswordDialog dialog(nullptr, prompter, nullptr);
    dialog.SetExpected("caf\xE9");  // Latin-1, as an older file may hold it
    dialog.show();
    auto* edit = dialog.findChild<QLineEdit*>("passwordEdit");
    edit->setText(QString::fromUtf8("caf\xC3\xA9"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace almanary::testing
