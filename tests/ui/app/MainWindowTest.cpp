// The main window: the keys, the close box, the exit sequence, the start-up
// and exit settings, and the timers.

#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include <QTest>
#include <limits>

#include "app/MainTimers.h"
#include "app/SettingsStore.h"
#include "support/MainWindowHarness.h"

namespace almanary::testing {
namespace {

class MainWindowTest : public MainWindowHarness {
protected:
    QPushButton* button(const char* name) { return child<QPushButton>(window(), name); }

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
}

// Escape and Enter on Exit ask about unsaved changes; Cancel keeps the program.
TEST_F(MainWindowTest, ExitAsksAboutUnsavedChangesAndCancelKeepsTheProgram) {
    MainWindow& w = window();
    w.show();
    session().replace(document({"pending"}), "");
    session().markChanged();
    prompter.answer(MessageAnswer::Cancel);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(prompter.ids(), Ids{MessageId::UnsavedChanges});
    EXPECT_FALSE(w.hasEnded());
    EXPECT_TRUE(w.reminderTimer().isActive());

    prompter.answer(MessageAnswer::No);
    button("exitButton")->setFocus();
    QTest::keyClick(button("exitButton"), Qt::Key_Enter);
    EXPECT_TRUE(w.hasEnded());
    EXPECT_FALSE(w.reminderTimer().isActive());
}

TEST_F(MainWindowTest, TheLastFileIsLoadedAtStartOnlyWhenAskedWithOne) {
    const std::string path = writeAlmanary("last.alm", document({"last"}));
    const struct {
        int loadOnStart;
        std::string fileName;
        bool loads;
        Ids messages;
    } cases[] = {
        {1, path, true, {}},
        {2, path, false, {}},
        {1, dir.file("gone.alm"), false, {MessageId::FileNotFound}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        window_.reset();
        prompter.clearShown();
        setStartSettings(c.loadOnStart, c.fileName);
        window().initialise();
        EXPECT_EQ(session().path(), c.loads ? path : "");
        EXPECT_EQ(notesOf(session().document().events), c.loads ? Notes{"last"} : Notes{});
        EXPECT_EQ(session().document().settings.loadOnStart, c.loadOnStart == 1);
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

// The reviver leaves a running countdown alone, revives a stopped one, and
// takes the autosave period from the settings (cut to what a timer holds).
TEST_F(MainWindowTest, TheReviverRestartsOnlyStoppedTimers) {
    MainWindow& w = window();
    DocumentSettings settings = session().settings();
    settings.autosave = true;
    settings.autosaveMinutes = 10;
    session().setSettings(settings);
    w.restartTimers();
    const int starts = w.timers().autosaveStarts();
    w.onReviveTimer();
    EXPECT_EQ(w.timers().autosaveStarts(), starts) << "the countdown keeps its progress";

    w.stopTimers();
    EXPECT_TRUE(w.reviveTimer().isActive()) << "never stopped";
    w.onReviveTimer();
    EXPECT_TRUE(w.reminderTimer().isActive());
    EXPECT_EQ(w.timers().autosaveStarts(), starts + 1);

    const int longest = std::numeric_limits<int>::max() / 60000 * 60000;
    const std::tuple<bool, std::int32_t, int> periods[] = {
        {true, 10, 600000}, {true, 2147483647, longest}, {true, 0, 0}, {false, 10, 0}};
    for (const auto& [autosave, minutes, interval] : periods) {
        settings.autosave = autosave;
        settings.autosaveMinutes = minutes;
        session().setSettings(settings);
        w.onReviveTimer();
        EXPECT_EQ(w.autosaveTimer().isActive() ? w.autosaveTimer().interval() : 0, interval)
            << autosave << " " << minutes;
    }
}

}  // namespace
}  // namespace almanary::testing
