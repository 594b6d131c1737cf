// The skin editor: the skins offered, picking, colours, pictures, Apply, Save Skin, OK, Cancel.

#include "skineditor/SkinsDialog.h"

#include "skins/SkinFile.h"
#include "skins/SkinLabel.h"
#include "support/SessionHarness.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using Names = std::vector<std::string>;

const std::string kPictures = ALMANARY_FIXTURES_DIR "/bitmaps/";
const std::string kPictureA = kPictures + "rgb24.bmp", kPictureB = kPictures + "pal4.bmp",
                  kPictureC = kPictures + "pal8-16.bmp";

const QColor kRed(255, 0, 0), kBlue(0, 0, 255);

Skin skinOf(std::uint32_t face, const std::string& picture) {
    return {face, 0x00000080, 0x00404040, 0x00F0F0F0, picture};
}

class SkinsDialogTest : public SessionHarness {
protected:
    SkinsDialogTest() {
        SkinColours::setPlatformColours();  // process-wide
        services.skinsFolder = dir.file("Skins");
    }

    void writeSkin(const std::string& name, const Skin& skin) {
        std::filesystem::create_directories(services.skinsFolder);
        ASSERT_EQ(SkinFile::writeNamed(services.skinsFolder, name, skin), std::nullopt);
    }
    std::string skinPath(const std::string& name) {
        return services.skinsFolder + "/" + name + ".skn";
    }

    void open() {
        dialog = std::make_unique<SkinsDialog>(nullptr, session, services);
        dialog->show();
    }
    QComboBox& combo() { return *child<QComboBox>(*dialog, "skinsCombo"); }
    std::string shownName() { return combo().currentText().toStdString(); }
    // The name and picture path shown, and the button face's colour.
    std::string shown() {
        return shownName() + "|" +
               child<SkinLabel>(*dialog, "backgroundLabel")->text().toStdString() + "|" +
               SkinColours::current().buttonBackground.name().toStdString();
    }
    void typeName(const char* name) { combo().setEditText(QString::fromUtf8(name)); }
    void pickColour(const char* button, const QColor& colour) {
        colours.choose(colour);
        press(*dialog, button);
    }
    void choosePicture(const std::string& path) {
        files.choose(path);
        press(*dialog, "loadBackgroundButton");
    }

    // "-" for no picture, else which of A, B, C it is.
    static std::string which(const BackgroundImage& picture) {
        if (!picture.isLoaded())
            return "-";
        for (const auto& [name, path] :
             {std::pair{"A", kPictureA}, {"B", kPictureB}, {"C", kPictureC}}) {
            BackgroundImage known;
            if (known.load(path) && known.image() == picture.image())
                return name;
        }
        return "?";
    }
    // Preview, current, committed, and the windows' picture.
    std::string pictures() {
        const SkinPictures& p = dialog->pictures();
        return which(p.preview()) + which(p.current()) + which(p.committed()) +
               which(session.background());
    }

    std::unique_ptr<SkinsDialog> dialog;
};

// The skins offered, sorted; a pick shows, an unreadable one leaves; OK hands it to the session.
TEST_F(SkinsDialogTest, PickingShowsASkinInTheEditorAndOkHandsItToTheSession) {
    for (const char* name : {"beta", "Alpha", "Cut"})
        writeSkin(name, skinOf(0x00FFFFFF, ""));
    writeSkin("Ocean", skinOf(0x00C08040, kPictureA));
    writeFile(skinPath("Cut"), "cut");
    writeFile(skinPath("Default"), SkinFile::encode(skinOf(0x00FFFFFF, "")));
    open();
    EXPECT_EQ(itemTexts(*dialog, "skinsCombo"),
              (Names{"Alpha", "beta", "Cut", "Default", "Ocean"}));
    const std::string platform =
        SkinColours::platformColours().buttonBackground.name().toStdString();
    EXPECT_EQ(shown(), "Default||" + platform);
    const std::string ocean = "Ocean|" + kPictureA + "|#4080c0";
    pick(*dialog, "skinsCombo", "Ocean");
    EXPECT_EQ(shown(), ocean);
    EXPECT_EQ(pictures(), "-A--");
    EXPECT_EQ(dialog->background(), &dialog->pictures().current());
    EXPECT_EQ(combo().currentIndex(), -1);

    pick(*dialog, "skinsCombo", "Cut");
    EXPECT_EQ(prompter.takeIds(), Ids{SkinLoadError});
    EXPECT_EQ(itemTexts(*dialog, "skinsCombo"), (Names{"Alpha", "beta", "Default", "Ocean"}));
    EXPECT_EQ(shown() + dialog->skinName(), ocean + "Ocean");

    pick(*dialog, "skinsCombo", "Default");
    EXPECT_EQ(shown(), "Default||" + platform);
    EXPECT_EQ(pictures(), "----");
    pickColour("buttonTextButton", kRed);
    choosePicture(kPictureB);
    typeName("Found");
    press(*dialog, "saveSkinButton");
    session.markUnchanged();
    press(*dialog, "okButton");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(session.document().skinName, "Found");
    EXPECT_EQ(SkinFile::readNamed(services.skinsFolder, "Found").skin->picturePath, kPictureB);
    EXPECT_TRUE(session.hasUnsavedChanges());
    EXPECT_EQ(prompter.ids, Ids{});
}

// Save Skin refuses "Default" and no name, replaces only after Yes; a new skin is listed once.
TEST_F(SkinsDialogTest, SaveSkinRefusesDefaultAndNoNameAndAsksBeforeReplacing) {
    open();
    // The name typed, the answer, the face; the messages, Keep.skn's face afterwards.
    const std::tuple<const char*, std::optional<MessageAnswer>, QColor, Ids, std::optional<QColor>>
        cases[] = {
            {"DEFAULT", {}, kRed, {DefaultSkinReadOnly}, {}},
            {"", {}, kRed, {SkinNameRequired}, {}},
            {"Keep", {}, kRed, {}, kRed},
            {"Keep", No, kBlue, {OverwriteSkin}, kRed},
            {"Keep", Yes, kBlue, {OverwriteSkin}, kBlue},
        };
    for (const auto& [name, answer, face, said, inFile] : cases) {
        SkinColours::setCurrent({face, kBlue, kBlue, kBlue});
        if (answer)
            prompter.answer(*answer);
        typeName(name);
        press(*dialog, "saveSkinButton");
        EXPECT_EQ(prompter.takeIds(), said) << name;
        const SkinRead read = SkinFile::readNamed(services.skinsFolder, "Keep");
        EXPECT_EQ(read.skin ? std::optional(SkinColours::fromColourRef(read.skin->buttonBackground))
                            : std::nullopt,
                  inFile)
            << name;
    }
    EXPECT_EQ(dialog->skinName(), "Keep");
    EXPECT_EQ(itemTexts(*dialog, "skinsCombo"), (Names{"Default", "Keep"}));

    writeFile(dir.file("file"), "x");
    services.skinsFolder = dir.file("file/Skins");
    typeName("Nowhere");
    press(*dialog, "saveSkinButton");
    EXPECT_EQ(prompter.ids, Ids{SkinSaveError});
}

// Preview, current, committed and the windows' picture after each step; Apply names a lost one.
TEST_F(SkinsDialogTest, ThePicturesFollowEachStep) {
    writeSkin("Sea", skinOf(0x00C08040, kPictureC));
    writeSkin("Lost", skinOf(0x00C08040, dir.file("lost.bmp")));
    ASSERT_TRUE(session.background().load(kPictureA));
    open();
    const std::pair<std::function<void()>, const char*> steps[] = {
        {[] {}, "-AAA"},
        {[this] { pick(*dialog, "skinsCombo", "Lost"); }, "--AA"},
        {[this] { press(*dialog, "applyButton"); }, "----"},
        {[this] { choosePicture(kPictureB); }, "B---"},
        {[this] { pick(*dialog, "skinsCombo", "Sea"); }, "-C--"},
        {[this] { press(*dialog, "applyButton"); }, "-CCC"},
        {[this] { choosePicture(kPictureB); }, "BCCC"},
        {[this] { press(*dialog, "applyButton"); }, "-BBB"},
        {[this] { choosePicture(kPictureA); }, "ABBB"},
        {[this] { pick(*dialog, "skinsCombo", "Sea"); }, "-CBB"},
        {[this] { choosePicture(dir.file("Skins/Sea.skn")); }, "-CBB"},
        {[this] { press(*dialog, "cancelButton"); }, "-BBB"},
    };
    for (const auto& [step, after] : steps) {
        step();
        EXPECT_EQ(pictures(), after) << &step - &steps[0].first;
    }
    // A lost picture applied, 126; applied pictures come unsaved, 131; a file no bitmap, 126.
    EXPECT_EQ(prompter.ids, (Ids{BackgroundMissing, UnsavedSkinOnApply, BackgroundMissing}));
    EXPECT_EQ(prompter.args.at(0), (std::vector<std::string>{dir.file("lost.bmp"), "Lost"}));
    EXPECT_EQ(session.backgroundPath(), kPictureB);
}

// Cancel (Escape) goes back to the last Apply (Enter on it), which the session keeps.
TEST_F(SkinsDialogTest, CancelAfterApplyKeepsTheAppliedAndUndoesTheRest) {
    open();
    pickColour("buttonBackgroundButton", kBlue);
    EXPECT_EQ(shownName(), "");
    pressKey(*dialog, "applyButton");
    EXPECT_EQ(prompter.ids, Ids{UnsavedSkinOnApply});
    pickColour("buttonTextButton", kRed);
    choosePicture(kPictureA);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(colours.offered.at(0), SkinColours::platformColours().buttonBackground);
    EXPECT_EQ(SkinColours::buttonBackground(), kBlue);
    EXPECT_EQ(SkinColours::buttonText(), SkinColours::platformColours().buttonText);
    EXPECT_EQ(pictures(), "A---");
    EXPECT_EQ(session.document().skinName, "");
    EXPECT_EQ(session.backgroundPath(), "");
    EXPECT_TRUE(session.hasUnsavedChanges());
}

// An unsaved colour change asks on OK (Cancel: back to the editor); no skin name.
TEST_F(SkinsDialogTest, AnUnsavedColourChangeAsks125AndLeavesNoSkinName) {
    open();
    pickColour("buttonTextButton", kRed);
    EXPECT_EQ(shownName(), "");
    for (const MessageAnswer answer : {Cancel, Ok}) {
        prompter.answer(answer);
        press(*dialog, "okButton");
        EXPECT_EQ(dialog->isVisible(), answer == Cancel);
    }
    EXPECT_EQ(prompter.ids, (Ids{UnsavedSkinOnOk, UnsavedSkinOnOk}));
    EXPECT_EQ(session.document().skinName, "");
    EXPECT_TRUE(session.hasUnsavedChanges());
    EXPECT_EQ(SkinColours::buttonText(), kRed);
}

}  // namespace
}  // namespace almanary::testing
