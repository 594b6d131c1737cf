// Saving and loading through the main window: the choosers, the questions,
// the password prompt, damaged files and the document's skin.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <tuple>

#include "app/PasswordDialog.h"
#include "support/MainWindowHarness.h"

namespace almanary::testing {
namespace {

namespace fs = std::filesystem;

class DocumentFilesTest : public MainWindowHarness {
protected:
    // An open document, saved once at `path` through the chooser.
    MainWindow& windowWithSavedDocument(const std::string& path, const Notes& notes) {
        MainWindow& w = window();
        w.session().replace(document(notes), "");
        files.choose(path);
        EXPECT_TRUE(w.saveDocument());
        return w;
    }

    void addEvent(MainWindow& w, const std::string& note) {
        w.session().storeEvent(makeEvent({2024, 3, 20, "10", "15", note, "15"}), nullptr);
    }

    // The open document as it stands, to compare before and after.
    using Snapshot = std::tuple<Notes, DocumentSettings, std::string, std::string, bool, QColor>;
    static Snapshot take(MainWindow& w) {
        return {notesOf(w.session().document().events), w.session().document().settings,
                w.session().document().skinName,        w.session().path(),
                DateTimeText::getTwelveHourClock(),     SkinColours::buttonBackground()};
    }
};

// The first save asks for a name; later ones, and a save under another name
// of the same file, ask nothing.
TEST_F(DocumentFilesTest, SavingAsksForANameOnlyForAnUntitledDocument) {
    const std::string path = dir.file("cal.alm");
    fs::create_symlink(path, dir.file("link.alm"));
    MainWindow& w = window();
    w.session().replace(document({"one"}), "");
    w.session().markChanged();
    files.choose(path);
    w.findChild<QPushButton*>("saveButton")->click();
    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_TRUE(files.requests()[0].toSave);
    EXPECT_EQ(w.session().path(), path);
    w.session().setShareName("home");

    addEvent(w, "resaved");
    EXPECT_TRUE(w.saveDocument());
    EXPECT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(notesOf(readBack(path).events), (Notes{"one", "resaved"}));
    EXPECT_FALSE(w.session().hasUnsavedChanges());

    addEvent(w, "again");
    files.choose(dir.file("link.alm"));
    EXPECT_TRUE(w.saveDocument(SaveMode::SaveAs));
    EXPECT_TRUE(prompter.shown().empty()) << "no overwrite question for the same file";
    EXPECT_EQ(w.session().document().settings.shareName, "home") << "still the published file";
    EXPECT_TRUE(fs::is_symlink(dir.file("link.alm"))) << "the link stays a link";
}

TEST_F(DocumentFilesTest, SavingOverAnotherExistingFileAsksFirst) {
    const std::string mine = dir.file("mine.alm");
    const std::string other = writeAlmanary("other.alm", document({"theirs"}));
    MainWindow& w = windowWithSavedDocument(mine, {"ours"});
    w.session().setShareName("home");
    addEvent(w, "more");

    // No: nothing is written and the document stays as it was.
    prompter.answer(MessageAnswer::No);
    files.choose(other);
    EXPECT_FALSE(w.saveDocument(SaveMode::SaveAs));
    EXPECT_EQ(prompter.ids(), Ids{MessageId::OverwriteAlmanary});
    EXPECT_EQ(notesOf(readBack(other).events), Notes{"theirs"});
    EXPECT_EQ(w.session().path(), mine);
    EXPECT_TRUE(w.session().hasUnsavedChanges());

    // Yes: the other file is replaced; the copy is no longer the shared one.
    prompter.answer(MessageAnswer::Yes);
    files.choose(other);
    EXPECT_TRUE(w.saveDocument(SaveMode::SaveAs));
    EXPECT_EQ(notesOf(readBack(other).events), (Notes{"ours", "more"}));
    EXPECT_EQ(w.session().path(), other);
    EXPECT_EQ(w.session().document().settings.shareName, "");
    EXPECT_FALSE(w.session().hasUnsavedChanges());
}

TEST_F(DocumentFilesTest, AFailedSaveSaysWhyAndKeepsTheDocumentChangedUnderItsOldName) {
    const std::string oldPath = dir.file("cal.alm");
    MainWindow& w = windowWithSavedDocument(oldPath, {"one"});
    addEvent(w, "unsaved");
    fs::create_directory(dir.file("folder.alm"));
    files.choose(dir.file("folder.alm"));

    EXPECT_FALSE(w.saveDocument(SaveMode::SaveAs));

    ASSERT_EQ(prompter.ids(), Ids{MessageId::SaveFailed});
    ASSERT_EQ(prompter.shown()[0].args.size(), 2u);
    EXPECT_EQ(prompter.shown()[0].args[0], dir.file("folder.alm"));
    EXPECT_FALSE(prompter.shown()[0].args[1].empty()) << "the system's reason";
    EXPECT_EQ(w.session().path(), oldPath);
    EXPECT_TRUE(w.session().hasUnsavedChanges());
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
        window_.reset();
        prompter.clearShown();
        const std::string mine = dir.file("mine.alm");
        fs::remove(mine);
        const std::string next = writeAlmanary("next.alm", document({"next"}));
        MainWindow& w = windowWithSavedDocument(mine, {"mine"});
        addEvent(w, "pending");
        prompter.answer(c.answer);  // Yes saves to the open file, asking nothing more

        EXPECT_EQ(w.loadDocument(next), c.loaded);

        EXPECT_EQ(prompter.ids(), Ids{MessageId::UnsavedChanges});
        EXPECT_EQ(notesOf(w.session().document().events),
                  c.loaded ? Notes{"next"} : (Notes{"mine", "pending"}));
        EXPECT_EQ(w.session().path(), c.loaded ? next : mine);
        EXPECT_EQ(notesOf(readBack(mine).events),
                  c.savedFirst ? (Notes{"mine", "pending"}) : Notes{"mine"});
        EXPECT_EQ(w.session().hasUnsavedChanges(), !c.loaded);
    }
}

TEST_F(DocumentFilesTest, ThePasswordIsAskedUntilRightAndCancelChangesNothing) {
    writeSkin("Blue", Skin{0xFF0000, 0xFFFFFF, 0x800000, 0xFF8080, ""});
    AlmanaryDocument saved = document({"secret"});
    saved.settings.password = "Open Sesame";
    saved.settings.twelveHourClock = true;
    saved.skinName = "Blue";
    const std::string path = writeAlmanary("locked.alm", std::move(saved));
    MainWindow& w = window();
    w.session().replace(document({"mine"}), dir.file("mine.alm"));
    const Snapshot before = take(w);
    whenModal<PasswordDialog>(modalContext, [](PasswordDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(w.loadDocument(path));
    EXPECT_EQ(take(w), before);
    EXPECT_TRUE(prompter.shown().empty());

    whenModal<PasswordDialog>(modalContext, [&](PasswordDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>("passwordEdit");
        edit->setText("open sesame");  // letter case matters
        dialog.findChild<QPushButton*>("okButton")->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(edit->text(), "");
        edit->setText("Open Sesame");
        dialog.findChild<QPushButton*>("okButton")->click();
    });
    EXPECT_TRUE(w.loadDocument(path));
    EXPECT_EQ(prompter.ids(), Ids{MessageId::WrongPassword});
    EXPECT_EQ(notesOf(w.session().document().events), Notes{"secret"});
    EXPECT_TRUE(DateTimeText::getTwelveHourClock());
}

TEST_F(DocumentFilesTest, AFileThatCannotBeLoadedLeavesTheDocumentAsItWas) {
    const std::string fixtures = ALMANARY_FIXTURES_DIR;
    std::vector<std::pair<std::string, MessageId>> cases = {
        {fixtures + "/not-almanary.alm", MessageId::NotAlmanary},
        {dir.file("missing.alm"), MessageId::FileNotFound},
        {dir.path().string(), MessageId::FileUnreadable},
    };
    for (const char* damaged : {"truncated", "absurd-event-count", "absurd-text-length",
                                "absurd-category-count", "wide-odd-length"})
        cases.emplace_back(fixtures + "/" + damaged + ".alm", MessageId::FileDamaged);
    MainWindow& w = window();
    w.session().replace(document({"mine"}), dir.file("mine.alm"));
    const Snapshot before = take(w);
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        prompter.clearShown();
        EXPECT_FALSE(w.loadDocument(path));
        ASSERT_EQ(prompter.ids(), Ids{message});
        EXPECT_EQ(prompter.shown()[0].args.at(0), path);
        EXPECT_EQ(take(w), before);
    }
}

TEST_F(DocumentFilesTest, AMissingSkinOrPictureIsSaidAndTheDocumentStillLoads) {
    writeSkin("Lost", Skin{0x000000FF, 0x00000000, 0x00000080, 0x008080FF, dir.file("gone.bmp")});
    AlmanaryDocument gone = document({"one"});
    gone.skinName = "Gone";
    AlmanaryDocument lost = document({"two"});
    lost.skinName = "Lost";
    const std::string gonePath = writeAlmanary("gone.alm", std::move(gone));
    const std::string lostPath = writeAlmanary("lost.alm", std::move(lost));
    MainWindow& w = window();
    ASSERT_TRUE(w.session().background().load(ALMANARY_FIXTURES_DIR "/bitmaps/rgb24.bmp"));

    // A skin file that is gone: the default look, and the name kept for later.
    SkinColours::setCurrent({Qt::magenta, Qt::black, Qt::gray, Qt::white});
    EXPECT_TRUE(w.loadDocument(gonePath));
    ASSERT_EQ(prompter.ids(), Ids{MessageId::SkinInvalid});
    EXPECT_EQ(prompter.shown()[0].args, std::vector<std::string>{dir.file("Skins/Gone.skn")});
    EXPECT_EQ(SkinColours::buttonBackground(), SkinColours::platformColours().buttonBackground);
    EXPECT_FALSE(w.session().background().isLoaded());
    EXPECT_EQ(w.session().document().skinName, "Gone");
    EXPECT_FALSE(w.session().hasUnsavedChanges());

    // A picture that is gone: said, and the skin's colours still apply.
    prompter.clearShown();
    ASSERT_TRUE(w.session().background().load(ALMANARY_FIXTURES_DIR "/bitmaps/rgb24.bmp"));
    EXPECT_TRUE(w.loadDocument(lostPath));
    ASSERT_EQ(prompter.ids(), Ids{MessageId::BackgroundMissing});
    EXPECT_EQ(prompter.shown()[0].args, (std::vector<std::string>{dir.file("gone.bmp"), "Lost"}));
    EXPECT_FALSE(w.session().background().isLoaded());
    EXPECT_EQ(SkinColours::buttonBackground(), QColor(255, 0, 0));
}

}  // namespace
}  // namespace almanary::testing
