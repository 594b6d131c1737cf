// Saving and loading through the main window: the choosers, the questions,
// the password prompt, damaged files and the document's skin.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <tuple>

#include "support/MainWindowHarness.h"
#include "app/PasswordDialog.h"

namespace almanary::testing {
namespace {

namespace fs = std::filesystem;

class DocumentFilesTest : public MainWindowHarness {
protected:
    // An open document, saved once at `path` through the chooser.
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
    using Snapshot = std::tuple<Notes, DocumentSettings, std::string, std::string, bool, QColor>;
    static Snapshot Take(const MainWindow& w) {
        return {NotesOf(w.document.events),
                w.document.settings,
                w.document.skinName,
                w.currentPath,
                DateTimeText::GetTwelveHourClock(),
                SkinColours::ButtonBackground()};
    }
};

// The first save asks for a name; later ones, and a save under another name
// of the same file, ask nothing.
TEST_F(DocumentFilesTest, SavingAsksForANameOnlyForAnUntitledDocument) {
    const std::string path = dir.file("cal.alm");
    fs::create_symlink(path, dir.file("link.alm"));
    MainWindow& w = Window();
    w.document = Document({"one"});
    w.documentChanged = true;
    files.Choose(path);
    w.findChild<QPushButton*>("saveButton")->click();
    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_TRUE(files.requests()[0].toSave);
    EXPECT_EQ(w.currentPath, path);
    w.document.settings.shareName = "home";

    AddEvent(w, "resaved");
    EXPECT_TRUE(w.SaveDocument());
    EXPECT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(NotesOf(ReadBack(path).events), (Notes{"one", "resaved"}));
    EXPECT_FALSE(w.HasUnsavedChanges());

    AddEvent(w, "again");
    files.Choose(dir.file("link.alm"));
    EXPECT_TRUE(w.SaveDocument(true));
    EXPECT_TRUE(prompter.shown().empty()) << "no overwrite question for the same file";
    EXPECT_EQ(w.document.settings.shareName, "home") << "still the published file";
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
    const std::string oldPath = dir.file("cal.alm");
    MainWindow& w = WindowWithSavedDocument(oldPath, {"one"});
    AddEvent(w, "unsaved");
    fs::create_directory(dir.file("folder.alm"));
    files.Choose(dir.file("folder.alm"));

    EXPECT_FALSE(w.SaveDocument(true));

    ASSERT_EQ(prompter.ids(), Ids{MessageId::kSaveFailed});
    ASSERT_EQ(prompter.shown()[0].args.size(), 2u);
    EXPECT_EQ(prompter.shown()[0].args[0], dir.file("folder.alm"));
    EXPECT_FALSE(prompter.shown()[0].args[1].empty()) << "the system's reason";
    EXPECT_EQ(w.currentPath, oldPath);
    EXPECT_TRUE(w.HasUnsavedChanges());
    EXPECT_TRUE(w.reminderTimer().isActive());
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

TEST_F(DocumentFilesTest, ThePasswordIsAskedUntilRightAndCancelChangesNothing) {
    WriteSkin("Blue", Skin{0xFF0000, 0xFFFFFF, 0x800000, 0xFF8080, ""});
    AlmanaryDocument saved = Document({"secret"});
    saved.settings.password = "Open Sesame";
    saved.settings.twelveHourClock = true;
    saved.skinName = "Blue";
    const std::string path = WriteAlmanary("locked.alm", std::move(saved));
    MainWindow& w = Window();
    w.document = Document({"mine"});
    w.currentPath = dir.file("mine.alm");
    const Snapshot before = Take(w);
    WhenModal<PasswordDialog>(modalContext, [](PasswordDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(w.LoadDocument(path));
    EXPECT_EQ(Take(w), before);
    EXPECT_TRUE(prompter.shown().empty());

    WhenModal<PasswordDialog>(modalContext, [&](PasswordDialog& dialog) {
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
    EXPECT_EQ(NotesOf(w.document.events), Notes{"secret"});
    EXPECT_TRUE(DateTimeText::GetTwelveHourClock());
}

TEST_F(DocumentFilesTest, AFileThatCannotBeLoadedLeavesTheDocumentAsItWas) {
    const std::string fixtures = ALMANARY_FIXTURES_DIR;
    std::vector<std::pair<std::string, int>> cases = {
        {fixtures + "/not-almanary.alm", MessageId::kNotAlmanary},
        {dir.file("missing.alm"), MessageId::kFileNotFound},
        {dir.path().string(), MessageId::kFileUnreadable},
    };
    for (const char* damaged : {"truncated", "absurd-event-count", "absurd-text-length",
                                "absurd-category-count", "wide-odd-length"})
        cases.emplace_back(fixtures + "/" + damaged + ".alm", MessageId::kFileDamaged);
    MainWindow& w = Window();
    w.document = Document({"mine"});
    w.currentPath = dir.file("mine.alm");
    const Snapshot before = Take(w);
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        prompter.ClearShown();
        EXPECT_FALSE(w.LoadDocument(path));
        ASSERT_EQ(prompter.ids(), Ids{message});
        EXPECT_EQ(prompter.shown()[0].args.at(0), path);
        EXPECT_EQ(Take(w), before);
    }
}

TEST_F(DocumentFilesTest, AMissingSkinOrPictureIsSaidAndTheDocumentStillLoads) {
    WriteSkin("Lost", Skin{0x000000FF, 0x00000000, 0x00000080, 0x008080FF, dir.file("gone.bmp")});
    AlmanaryDocument gone = Document({"one"});
    gone.skinName = "Gone";
    AlmanaryDocument lost = Document({"two"});
    lost.skinName = "Lost";
    const std::string gonePath = WriteAlmanary("gone.alm", std::move(gone));
    const std::string lostPath = WriteAlmanary("lost.alm", std::move(lost));
    MainWindow& w = Window();
    ASSERT_TRUE(w.background.Load(ALMANARY_FIXTURES_DIR "/bitmaps/rgb24.bmp"));

    // A skin file that is gone: the default look, and the name kept for later.
    SkinColours::SetButtonBackground(Qt::magenta);
    EXPECT_TRUE(w.LoadDocument(gonePath));
    ASSERT_EQ(prompter.ids(), Ids{MessageId::kSkinInvalid});
    EXPECT_EQ(prompter.shown()[0].args, std::vector<std::string>{dir.file("Skins/Gone.skn")});
    EXPECT_EQ(SkinColours::ButtonBackground(), SkinColours::PlatformColours().buttonBackground);
    EXPECT_FALSE(w.background.IsLoaded());
    EXPECT_EQ(w.document.skinName, "Gone");
    EXPECT_FALSE(w.HasUnsavedChanges());

    // A picture that is gone: said, and the skin's colours still apply.
    prompter.ClearShown();
    ASSERT_TRUE(w.background.Load(ALMANARY_FIXTURES_DIR "/bitmaps/rgb24.bmp"));
    EXPECT_TRUE(w.LoadDocument(lostPath));
    ASSERT_EQ(prompter.ids(), Ids{MessageId::kBackgroundMissing});
    EXPECT_EQ(prompter.shown()[0].args, (std::vector<std::string>{dir.file("gone.bmp"), "Lost"}));
    EXPECT_FALSE(w.background.IsLoaded());
    EXPECT_EQ(SkinColours::ButtonBackground(), QColor(255, 0, 0));
}

}  // namespace
}  // namespace almanary::testing
