// Saving and loading: the choosers, the questions, the password, damaged files, skins.

#include "app/DocumentFiles.h"

#include <QLabel>
#include <QLineEdit>

#include "app/PasswordDialog.h"
#include "skins/SkinFile.h"
#include "support/MainWindowHarness.h"

namespace almanary::testing {
namespace {

namespace fs = std::filesystem;

class DocumentFilesTest : public MainWindowHarness {
protected:
    // The window on {"mine"}, saved as mine.alm, with one change since.
    MainWindow& windowWithChange() {
        session().replace(document({"mine"}), writeAlmanary("mine.alm", document({"mine"})));
        addEvent("pending");
        return window();
    }

    void addEvent(const std::string& note) {
        session().storeEvent(makeEvent({2024, 3, 20, "10", "15", note, "15"}), nullptr);
    }

    // The open document as it stands, to compare before and after.
    auto snapshot() {
        const AlmanaryDocument& d = session().document();
        return std::tuple(notesOf(d.events), d.settings, d.skinName, session().path(),
                          DateTimeText::getTwelveHourClock(), SkinColours::buttonBackground());
    }
};

// Only an untitled document asks for a name; Save As to the same file (a link) asks nothing.
TEST_F(DocumentFilesTest, OnlyAnUntitledDocumentAsksForAName) {
    const std::string path = dir.file("cal.alm");
    fs::create_symlink(path, dir.file("link.alm"));
    MainWindow& w = window();
    session().replace(document({"one"}), "");
    files.choose(path);
    child<QPushButton>(w, "saveButton")->click();
    session().setShareName("home");
    addEvent("resaved");
    EXPECT_TRUE(w.saveDocument());
    EXPECT_EQ(notesInFile(path), (Notes{"one", "resaved"}));
    EXPECT_FALSE(session().hasUnsavedChanges());

    files.choose(dir.file("link.alm"));
    EXPECT_TRUE(w.saveDocument(SaveMode::SaveAs));
    EXPECT_TRUE(prompter.ids.empty());
    EXPECT_EQ(session().document().settings.shareName, "home");
    EXPECT_TRUE(fs::is_symlink(dir.file("link.alm")));
}

// Save As over another file asks first; No, or a failure, changes nothing.
TEST_F(DocumentFilesTest, SaveAsAsksBeforeReplacingAFileAndAFailureChangesNothing) {
    const std::string other = writeAlmanary("other.alm", document({"theirs"}));
    fs::create_directory(dir.file("folder.alm"));
    MainWindow& w = windowWithChange();
    session().setShareName("home");
    const std::tuple<std::string, std::optional<MessageAnswer>, MessageId> cases[] = {
        {other, No, OverwriteAlmanary},
        {dir.file("folder.alm"), std::nullopt, SaveFailed},
        {other, Yes, OverwriteAlmanary},
    };
    for (const auto& [target, answer, message] : cases) {
        SCOPED_TRACE(target);
        prompter.clearShown();
        if (answer)
            prompter.answer(*answer);
        files.choose(target);
        const bool saved = answer == Yes;
        EXPECT_EQ(w.saveDocument(SaveMode::SaveAs), saved);
        ASSERT_EQ(prompter.ids, Ids{message});
        EXPECT_EQ(prompter.args[0].front(), target);
        EXPECT_FALSE(prompter.args[0].back().empty()) << "the system's reason";
        EXPECT_EQ(notesInFile(other), saved ? (Notes{"mine", "pending"}) : Notes{"theirs"});
        EXPECT_EQ(opened(), std::tuple(Notes{"mine", "pending"},
                                       saved ? other : dir.file("mine.alm"), !saved));
        EXPECT_EQ(session().document().settings.shareName, saved ? "" : "home");
    }
}

TEST_F(DocumentFilesTest, LoadingAsksAboutUnsavedChangesFirst) {
    const std::string next = writeAlmanary("next.alm", document({"next"}));
    for (const MessageAnswer answer : {Yes, No, Cancel}) {
        window_.reset();
        MainWindow& w = windowWithChange();
        prompter.answer(answer);  // Yes saves to the open file
        const bool loads = answer != Cancel;
        EXPECT_EQ(w.loadDocument(next), loads);
        EXPECT_EQ(prompter.takeIds(), Ids{UnsavedChanges});
        EXPECT_EQ(opened(), loads
                                ? std::tuple(Notes{"next"}, next, false)
                                : std::tuple(Notes{"mine", "pending"}, dir.file("mine.alm"), true));
        EXPECT_EQ(notesInFile(dir.file("mine.alm")),
                  answer == Yes ? (Notes{"mine", "pending"}) : Notes{"mine"});
    }
}

// A file written elsewhere since: Save asks, autosave leaves it and the window says why.
TEST_F(DocumentFilesTest, AFileChangedElsewhereIsNotReplacedWithoutAsking) {
    const struct {
        std::optional<MessageAnswer> answer;  // none: autosave
        Notes inFile, inOther;
    } cases[] = {
        {std::nullopt, {"theirs"}, {}},
        {Cancel, {"theirs"}, {}},
        {Yes, {"mine", "pending"}, {}},
        {No, {"theirs"}, {"mine", "pending"}},
    };
    for (const auto& c : cases) {
        window_.reset();
        fs::remove(dir.file("other.alm"));
        MainWindow& w = window();
        ASSERT_TRUE(w.loadDocument(writeAlmanary("mine.alm", document({"mine"}))));
        addEvent("pending");
        writeAlmanary("mine.alm", document({"theirs"}));
        if (c.answer)
            prompter.answer(*c.answer);
        if (c.answer == No)
            files.choose(dir.file("other.alm"));
        c.answer ? void(w.saveDocument()) : w.onAutosaveTimer();
        EXPECT_EQ(prompter.takeIds(), c.answer ? Ids{ChangedOnDisk} : Ids{});
        EXPECT_EQ(session().hasUnsavedChanges(), c.answer != Yes && c.answer != No);
        EXPECT_EQ(notesInFile(dir.file("mine.alm")), c.inFile);
        EXPECT_EQ(notesInFile(dir.file("other.alm")), c.inOther);
        EXPECT_EQ(child<QLabel>(w, "noticeLabel")->isVisibleTo(&w), !c.answer);
    }
}

// A file that cannot be loaded, or whose password is not given, changes nothing.
TEST_F(DocumentFilesTest, AFileThatCannotBeLoadedLeavesTheDocumentAsItWas) {
    AlmanaryDocument locked = document({"secret"});
    locked.settings.password = "pw";
    const std::pair<std::string, Ids> cases[] = {
        {ALMANARY_FIXTURES_DIR "/not-almanary.alm", {NotAlmanary}},
        {dir.file("missing.alm"), {FileNotFound}},
        {writeAlmanary("locked.alm", locked), {}},  // the password dialog cancelled
    };
    MainWindow& w = window();
    session().replace(document({"mine"}), dir.file("mine.alm"));
    const auto before = snapshot();
    for (const auto& [path, messages] : cases) {
        SCOPED_TRACE(path);
        prompter.clearShown();
        if (messages.empty())
            whenModal<PasswordDialog>(modalContext, [](PasswordDialog& d) { d.reject(); });
        EXPECT_FALSE(w.loadDocument(path));
        ASSERT_EQ(prompter.ids, messages);
        EXPECT_TRUE(messages.empty() || prompter.args[0].at(0) == path);
        EXPECT_EQ(snapshot(), before);
    }
}

// A wrong password (case matters) is said and cleared; a Latin-1 one can be typed.
TEST_F(DocumentFilesTest, ThePasswordIsAskedUntilRight) {
    AlmanaryDocument saved = document({"secret"});
    saved.settings.password = "Open Sesam\xE9";  // Latin-1
    saved.settings.twelveHourClock = true;
    const std::string path = writeAlmanary("locked.alm", saved);
    whenModal<PasswordDialog>(modalContext, [&](PasswordDialog& dialog) {
        auto* edit = child<QLineEdit>(dialog, "passwordEdit");
        edit->setText(QString::fromUtf16(u"open sesam\u00E9"));
        press(dialog, "okButton");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(edit->text(), "");
        edit->setText(QString::fromUtf16(u"Open Sesam\u00E9"));
        press(dialog, "okButton");
        if (dialog.isVisible())
            dialog.reject();  // refused again: fail, not hang
    });
    EXPECT_TRUE(window().loadDocument(path));
    EXPECT_EQ(prompter.ids, Ids{WrongPassword});
    EXPECT_EQ(opened(), std::tuple(Notes{"secret"}, path, false));
    EXPECT_TRUE(DateTimeText::getTwelveHourClock());
}

// A lost skin leaves the default look, keeping its name; a lost picture, the colours.
TEST_F(DocumentFilesTest, AMissingSkinOrPictureIsSaidAndTheDocumentStillLoads) {
    fs::create_directories(dir.file("Skins"));
    const Skin lost{0x000000FF, 0, 0x00000080, 0x008080FF, dir.file("gone.bmp")};
    ASSERT_FALSE(SkinFile::writeNamed(dir.file("Skins"), "Lost", lost));
    const QColor platform = SkinColours::platformColours().buttonBackground;
    const std::tuple<const char*, MessageId, std::vector<std::string>, QColor> cases[] = {
        {"Gone", SkinInvalid, {dir.file("Skins/Gone.skn")}, platform},
        {"Lost", BackgroundMissing, {dir.file("gone.bmp"), "Lost"}, QColor(255, 0, 0)},
    };
    for (const auto& [skin, message, args, face] : cases) {
        prompter.clearShown();
        SkinColours::setCurrent({Qt::magenta, Qt::black, Qt::gray, Qt::white});
        ASSERT_TRUE(session().background().load(ALMANARY_FIXTURES_DIR "/bitmaps/rgb24.bmp"));
        AlmanaryDocument skinned = document({"one"});
        skinned.skinName = skin;
        EXPECT_TRUE(window().loadDocument(writeAlmanary("skinned.alm", skinned)));
        EXPECT_EQ(prompter.ids, Ids{message});
        EXPECT_EQ(prompter.args.at(0), args);
        EXPECT_EQ(SkinColours::buttonBackground(), face);
        EXPECT_FALSE(session().background().isLoaded());
        EXPECT_EQ(session().document().skinName, skin);
        EXPECT_FALSE(session().hasUnsavedChanges());
    }
}

}  // namespace
}  // namespace almanary::testing
