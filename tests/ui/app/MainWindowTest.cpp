// The main window: keys, close box, exit, start-up settings and timers.

#include "app/MainWindow.h"

#include <QCalendarWidget>

#include "app/MainTimers.h"
#include "app/RecoveryFile.h"
#include "print/PreviewWindow.h"
#include "print/PrintWeekDialog.h"
#include "support/MainWindowHarness.h"
#include "support/PdfText.h"

namespace almanary::testing {
namespace {

class MainWindowTest : public MainWindowHarness {
protected:
    // Writes the start settings when given, and reads them back.
    std::pair<std::int32_t, std::string> startSettings(std::optional<int> loadOnStart = {},
                                                       const std::string& fileName = {}) {
        SettingsStore store;
        EXPECT_TRUE(store.open(dir.file("settings.sqlite")));
        EXPECT_TRUE(!loadOnStart || (store.setNumber("LoadOnStart", *loadOnStart) &&
                                     store.setText("FileName", fileName)));
        return {store.queryNumber("LoadOnStart").value_or(-1),
                store.queryText("FileName").value_or("")};
    }
};

// The close box hides (with a tray) or minimises; Escape and Exit ask about changes.
TEST_F(MainWindowTest, TheCloseBoxKeepsTheProgramAndExitAsksAboutUnsavedChanges) {
    for (const bool tray : {true, false}) {
        window_.reset();
        window().setTrayAvailableCheck([tray] { return tray; });
        window().show();
        window().close();
        EXPECT_EQ(window().isVisible(), !tray);
        EXPECT_EQ(window().isMinimized(), !tray);
        EXPECT_FALSE(window().hasEnded());
    }
    session().markChanged();
    prompter.answer(Cancel);
    QTest::keyClick(&window(), Qt::Key_Escape);
    EXPECT_EQ(prompter.ids, Ids{UnsavedChanges});
    EXPECT_FALSE(window().hasEnded());
    EXPECT_TRUE(window().reminderTimer().isActive());

    prompter.answer(No);
    pressKey(window(), "exitButton", Qt::Key_Enter);
    EXPECT_TRUE(window().hasEnded());
    EXPECT_FALSE(window().reminderTimer().isActive());
}

// An event window whose input is kept (No to discarding) stops a load and an exit.
TEST_F(MainWindowTest, AKeptEventWindowStopsALoadAndAnExit) {
    AlmanaryDocument mine;
    mine.events.insert(reminded("9", "mine"));
    session().replace(mine, writeAlmanary("mine.alm", mine));
    const std::string other = writeAlmanary("other.alm", document({"other"}));
    clock.set(localTime(2024, 3, 4, 8, 50));
    window().onReminderTimer();
    ASSERT_EQ(session().windows(WindowRole::EventWindow).size(), 1);
    QDialog& popup = *session().windows(WindowRole::EventWindow).front();
    setNotes(popup, "typed");
    session().markUnchanged();

    prompter.answer(No);
    EXPECT_FALSE(window().loadDocument(other));
    prompter.answer(No);
    window().runCommand(MainCommand::Exit);
    EXPECT_EQ(prompter.ids, Ids(2, DiscardInput));
    EXPECT_FALSE(window().hasEnded());
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(opened(), std::tuple(Notes{"mine"}, dir.file("mine.alm"), false));

    prompter.answer(Yes);
    EXPECT_TRUE(window().loadDocument(other));
    EXPECT_EQ(notesOf(session().events()), Notes{"other"});
    EXPECT_FALSE(popup.isVisible());
}

// Changes kept by a forced end are offered at the next start, as unsaved changes.
TEST_F(MainWindowTest, ChangesKeptByAForcedEndAreOfferedAtTheNextStart) {
    const std::string saved = writeAlmanary("mine.alm", document({"old"}));
    // The answer, the file the changes came from; the notes then open, the title.
    const std::tuple<MessageAnswer, std::string, Notes, QString> cases[] = {
        {No, saved, {}, "Untitled[*] \u2014 Almanary"},
        {Yes, saved, {"kept"}, "mine.alm[*] \u2014 Almanary"},
        {Yes, "", {"kept"}, "Untitled[*] \u2014 Almanary"},
    };
    const RecoveryFile recovery(dir.file("recovery"));
    for (const auto& [answer, original, restored, title] : cases) {
        window_.reset();
        ASSERT_FALSE(recovery.write(document({"kept"}), original));
        prompter.answer(answer);
        window().offerRecovery();
        const std::string name = original.empty() ? "an almanary never saved" : original;
        EXPECT_EQ(prompter.args.at(0), std::vector<std::string>{name});
        prompter.clearShown();
        EXPECT_FALSE(recovery.find());
        EXPECT_EQ(opened(), std::tuple(restored, answer == Yes ? original : "", answer == Yes));
        EXPECT_EQ(window().windowTitle(), title);
        EXPECT_EQ(window().isWindowModified(), answer == Yes);
    }
    EXPECT_EQ(notesInFile(saved), Notes{"old"});
}

// The last file is loaded at start when asked; the choice is written at any end.
TEST_F(MainWindowTest, TheStartSettingsAreReadAtStartAndWrittenAtExit) {
    const std::string path = writeAlmanary("last.alm", document({"last"}));
    const std::tuple<int, std::string, bool, Ids> cases[] = {
        {1, path, true, {}},
        {2, path, false, {}},
        {1, dir.file("gone.alm"), false, {FileNotFound}},
    };
    for (const auto& [loadOnStart, fileName, loads, messages] : cases) {
        SCOPED_TRACE(loadOnStart);
        window_.reset();
        startSettings(loadOnStart, fileName);
        window().initialise();
        EXPECT_EQ(opened(), std::tuple(loads ? Notes{"last"} : Notes{}, loads ? path : "", false));
        EXPECT_EQ(session().document().settings.loadOnStart, loadOnStart == 1);
        EXPECT_EQ(prompter.takeIds(), messages);
    }
    session().setLoadOnStart(true);
    session().replace(AlmanaryDocument{}, dir.file("now.alm"));
    child<QPushButton>(window(), "exitButton")->click();
    EXPECT_EQ(startSettings(), std::make_pair(1, dir.file("now.alm")));

    window_.reset();
    session().replace(AlmanaryDocument{}, dir.file("other.alm"));
    window_.reset();
    EXPECT_EQ(startSettings(), std::make_pair(0, dir.file("now.alm")));
}

// The reviver restarts only stopped timers, keeping a running countdown; autosave as set.
TEST_F(MainWindowTest, TheReviverRestartsOnlyStoppedTimers) {
    MainWindow& w = window();
    session().setSettings({.autosave = true, .autosaveMinutes = 10});
    w.restartTimers();
    const int starts = w.timers().autosaveStarts();
    for (const bool stopped : {false, true}) {
        if (stopped)
            w.stopTimers();
        w.onReviveTimer();
        EXPECT_TRUE(w.reminderTimer().isActive() && w.reviveTimer().isActive());
        EXPECT_EQ(w.autosaveTimer().interval(), 600000);
        EXPECT_EQ(w.timers().autosaveStarts(), starts + stopped);
    }
    session().setSettings({.autosave = true, .autosaveMinutes = 0});
    w.onReviveTimer();
    EXPECT_FALSE(w.autosaveTimer().isActive());
}

// Print Week: one dialog; its preview's Prev Day moves the week printed; a load closes both.
TEST_F(MainWindowTest, PrintWeekRunsOneDialogAndALoadClosesIt) {
    clock.set(localTime(2024, 3, 31, 10));
    AlmanaryDocument mine;
    mine.events.insert(makeEvent({2024, 3, 30, "12", "30", "Market", "60"}));
    session().replace(mine, writeAlmanary("mine.alm", mine));
    const std::string other = writeAlmanary("other.alm", document({"other"}));
    window().show();
    whenModal<PrintWeekDialog>(modalContext, [this](PrintWeekDialog& dialog) {
        window().runCommand(MainCommand::PrintWeek);
        EXPECT_EQ(window().findChildren<PrintWeekDialog*>().size(), 1);
        whenModal<PreviewWindow>(modalContext, [](PreviewWindow& preview) {
            press(preview, "prevDayButton");
            press(preview, "closeButton");
        });
        press(dialog, "previewButton");
        EXPECT_EQ(child<QCalendarWidget>(dialog, "calendar")->selectedDate(), QDate(2024, 3, 30));
        EXPECT_EQ(dialog.firstDay(), localTime(2024, 3, 30));  // the day shown, at 00:00
        printers.choose(dir.file("week.pdf"));
        press(dialog, "printButton");
    });
    window().runCommand(MainCommand::PrintWeek);
    const std::string text = pdfText(dir.file("week.pdf"));
    EXPECT_EQ(occurrences(text, "For the week of Saturday 3/30/2024, Page: 1 of 1"), 1) << text;
    EXPECT_EQ(occurrences(text, "Market"), 1) << text;

    whenModal<PrintWeekDialog>(modalContext, [&](PrintWeekDialog& dialog) {
        whenModal<PreviewWindow>(
            modalContext, [&](PreviewWindow&) { EXPECT_TRUE(window().loadDocument(other)); });
        press(dialog, "previewButton");
        EXPECT_FALSE(dialog.isVisible());
    });
    window().runCommand(MainCommand::PrintWeek);
    EXPECT_EQ(notesOf(session().events()), Notes{"other"});
    EXPECT_TRUE(window().findChildren<QDialog*>().isEmpty());
}

}  // namespace
}  // namespace almanary::testing
