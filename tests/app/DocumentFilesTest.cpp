// Saving and loading through the main window: the choosers, the questions,
// the password prompt, damaged files and the document's skin.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "app/MainWindowHarness.h"
#include "app/MessageTable.h"
#include "app/PasswordDialog.h"
#include "app/SettingsStore.h"
#include "skins/SkinLabel.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

namespace fs = std::filesystem;
using Ids = std::vector<int>;

class DocumentFilesTest : public MainWindowHarness {
protected:
    // An open document with unsaved changes, saved once at `path`.
    MainWindow& WindowWithSavedDocument(const std::string& path, const Notes& notes) {
        MainWindow& w = Window();
        w.document = Document(notes);
        files.Choose(path);
        EXPECT_TRUE(w.SaveDocument());
        return w;
    }

    void AddEvent(MainWindow& w, const std::string& note) {
        w.document.events.Insert(MakeEvent({2024, 3, 20, "10", "15", note, "15"}));
    }

    // The open document as it stands, to compare before and after.
    struct Snapshot {
        Notes notes;
        DocumentSettings settings;
        std::string skinName;
        std::string currentPath;
        bool twelveHour;
        QColor face;
        bool operator==(const Snapshot&) const = default;
    };
    static Snapshot Take(const MainWindow& w) {
        return {NotesOf(w.document.events),
                w.document.settings,
                w.document.skinName,
                w.currentPath,
                DateTimeText::GetTwelveHourClock(),
                SkinColours::ButtonBackground()};
    }
};

TEST_F(DocumentFilesTest, SavingAnUntitledDocumentAsksForANameAndWritesIt) {
    MainWindow& w = Window();
    w.document = Document({"dentist", "review"});
    w.documentChanged = w.skinChanged = w.optionsChanged = true;
    const std::string path = dir.file("cal.alm");
    files.WhileOpen([&] { EXPECT_FALSE(w.reminderTimer().isActive()) << "stopped meanwhile"; });
    files.Choose(path);

    w.findChild<QPushButton*>("saveButton")->click();

    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_TRUE(files.requests()[0].toSave);
    EXPECT_EQ(files.requests()[0].start, "");
    EXPECT_EQ(w.currentPath, path);
    EXPECT_FALSE(w.HasUnsavedChanges());
    EXPECT_EQ(NotesOf(ReadBack(path).events), (Notes{"dentist", "review"}));
    EXPECT_TRUE(w.reminderTimer().isActive()) << "restarted afterwards";
    EXPECT_TRUE(prompter.shown().empty());
    // Nothing but the almanary itself is left in the folder.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::erase(names, "settings.sqlite");
    EXPECT_EQ(names, std::vector<std::string>{"cal.alm"});
}

TEST_F(DocumentFilesTest, AutosaveResavesTheOpenFileWithoutAskingAnything) {
    const std::string path = dir.file("cal.alm");
    MainWindow& w = WindowWithSavedDocument(path, {"one"});
    AddEvent(w, "two");

    w.OnAutosaveTimer();

    EXPECT_EQ(files.requests().size(), 1u) << "only the first save asked for a name";
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_FALSE(w.silentSave);
    EXPECT_FALSE(w.HasUnsavedChanges());
    EXPECT_EQ(NotesOf(ReadBack(path).events), (Notes{"one", "two"}));
}

TEST_F(DocumentFilesTest, AutosaveOfAnUntitledDocumentOpensTheSaveChooser) {
    MainWindow& w = Window();
    w.document.settings.autosave = true;
    files.Cancel();

    w.OnAutosaveTimer();

    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_TRUE(files.requests()[0].toSave);
    EXPECT_EQ(w.currentPath, "");
    EXPECT_TRUE(w.autosaveTimer().isActive()) << "the countdown goes on";
}

TEST_F(DocumentFilesTest, SavingToTheOpenFileUnderAnyOfItsNamesAsksNothing) {
    const std::string path = dir.file("cal.alm");
    fs::create_directory(dir.file("sub"));
    fs::create_symlink(path, dir.file("link.alm"));
    MainWindow& w = WindowWithSavedDocument(path, {"one"});
    w.document.settings.shareName = "home";

    // Save on a document with a file writes it again without any dialog.
    AddEvent(w, "resaved");
    EXPECT_TRUE(w.SaveDocument());
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(NotesOf(ReadBack(path).events), (Notes{"one", "resaved"}));
    EXPECT_FALSE(w.HasUnsavedChanges());

    // Save As to the same file under any of its names asks nothing either.
    for (const std::string& spelling :
         {path, dir.file("sub/../cal.alm"), dir.file("./cal.alm"), dir.file("link.alm")}) {
        SCOPED_TRACE(spelling);
        AddEvent(w, "again");
        files.Choose(spelling);
        EXPECT_TRUE(w.SaveDocument(true));
        EXPECT_TRUE(prompter.shown().empty()) << "no overwrite question for the same file";
        EXPECT_EQ(w.document.settings.shareName, "home") << "still the published file";
    }
    EXPECT_TRUE(fs::is_symlink(dir.file("link.alm"))) << "the link stays a link";
}

TEST_F(DocumentFilesTest, SavingOverAnotherExistingFileAsksFirst) {
    const std::string mine = dir.file("mine.alm");
    const std::string other = WriteAlmanary("other.alm", Document({"theirs"}));
    MainWindow& w = WindowWithSavedDocument(mine, {"ours"});
    w.document.settings.shareName = "home";
    AddEvent(w, "more");

    // No: nothing is written and the document stays as it was.
    prompter.Answer(MessageAnswer::No);
    files.Choose(other);
    EXPECT_FALSE(w.SaveDocument(true));
    EXPECT_EQ(prompter.ids(), Ids{MessageId::kOverwriteAlmanary});
    EXPECT_EQ(prompter.shown()[0].args, std::vector<std::string>{other});
    EXPECT_EQ(NotesOf(ReadBack(other).events), Notes{"theirs"});
    EXPECT_EQ(w.currentPath, mine);
    EXPECT_TRUE(w.HasUnsavedChanges());

    // Yes: the other file is replaced; the copy is no longer the shared one.
    prompter.Answer(MessageAnswer::Yes);
    files.Choose(other);
    EXPECT_TRUE(w.SaveDocument(true));
    EXPECT_EQ(NotesOf(ReadBack(other).events), (Notes{"ours", "more"}));
    EXPECT_EQ(w.currentPath, other);
    EXPECT_EQ(w.document.settings.shareName, "");
    EXPECT_FALSE(w.HasUnsavedChanges());
}

TEST_F(DocumentFilesTest, AFailedSaveSaysWhyAndKeepsTheDocumentChangedUnderItsOldName) {
    struct Case {
        const char* name;
        std::function<std::string(const std::string& oldPath)> breakTarget;
        bool silent;
    };
    const std::vector<Case> cases = {
        {"folder vanished",
         [&](const std::string& oldPath) {
             fs::remove_all(fs::path(oldPath).parent_path());
             return oldPath;
         },
         true},
        {"target is a folder",
         [&](const std::string&) {
             fs::create_directory(dir.file("folder.alm"));
             return dir.file("folder.alm");
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::create_directories(dir.file("docs"));
        const std::string oldPath = dir.file("docs/cal.alm");
        window.reset();
        prompter.ClearShown();
        MainWindow& w = WindowWithSavedDocument(oldPath, {"one"});
        AddEvent(w, "unsaved");
        const std::string target = c.breakTarget(oldPath);
        if (!c.silent)
            files.Choose(target);

        w.silentSave = c.silent;
        EXPECT_FALSE(w.SaveDocument(/*chooseName=*/!c.silent));
        w.silentSave = false;

        ASSERT_EQ(prompter.ids(), Ids{MessageId::kSaveFailed});
        ASSERT_EQ(prompter.shown()[0].args.size(), 2u);
        EXPECT_EQ(prompter.shown()[0].args[0], target);
        EXPECT_FALSE(prompter.shown()[0].args[1].empty()) << "the system's reason";
        EXPECT_EQ(w.currentPath, oldPath);
        EXPECT_TRUE(w.document.events.IsModified());
        EXPECT_TRUE(w.HasUnsavedChanges());
        EXPECT_TRUE(w.reminderTimer().isActive());
    }
}

TEST_F(DocumentFilesTest, LoadingAsksAboutUnsavedChangesFirst) {
    struct Case {
        MessageAnswer answer;
        bool loaded;
        bool savedFirst;
    };
    for (const Case& c :
         {Case{MessageAnswer::Yes, true, true}, Case{MessageAnswer::No, true, false},
          Case{MessageAnswer::Cancel, false, false}}) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        window.reset();
        prompter.ClearShown();
        const std::string mine = dir.file("mine.alm");
        fs::remove(mine);
        const std::string next = WriteAlmanary("next.alm", Document({"next"}));
        MainWindow& w = WindowWithSavedDocument(mine, {"mine"});
        AddEvent(w, "pending");
        prompter.Answer(c.answer);  // Yes saves to the open file, asking nothing more

        EXPECT_EQ(w.LoadDocument(next), c.loaded);

        EXPECT_EQ(prompter.ids(), Ids{MessageId::kUnsavedChanges});
        EXPECT_EQ(NotesOf(w.document.events),
                  c.loaded ? Notes{"next"} : (Notes{"mine", "pending"}));
        EXPECT_EQ(w.currentPath, c.loaded ? next : mine);
        EXPECT_EQ(NotesOf(ReadBack(mine).events),
                  c.savedFirst ? (Notes{"mine", "pending"}) : Notes{"mine"});
        EXPECT_EQ(w.HasUnsavedChanges(), !c.loaded);
    }
}

TEST_F(DocumentFilesTest, LoadingStopsWhenSavingThePendingChangesFails) {
    const std::string next = WriteAlmanary("next.alm", Document({"next"}));
    MainWindow& w = Window();
    w.document = Document({"pending"});
    w.documentChanged = true;
    fs::create_directory(dir.file("folder.alm"));
    prompter.Answer(MessageAnswer::Yes);
    files.Choose(dir.file("folder.alm"));

    EXPECT_FALSE(w.LoadDocument(next));

    EXPECT_EQ(prompter.ids(), (Ids{MessageId::kUnsavedChanges, MessageId::kSaveFailed}));
    EXPECT_EQ(NotesOf(w.document.events), Notes{"pending"});
    EXPECT_EQ(w.currentPath, "");
    EXPECT_TRUE(w.HasUnsavedChanges());
}

TEST_F(DocumentFilesTest, OptionChangesDoNotCountForAReloadByTheShareServer) {
    const std::string path = WriteAlmanary("cal.alm", Document({"served"}));
    MainWindow& w = Window();
    w.optionsChanged = true;
    EXPECT_TRUE(w.LoadDocument(path, true));
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_FALSE(w.optionsChanged);
}

TEST_F(DocumentFilesTest, ALoadWithAnEmptyPathDoesAndSaysNothing) {
    MainWindow& w = Window();
    w.document = Document({"kept"});
    w.documentChanged = true;
    EXPECT_FALSE(w.LoadDocument(std::string()));
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_TRUE(files.requests().empty());
    EXPECT_EQ(NotesOf(w.document.events), Notes{"kept"});
}

TEST_F(DocumentFilesTest, TheLoadCommandAsksForAFileAndCancelChangesNothing) {
    MainWindow& w = Window();
    w.document = Document({"kept"});
    w.internetServer = "far";
    files.Cancel();

    w.findChild<QPushButton*>("loadButton")->click();

    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_FALSE(files.requests()[0].toSave);
    EXPECT_EQ(NotesOf(w.document.events), Notes{"kept"});
    EXPECT_EQ(w.internetServer, "") << "a file from disk is not the last fetched one";
    EXPECT_TRUE(w.reminderTimer().isActive());
}

TEST_F(DocumentFilesTest, ALoadReplacesTheDocumentAndTakesItsSettings) {
    AlmanaryDocument saved = Document({"a", "b"});
    saved.settings.twelveHourClock = true;
    saved.settings.autosave = true;
    saved.settings.autosaveMinutes = 3;
    saved.categories.Append("Work");
    const std::string path = WriteAlmanary("cal.alm", std::move(saved));
    {
        SettingsStore store;
        ASSERT_TRUE(store.Open(dir.file("settings.sqlite")));
        ASSERT_TRUE(store.SetText("pub", path));
    }
    MainWindow& w = Window();
    w.document.settings.loadOnStart = true;
    w.document.settings.password = "old";
    files.Choose(path);

    w.findChild<QPushButton*>("loadButton")->click();

    EXPECT_EQ(NotesOf(w.document.events), (Notes{"a", "b"}));
    EXPECT_EQ(w.document.categories.names(), std::vector<std::string>{"Work"});
    EXPECT_TRUE(DateTimeText::GetTwelveHourClock());
    EXPECT_TRUE(w.document.settings.loadOnStart) << "the program's choice stays";
    EXPECT_EQ(w.document.settings.password, "");
    EXPECT_EQ(w.document.settings.shareName, "pub");
    EXPECT_EQ(w.currentPath, path);
    EXPECT_EQ(w.findChild<SkinLabel*>("fileLabel")->text().toStdString(), path);
    EXPECT_FALSE(w.HasUnsavedChanges());
    EXPECT_EQ(w.autosaveTimer().interval(), 3 * 60000);
    EXPECT_TRUE(w.autosaveTimer().isActive());
}

TEST_F(DocumentFilesTest, ThePasswordIsAskedUntilRightAndAWrongOneIsSaid) {
    AlmanaryDocument saved = Document({"secret"});
    saved.settings.password = "Open Sesame";
    const std::string path = WriteAlmanary("locked.alm", std::move(saved));
    MainWindow& w = Window();
    std::string prompt;
    WhenModal<PasswordDialog>([&](PasswordDialog& dialog) {
        prompt = dialog.prompt();
        auto* edit = dialog.findChild<QLineEdit*>("passwordEdit");
        edit->setText("open sesame");  // letter case matters
        dialog.findChild<QPushButton*>("okButton")->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(edit->text(), "");
        edit->setText("Open Sesame");
        dialog.findChild<QPushButton*>("okButton")->click();
    });

    EXPECT_TRUE(w.LoadDocument(path));

    EXPECT_EQ(prompter.ids(), Ids{MessageId::kWrongPassword});
    EXPECT_EQ(prompt, "locked.alm\nis password protected.  Please enter the password:");
    EXPECT_EQ(NotesOf(w.document.events), Notes{"secret"});
    EXPECT_EQ(w.document.settings.password, "Open Sesame");
}

TEST_F(DocumentFilesTest, CancellingThePasswordLeavesEverythingAsItWas) {
    WriteSkin("Blue", Skin{0xFF0000, 0xFFFFFF, 0x800000, 0xFF8080, ""});
    AlmanaryDocument saved = Document({"secret"});
    saved.settings.password = "pw";
    saved.settings.twelveHourClock = true;
    saved.skinName = "Blue";
    const std::string path = WriteAlmanary("locked.alm", std::move(saved));
    MainWindow& w = Window();
    w.document = Document({"mine"});
    w.document.settings.autosaveMinutes = 7;
    w.currentPath = dir.file("mine.alm");
    const Snapshot before = Take(w);
    WhenModal<PasswordDialog>([](PasswordDialog& dialog) { dialog.reject(); });

    EXPECT_FALSE(w.LoadDocument(path));

    EXPECT_EQ(Take(w), before);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_TRUE(w.reminderTimer().isActive());
}

TEST_F(DocumentFilesTest, AFileThatCannotBeLoadedLeavesTheDocumentAsItWas) {
    struct Case {
        std::string path;
        int message;
    };
    const std::string fixtures = ALMANARY_FIXTURES_DIR;
    const std::vector<Case> cases = {
        {fixtures + "/truncated.alm", MessageId::kFileDamaged},
        {fixtures + "/absurd-event-count.alm", MessageId::kFileDamaged},
        {fixtures + "/absurd-text-length.alm", MessageId::kFileDamaged},
        {fixtures + "/absurd-category-count.alm", MessageId::kFileDamaged},
        {fixtures + "/wide-odd-length.alm", MessageId::kFileDamaged},
        {fixtures + "/not-almanary.alm", MessageId::kNotAlmanary},
        {dir.file("missing.alm"), MessageId::kFileNotFound},
        {dir.path().string(), MessageId::kFileUnreadable},
    };
    MainWindow& w = Window();
    w.document = Document({"mine"});
    w.document.settings.twelveHourClock = true;
    DateTimeText::SetTwelveHourClock(true);
    w.currentPath = dir.file("mine.alm");
    const Snapshot before = Take(w);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        prompter.ClearShown();
        EXPECT_FALSE(w.LoadDocument(c.path));
        ASSERT_EQ(prompter.ids(), Ids{c.message});
        EXPECT_EQ(prompter.shown()[0].args.at(0), c.path);
        EXPECT_EQ(Take(w), before);
    }
}

TEST_F(DocumentFilesTest, AMissingSkinFileFallsBackToTheDefaultLookAndKeepsItsName) {
    WriteSkin("Blue", Skin{0xFF0000, 0xFFFFFF, 0x800000, 0xFF8080, ""});
    AlmanaryDocument saved = Document({"one"});
    saved.skinName = "Gone";
    const std::string path = WriteAlmanary("cal.alm", std::move(saved));
    MainWindow& w = Window();
    SkinColours::SetButtonBackground(Qt::magenta);
    ASSERT_TRUE(w.background.Load(ALMANARY_FIXTURES_DIR "/bitmaps/rgb24.bmp"));

    EXPECT_TRUE(w.LoadDocument(path));

    ASSERT_EQ(prompter.ids(), Ids{MessageId::kSkinInvalid});
    EXPECT_EQ(prompter.shown()[0].args, std::vector<std::string>{dir.file("Skins/Gone.skn")});
    EXPECT_EQ(SkinColours::ButtonBackground(), SkinColours::PlatformColours().buttonBackground);
    EXPECT_FALSE(w.background.IsLoaded());
    EXPECT_EQ(w.document.skinName, "Gone");
    EXPECT_FALSE(w.HasUnsavedChanges());

    w.silentSave = true;
    EXPECT_TRUE(w.SaveDocument());
    EXPECT_EQ(ReadBack(path).skinName, "Gone") << "kept for a skin restored later";
}

TEST_F(DocumentFilesTest, ALoadedSkinSetsTheColoursAndThePicture) {
    const std::string picture = ALMANARY_FIXTURES_DIR "/bitmaps/rgb24.bmp";
    WriteSkin("Blue", Skin{0x00FF0000, 0x00FFFFFF, 0x00800000, 0x00FF8080, picture});
    WriteSkin("Lost", Skin{0x000000FF, 0x00000000, 0x00000080, 0x008080FF, dir.file("gone.bmp")});
    AlmanaryDocument blue = Document({"one"});
    blue.skinName = "Blue";
    AlmanaryDocument lost = Document({"two"});
    lost.skinName = "Lost";
    const std::string bluePath = WriteAlmanary("blue.alm", std::move(blue));
    const std::string lostPath = WriteAlmanary("lost.alm", std::move(lost));
    MainWindow& w = Window();

    EXPECT_TRUE(w.LoadDocument(bluePath));
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(SkinColours::ButtonBackground(), QColor(0, 0, 255));
    EXPECT_EQ(SkinColours::ButtonText(), QColor(255, 255, 255));
    EXPECT_EQ(SkinColours::ButtonShadow(), QColor(0, 0, 128));
    EXPECT_EQ(SkinColours::ButtonHighlight(), QColor(128, 128, 255));
    EXPECT_TRUE(w.background.IsLoaded());
    EXPECT_EQ(w.backgroundPath, picture);

    // A picture that is gone: said once, and no picture is drawn.
    EXPECT_TRUE(w.LoadDocument(lostPath));
    ASSERT_EQ(prompter.ids(), Ids{MessageId::kBackgroundMissing});
    EXPECT_EQ(prompter.shown()[0].args, (std::vector<std::string>{dir.file("gone.bmp"), "Lost"}));
    EXPECT_FALSE(w.background.IsLoaded());
    EXPECT_EQ(SkinColours::ButtonBackground(), QColor(255, 0, 0));
}

TEST_F(DocumentFilesTest, LoadIsRefusedWhileAPrintJobRunsOrAChooserIsOpen) {
    const std::string path = WriteAlmanary("cal.alm", Document({"next"}));
    MainWindow& w = Window();
    w.document = Document({"mine"});

    w.printJobRunning = true;
    EXPECT_FALSE(w.LoadDocument(path));
    w.findChild<QPushButton*>("loadButton")->click();
    w.printJobRunning = false;
    EXPECT_TRUE(files.requests().empty());

    files.SetOpen(true);
    w.findChild<QPushButton*>("loadButton")->click();
    EXPECT_FALSE(w.SaveDocument());
    files.SetOpen(false);
    EXPECT_EQ(files.raised(), 2);
    EXPECT_TRUE(files.requests().empty());
    EXPECT_EQ(NotesOf(w.document.events), Notes{"mine"});
}

}  // namespace
}  // namespace almanary::testing
