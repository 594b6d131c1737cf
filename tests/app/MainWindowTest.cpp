// The main window: its controls and tray menu, the keys, the close box,
// the exit sequence, the start-up and exit settings, the timers, the
// dialogs it opens, and the About and password dialogs.

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTest>

#include "app/AboutDialog.h"
#include "app/MainTimers.h"
#include "app/MainWindowHarness.h"
#include "app/MessageTable.h"
#include "app/PasswordDialog.h"
#include "app/SettingsStore.h"
#include "events/CategoriesDialog.h"
#include "events/EventDialog.h"
#include "events/ViewEventsDialog.h"
#include "skins/CCustomButton.h"
#include "skins/SkinLabel.h"

namespace almanary::testing {
namespace {

using Ids = std::vector<int>;

struct ButtonSpec {
    const char* name;
    const char* text;
    MainCommand command;
    bool available;
};

const std::vector<ButtonSpec> kButtons = {
    {"enterEventButton", "&Enter Event(s)", MainCommand::EnterEvent, true},
    {"viewEventsButton", "&View Event(s)", MainCommand::ViewEvents, true},
    {"categoriesButton", "&Categories", MainCommand::Categories, true},
    {"skinsButton", "S&kins", MainCommand::Skins, false},
    {"printWeekButton", "&Print Week", MainCommand::PrintWeek, false},
    {"internetButton", "&Internet", MainCommand::Internet, false},
    {"loadButton", "&Load", MainCommand::Load, true},
    {"optionsButton", "&Options", MainCommand::Options, false},
    {"saveButton", "&Save", MainCommand::Save, true},
    {"exitButton", "E&xit", MainCommand::Exit, true},
};

class MainWindowTest : public MainWindowHarness {
protected:
    QPushButton* Button(const char* name) { return Window().findChild<QPushButton*>(name); }

    void SetStartSettings(std::optional<int> loadOnStart, std::optional<std::string> fileName) {
        SettingsStore store;
        ASSERT_TRUE(store.Open(dir.file("settings.sqlite"))) << store.lastError();
        if (loadOnStart) {
            ASSERT_TRUE(store.SetNumber("LoadOnStart", *loadOnStart));
        }
        if (fileName) {
            ASSERT_TRUE(store.SetText("FileName", *fileName));
        }
    }

    std::optional<int> StoredNumber(const char* name) {
        SettingsStore store;
        std::int32_t value = 0;
        if (!store.Open(dir.file("settings.sqlite")) || !store.QueryNumber(name, value))
            return std::nullopt;
        return value;
    }

    std::optional<std::string> StoredText(const char* name) {
        SettingsStore store;
        std::string value;
        if (!store.Open(dir.file("settings.sqlite")) || !store.QueryText(name, value))
            return std::nullopt;
        return value;
    }

    // Opens a dialog through its command, checks what it was given, asks
    // for it again while it runs, and cancels it.
    template <typename Dialog>
    void OpensOnceAndComesForward(MainCommand command, const QPointer<QDialog>& reference,
                                  std::function<void(Dialog&)> check) {
        MainWindow& w = Window();
        bool ran = false;
        WhenModal<Dialog>([&](Dialog& dialog) {
            ran = true;
            EXPECT_EQ(reference, &dialog);
            EXPECT_EQ(dialog.parentWidget(), &w);
            EXPECT_EQ(dialog.windowModality(), Qt::WindowModal) << "pop-ups stay usable beside it";
            EXPECT_EQ(dialog.background(), &w.background);
            check(dialog);
            // Asked again, from the tray this time: the running one comes forward.
            w.commandAction(command)->trigger();
            EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
            EXPECT_EQ(w.findChildren<Dialog*>().size(), 1);
            dialog.reject();
        });
        w.RunCommand(command);
        EXPECT_TRUE(ran);
        EXPECT_TRUE(reference.isNull()) << "the reference goes with the dialog";
    }
};

TEST_F(MainWindowTest, ShowsTheTenSkinnedButtonsAndTheFileLabel) {
    MainWindow& w = Window();
    EXPECT_EQ(w.windowTitle(), "Almanary");
    EXPECT_FALSE(w.windowIcon().isNull());
    for (const ButtonSpec& spec : kButtons) {
        SCOPED_TRACE(spec.name);
        auto* button = qobject_cast<CCustomButton*>(Button(spec.name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), spec.text);
        EXPECT_FALSE(button->autoDefault());
        EXPECT_FALSE(button->isDefault());
        // A command whose dialog does not exist yet is shown as unavailable.
        EXPECT_EQ(button->isEnabled(), spec.available);
        EXPECT_EQ(w.IsCommandAvailable(spec.command), spec.available);
    }
    auto* label = w.findChild<SkinLabel*>("fileLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->pathEllipsis());
    auto* group = qobject_cast<QGroupBox*>(label->parentWidget());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "Current Almanary File");
}

TEST_F(MainWindowTest, TheTrayMenuRepeatsTheCommandsWithOpenAsItsBoldDefault) {
    MainWindow& w = Window();
    ASSERT_NE(w.trayIcon(), nullptr);
    EXPECT_EQ(w.trayIcon()->toolTip(), "Almanary");
    EXPECT_EQ(w.trayIcon()->contextMenu(), w.trayMenu());
    QStringList texts;
    for (const QAction* action : w.trayMenu()->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    EXPECT_EQ(texts, (QStringList{"&Open Almanary", "&Enter Event(s)", "&View Event(s)",
                                  "&Categories", "&Print Week", "&Internet", "&Options", "S&kins",
                                  "&Save", "Save &As...", "&Load", "&About Almanary...", "E&xit"}));
    QAction* open = w.commandAction(MainCommand::OpenAlmanary);
    EXPECT_EQ(w.trayMenu()->defaultAction(), open);
    EXPECT_TRUE(open->font().bold());
    for (const ButtonSpec& spec : kButtons)
        EXPECT_EQ(w.commandAction(spec.command)->isEnabled(), spec.available) << spec.name;
}

TEST_F(MainWindowTest, OpenAlmanaryBringsAHiddenOrMinimisedWindowBack) {
    MainWindow& w = Window();
    w.show();
    w.hide();
    w.commandAction(MainCommand::OpenAlmanary)->trigger();
    EXPECT_TRUE(w.isVisible());
    w.setWindowState(Qt::WindowMinimized);
    w.ShowAndActivate();
    EXPECT_FALSE(w.isMinimized());
}

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
    MainWindow& w = Window();
    w.show();
    EXPECT_EQ(w.CommandForEnterKey(), MainCommand::EnterEvent);
    for (const ButtonSpec& spec : kButtons) {
        QPushButton* button = Button(spec.name);
        if (!button->isEnabled())
            continue;  // cannot take the focus
        button->setFocus();
        EXPECT_EQ(w.CommandForEnterKey(), spec.command) << spec.name;
    }

    // Enter on Save saves.
    w.document = Document({"one"});
    files.Choose(dir.file("cal.alm"));
    Button("saveButton")->setFocus();
    QTest::keyClick(Button("saveButton"), Qt::Key_Return);
    EXPECT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(w.currentPath, dir.file("cal.alm"));

    // Enter on Exit exits (nothing is unsaved now, so nothing is asked).
    Button("exitButton")->setFocus();
    QTest::keyClick(Button("exitButton"), Qt::Key_Enter);
    EXPECT_TRUE(w.hasEnded());
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(MainWindowTest, ExitAndEscapeAskAboutUnsavedChanges) {
    struct Case {
        const char* how;
        MessageAnswer answer;
        bool ends;
    };
    const std::vector<Case> cases = {
        {"exit", MessageAnswer::Cancel, false}, {"escape", MessageAnswer::Cancel, false},
        {"escape", MessageAnswer::No, true},    {"exit", MessageAnswer::Yes, true},
        {"tray", MessageAnswer::No, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.how) + " " + std::to_string(static_cast<int>(c.answer)));
        window.reset();
        prompter.ClearShown();
        std::filesystem::remove(dir.file("cal.alm"));
        MainWindow& w = Window();
        w.show();
        w.document = Document({"pending"});
        w.documentChanged = true;
        prompter.Answer(c.answer);
        if (c.answer == MessageAnswer::Yes)
            files.Choose(dir.file("cal.alm"));

        if (std::string(c.how) == "exit") {
            Button("exitButton")->click();
        } else if (std::string(c.how) == "escape") {
            QTest::keyClick(&w, Qt::Key_Escape);
        } else {
            w.commandAction(MainCommand::Exit)->trigger();
        }

        EXPECT_EQ(prompter.ids(), Ids{MessageId::kUnsavedChanges});
        EXPECT_EQ(w.hasEnded(), c.ends);
        EXPECT_EQ(w.isVisible(), !c.ends);
        EXPECT_EQ(w.reminderTimer().isActive(), !c.ends);
        EXPECT_EQ(std::filesystem::exists(dir.file("cal.alm")), c.answer == MessageAnswer::Yes);
    }
}

TEST_F(MainWindowTest, AFailedSaveAtExitKeepsTheProgramRunning) {
    MainWindow& w = Window();
    w.show();
    w.document = Document({"pending"});
    w.documentChanged = true;
    std::filesystem::create_directory(dir.file("folder.alm"));
    prompter.Answer(MessageAnswer::Yes);
    files.Choose(dir.file("folder.alm"));

    Button("exitButton")->click();

    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kUnsavedChanges, MessageId::kSaveFailed}));
    EXPECT_FALSE(w.hasEnded());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.HasUnsavedChanges());
}

TEST_F(MainWindowTest, ExitIsRefusedWhileAPrintJobRuns) {
    MainWindow& w = Window();
    w.show();
    w.printJobRunning = true;
    Button("exitButton")->click();
    EXPECT_FALSE(w.hasEnded());
    w.printJobRunning = false;
    Button("exitButton")->click();
    EXPECT_TRUE(w.hasEnded());
}

TEST_F(MainWindowTest, TheLastFileIsLoadedAtStartOnlyWhenAskedWithOne) {
    const std::string path = WriteAlmanary("last.alm", Document({"last"}));
    struct Case {
        std::optional<int> loadOnStart;
        std::optional<std::string> fileName;
        bool loads;
        Ids messages;
    };
    const std::vector<Case> cases = {
        {1, path, true, {}},          {2, path, false, {}},
        {0, path, false, {}},         {std::nullopt, path, false, {}},
        {1, std::nullopt, false, {}}, {1, dir.file("gone.alm"), false, {MessageId::kFileNotFound}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loadOnStart.value_or(-1));
        window.reset();
        prompter.ClearShown();
        std::filesystem::remove(dir.file("settings.sqlite"));
        SetStartSettings(c.loadOnStart, c.fileName);
        MainWindow& w = Window();

        w.Initialise();

        EXPECT_FALSE(w.isVisible()) << "before the window first shows";
        EXPECT_EQ(w.currentPath, c.loads ? path : "");
        EXPECT_EQ(NotesOf(w.document.events), c.loads ? Notes{"last"} : Notes{});
        EXPECT_EQ(w.document.settings.loadOnStart, c.loadOnStart == 1);
        EXPECT_EQ(prompter.ids(), c.messages);
        EXPECT_TRUE(w.reminderTimer().isActive());
    }
}

TEST_F(MainWindowTest, TheStartSettingsAreWrittenWhenTheWindowGoesAway) {
    // Reload chosen: both values are written.
    SetStartSettings(1, dir.file("old.alm"));
    Window().document.settings.loadOnStart = true;
    Window().currentPath = dir.file("now.alm");
    Button("exitButton")->click();
    EXPECT_EQ(StoredNumber("LoadOnStart"), 1);
    EXPECT_EQ(StoredText("FileName"), dir.file("now.alm"));

    // Not chosen: only the switch, and the window destroyed without Exit.
    window.reset();
    Window().currentPath = dir.file("other.alm");
    window.reset();
    EXPECT_EQ(StoredNumber("LoadOnStart"), 0);
    EXPECT_EQ(StoredText("FileName"), dir.file("now.alm"));
}

TEST_F(MainWindowTest, TheTimersStartAndAutosaveFollowsTheSettings) {
    MainWindow& w = Window();
    EXPECT_TRUE(w.reminderTimer().isActive());
    EXPECT_EQ(w.reminderTimer().interval(), 5000);
    EXPECT_TRUE(w.reviveTimer().isActive());
    EXPECT_EQ(w.reviveTimer().interval(), 300000);
    EXPECT_FALSE(w.autosaveTimer().isActive());

    w.document.settings.autosave = true;
    w.document.settings.autosaveMinutes = 10;
    w.ApplyAutosaveTimer();
    EXPECT_TRUE(w.autosaveTimer().isActive());
    EXPECT_EQ(w.autosaveTimer().interval(), 600000);

    w.document.settings.autosave = false;
    w.ApplyAutosaveTimer();
    EXPECT_FALSE(w.autosaveTimer().isActive());

    w.StopTimers();
    EXPECT_FALSE(w.reminderTimer().isActive());
    EXPECT_TRUE(w.reviveTimer().isActive()) << "never stopped";
}

TEST_F(MainWindowTest, TheReviverLeavesARunningCountdownAloneAndRevivesAStoppedOne) {
    MainWindow& w = Window();
    w.document.settings.autosave = true;
    w.document.settings.autosaveMinutes = 10;
    w.RestartTimers();
    const int starts = w.timers().autosaveStarts();

    w.OnReviveTimer();
    EXPECT_EQ(w.timers().autosaveStarts(), starts) << "the countdown keeps its progress";
    EXPECT_TRUE(w.autosaveTimer().isActive());

    w.StopTimers();
    w.OnReviveTimer();
    EXPECT_TRUE(w.reminderTimer().isActive());
    EXPECT_TRUE(w.autosaveTimer().isActive());
    EXPECT_EQ(w.autosaveTimer().interval(), 600000);
    EXPECT_EQ(w.timers().autosaveStarts(), starts + 1);

    // A new interval restarts the countdown; autosave off stops it.
    w.document.settings.autosaveMinutes = 2;
    w.OnReviveTimer();
    EXPECT_EQ(w.timers().autosaveStarts(), starts + 2);
    EXPECT_EQ(w.autosaveTimer().interval(), 120000);
    w.document.settings.autosave = false;
    w.OnReviveTimer();
    EXPECT_FALSE(w.autosaveTimer().isActive());
}

TEST_F(MainWindowTest, TheReviverWaitsWhileASaveIsUnderWay) {
    MainWindow& w = Window();
    files.WhileOpen([&] {
        w.OnReviveTimer();
        EXPECT_FALSE(w.reminderTimer().isActive()) << "not in the middle of a save";
    });
    files.Cancel();
    EXPECT_FALSE(w.SaveDocument());
    EXPECT_TRUE(w.reminderTimer().isActive());
}

TEST(MainTimersTest, TheAutosavePeriodComesFromTheSettings) {
    struct Case {
        bool autosave;
        std::int32_t minutes;
        std::optional<int> interval;
    };
    const int longest = std::numeric_limits<int>::max() / 60000 * 60000;
    for (const Case& c :
         {Case{false, 10, std::nullopt}, Case{true, 0, std::nullopt}, Case{true, -5, std::nullopt},
          Case{true, 1, 60000}, Case{true, 60, 3600000}, Case{true, 2147483647, longest}}) {
        DocumentSettings settings;
        settings.autosave = c.autosave;
        settings.autosaveMinutes = c.minutes;
        EXPECT_EQ(MainTimers::AutosaveInterval(settings), c.interval) << c.minutes;
    }
}

TEST_F(MainWindowTest, F1OpensTheAboutDialogOnce) {
    MainWindow& w = Window();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w)) << "keyboard shortcuts need an active window";
    QString caption, version;
    bool hasOk = false;
    WhenModal<AboutDialog>([&](AboutDialog& about) {
        caption = about.windowTitle();
        version = about.findChild<QLabel*>("versionLabel")->text();
        hasOk = qobject_cast<CCustomButton*>(about.findChild<QPushButton*>("okButton")) != nullptr;
        EXPECT_EQ(w.openDialogs.about, &about);
        // A second request brings this one forward instead of opening another.
        w.RunCommand(MainCommand::About);
        EXPECT_EQ(QApplication::activeModalWidget(), &about);
        QTest::keyClick(&about, Qt::Key_Return);
    });

    QTest::keyClick(&w, Qt::Key_F1);

    EXPECT_EQ(caption, "About Almanary");
    EXPECT_TRUE(
        QRegularExpression("^Almanary Version \\d+\\.\\d+\\.\\d+$").match(version).hasMatch())
        << version.toStdString();
    EXPECT_TRUE(hasOk);
    EXPECT_TRUE(w.openDialogs.about.isNull());
}

TEST_F(MainWindowTest, TheEventCommandsOpenTheirDialogsOnTheDocument) {
    MainWindow& w = Window();
    w.show();
    w.document = Document({"today"});
    w.document.events.Insert(MakeEvent({2024, 3, 1, "8", "0", "this morning"}));
    w.document.categories = CategoryList({"Work"});

    OpensOnceAndComesForward<EventDialog>(
        MainCommand::EnterEvent, w.openDialogs.enterEvent, [](EventDialog& d) {
            EXPECT_FALSE(d.editMode());
            EXPECT_EQ(d.windowTitle(), "Enter Event");
            EXPECT_GE(d.findChild<QComboBox*>("categoryCombo")->findText("Work"), 0);
        });
    OpensOnceAndComesForward<ViewEventsDialog>(
        MainCommand::ViewEvents, w.openDialogs.viewEvents, [](ViewEventsDialog& d) {
            EXPECT_FALSE(d.conflictMode());
            EXPECT_EQ(NotesOf(d.results()), Notes{"this morning"}) << "today's events";
        });
    OpensOnceAndComesForward<CategoriesDialog>(
        MainCommand::Categories, w.openDialogs.categories,
        [](CategoriesDialog& d) { EXPECT_EQ(d.names(), std::vector<std::string>{"Work"}); });
    EXPECT_FALSE(w.documentChanged);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(MainWindowTest, ALoadClosesTheOpenDialogsAndPopupsAndStartsUnchanged) {
    AlmanaryDocument next = Document({"next"});
    next.categories = CategoryList({"Loaded"});
    const std::string path = WriteAlmanary("cal.alm", next);
    MainWindow& w = Window();
    auto* options = new QDialog(&w);
    options->show();
    w.openDialogs.options = options;
    Event due = MakeEvent({2024, 3, 1, "9", "0", "due"});
    due.setRemind(true);
    w.document.events.Insert(due);
    w.OnReminderTimer();
    ASSERT_EQ(w.openDialogs.eventWindows.size(), 1);
    const QPointer<QDialog> popup = w.openDialogs.eventWindows[0];
    ASSERT_TRUE(popup && popup->isVisible());

    // A load from the tray while Categories runs, after the user added a name.
    bool closed = false;
    WhenModal<CategoriesDialog>([&](CategoriesDialog& categories) {
        auto* edit = categories.findChild<QLineEdit*>("nameEdit");
        QTest::keyClicks(edit, "Added");
        QTest::keyClick(edit, Qt::Key_Return);
        prompter.Answer(MessageAnswer::No);  // not saved: the reminder and the name
        EXPECT_TRUE(w.LoadDocument(path));
        closed = !categories.isVisible();
    });
    w.RunCommand(MainCommand::Categories);

    EXPECT_TRUE(closed);
    EXPECT_FALSE(options->isVisible());
    EXPECT_EQ(options->result(), QDialog::Rejected);
    EXPECT_TRUE(!popup || !popup->isVisible());
    EXPECT_EQ(w.document.categories.names(), std::vector<std::string>{"Loaded"});
    EXPECT_EQ(NotesOf(w.document.events), Notes{"next"});
    EXPECT_FALSE(w.documentChanged) << "the old document's change is not the new one's";
    EXPECT_FALSE(w.HasUnsavedChanges());
}

TEST_F(MainWindowTest, ASkinChangeRepaintsTheOpenDialogsAndPopups) {
    MainWindow& w = Window();
    w.show();
    Event due = MakeEvent({2024, 3, 1, "9", "0", "due"});
    due.setRemind(true);
    w.document.events.Insert(due);
    w.OnReminderTimer();
    ASSERT_EQ(w.openDialogs.eventWindows.size(), 1);
    QDialog* popup = w.openDialogs.eventWindows[0];
    const QColor ink(0x12, 0x34, 0x56);
    const auto inkOf = [](QWidget* widget) {
        return widget->palette().color(QPalette::Active, QPalette::WindowText);
    };

    QColor categoriesInk;
    WhenModal<CategoriesDialog>([&](CategoriesDialog& categories) {
        SkinColourSet colours = SkinColours::Current();
        colours.buttonText = ink;
        SkinColours::SetCurrent(colours);
        w.RepaintSkinnedWindows();
        categoriesInk = inkOf(categories.findChild<QLabel*>("categoriesLabel"));
        categories.reject();
    });
    w.RunCommand(MainCommand::Categories);

    EXPECT_EQ(categoriesInk, ink);
    EXPECT_EQ(inkOf(popup->findChild<QLabel*>("categoryLabel")), ink);
    EXPECT_EQ(inkOf(w.findChild<QGroupBox*>()), ink);
}

class PasswordDialogTest : public ::testing::Test {
protected:
    PasswordDialogTest() : dialog(nullptr, prompter, nullptr) {
        dialog.SetExpected("Secret");
        dialog.SetFileName("/home/user/calendars/work.alm");
        dialog.show();
    }

    QLineEdit* Edit() { return dialog.findChild<QLineEdit*>("passwordEdit"); }
    QPushButton* ButtonNamed(const char* name) { return dialog.findChild<QPushButton*>(name); }

    FakePrompter prompter;
    PasswordDialog dialog;
};

TEST_F(PasswordDialogTest, ShowsTheFileNameInATwoLinePromptOverAHiddenEdit) {
    EXPECT_EQ(dialog.windowTitle(), "Password Required");
    EXPECT_EQ(dialog.prompt(), "work.alm\nis password protected.  Please enter the password:");
    EXPECT_EQ(dialog.findChild<QLabel*>("promptLabel")->text().toStdString(), dialog.prompt());
    EXPECT_EQ(Edit()->echoMode(), QLineEdit::Password);
    EXPECT_NE(qobject_cast<CCustomButton*>(ButtonNamed("okButton")), nullptr);
    EXPECT_NE(qobject_cast<CCustomButton*>(ButtonNamed("cancelButton")), nullptr);

    dialog.SetFileName("plain-name.alm");
    EXPECT_EQ(dialog.fileName(), "plain-name.alm");
}

TEST_F(PasswordDialogTest, EnterInTheEditChecksTheEntryByteForByte) {
    for (const char* wrong : {"secret", "Secret ", "", "Secre"}) {
        SCOPED_TRACE(wrong);
        prompter.ClearShown();
        Edit()->setText(wrong);
        QTest::keyClick(Edit(), Qt::Key_Return);
        EXPECT_EQ(prompter.ids(), Ids{MessageId::kWrongPassword});
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Edit()->text(), "");
    }
    Edit()->setText("Secret");
    QTest::keyClick(Edit(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(PasswordDialogTest, EnterOnCancelCancelsAndOnOkChecks) {
    Edit()->setText("Secret");
    ButtonNamed("cancelButton")->setFocus();
    QTest::keyClick(ButtonNamed("cancelButton"), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(prompter.shown().empty());

    dialog.show();
    Edit()->setText("Secret");
    ButtonNamed("okButton")->setFocus();
    QTest::keyClick(ButtonNamed("okButton"), Qt::Key_Enter);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(PasswordDialogTest, APasswordStoredInAnOlderEncodingCanBeTyped) {
    dialog.SetExpected("caf\xE9");  // Latin-1, as an older file may hold it
    Edit()->setText(QString::fromUtf8("caf\xC3\xA9"));
    QTest::keyClick(Edit(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace almanary::testing
