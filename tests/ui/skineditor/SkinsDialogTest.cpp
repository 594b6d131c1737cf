// The skin editor: the skins offered, picking, colours, pictures, Apply, Save Skin, OK, Cancel.

#include "skineditor/SkinsDialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <filesystem>

#include "skins/SkinColours.h"
#include "skins/SkinFile.h"
#include "skins/SkinLabel.h"
#include "support/SessionHarness.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

using enum MessageId;
using Names = std::vector<std::string>;

const std::string kPictures = ALMANARY_FIXTURES_DIR "/bitmaps/";
const std::string kPictureA = kPictures + "rgb24.bmp";
const std::string kPictureB = kPictures + "pal4.bmp";
const std::string kPictureC = kPictures + "pal8-16.bmp";

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
    Names offered() {
        Names names;
        for (int i = 0; i < combo().count(); ++i)
            names.push_back(combo().itemText(i).toStdString());
        return names;
    }
    std::string shownName() { return combo().currentText().toStdString(); }
    std::string shownPath() {
        return child<SkinLabel>(*dialog, "backgroundLabel")->text().toStdString();
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

// Every skin once, "Default" once, in sorted order.
TEST_F(SkinsDialogTest, TheComboOffersEverySkinOnceWithDefaultInSortedOrder) {
    for (const char* name : {"beta", "Alpha", "gamma"})
        writeSkin(name, skinOf(0x00FFFFFF, ""));
    writeFile(skinPath("Default"), SkinFile::encode(skinOf(0x00FFFFFF, "")));
    open();
    EXPECT_EQ(offered(), (Names{"Alpha", "beta", "Default", "gamma"}));
    EXPECT_EQ(shownName(), "Default");
}

// A skin picked shows in the editor only; OK hands it to the session.
TEST_F(SkinsDialogTest, PickingASkinShowsItInTheEditorAndOkHandsItToTheSession) {
    writeSkin("Ocean", skinOf(0x00C08040, kPictureA));
    open();
    pick(*dialog, "skinsCombo", "Ocean");
    EXPECT_EQ(SkinColours::current().buttonBackground, SkinColours::fromColourRef(0x00C08040));
    EXPECT_EQ(shownName(), "Ocean");
    EXPECT_EQ(shownPath(), kPictureA);
    EXPECT_EQ(pictures(), "-A--");
    EXPECT_EQ(dialog->background(), &dialog->pictures().current());
    EXPECT_EQ(combo().currentIndex(), -1);

    pick(*dialog, "skinsCombo", "Default");
    EXPECT_EQ(SkinColours::current().buttonBackground,
              SkinColours::platformColours().buttonBackground);
    EXPECT_EQ(shownPath(), "");
    EXPECT_EQ(pictures(), "----");
    session.markUnchanged();
    press(*dialog, "okButton");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(session.document().skinName, "Default");
    EXPECT_TRUE(session.hasUnsavedChanges());
    EXPECT_EQ(prompter.ids, Ids{});
}

// A skin file that cannot be read says so, leaves the list, changes nothing.
TEST_F(SkinsDialogTest, ASkinThatCannotBeReadSays118AndLeavesTheList) {
    writeSkin("Cut", skinOf(0x00C08040, ""));
    writeFile(skinPath("Cut"), "cut");
    AlmanaryDocument document;
    document.skinName = "Mine";
    session.replace(document, {});
    open();
    const SkinColourSet before = SkinColours::current();
    pick(*dialog, "skinsCombo", "Cut");
    EXPECT_EQ(prompter.ids, Ids{SkinLoadError});
    EXPECT_EQ(offered(), Names{"Default"});
    EXPECT_EQ(shownName(), "Mine");
    EXPECT_EQ(dialog->skinName(), "Mine");
    EXPECT_EQ(SkinColours::current().buttonBackground, before.buttonBackground);
}

// Save Skin refuses "Default" and no name, makes the folder, replaces only
// after Yes; a new skin joins the list once.
TEST_F(SkinsDialogTest, SaveSkinRefusesDefaultAndNoNameAndAsksBeforeReplacing) {
    open();
    const struct {
        const char* name;
        std::optional<MessageAnswer> answer;
        QColor face;
        Ids shown;
        std::optional<QColor> inFile;  // Keep.skn's face afterwards
    } cases[] = {
        {"DEFAULT", {}, kRed, {DefaultSkinReadOnly}, {}},
        {"", {}, kRed, {SkinNameRequired}, {}},
        {"Keep", {}, kRed, {}, kRed},
        {"Keep", MessageAnswer::No, kBlue, {OverwriteSkin}, kRed},
        {"Keep", MessageAnswer::Yes, kBlue, {OverwriteSkin}, kBlue},
    };
    for (const auto& c : cases) {
        SkinColours::setCurrent({c.face, kBlue, kBlue, kBlue});
        if (c.answer)
            prompter.answer(*c.answer);
        typeName(c.name);
        press(*dialog, "saveSkinButton");
        EXPECT_EQ(prompter.ids, c.shown) << c.name;
        prompter.clearShown();
        const SkinRead read = SkinFile::readNamed(services.skinsFolder, "Keep");
        EXPECT_EQ(read.skin ? std::optional(SkinColours::fromColourRef(read.skin->buttonBackground))
                            : std::nullopt,
                  c.inFile)
            << c.name;
    }
    EXPECT_EQ(dialog->skinName(), "Keep");
    EXPECT_EQ(offered(), (Names{"Default", "Keep"}));

    writeFile(dir.file("file"), "x");
    services.skinsFolder = dir.file("file/Skins");
    typeName("Nowhere");
    press(*dialog, "saveSkinButton");
    EXPECT_EQ(prompter.ids, Ids{SkinSaveError});
}

// Preview, current, committed and the windows' picture after each step.
TEST_F(SkinsDialogTest, ThePicturesFollowEachStep) {
    writeSkin("Sea", skinOf(0x00C08040, kPictureC));
    ASSERT_TRUE(session.background().load(kPictureA));
    open();
    const struct {
        std::function<void()> step;
        const char* pictures;
    } steps[] = {
        {[] {}, "-AAA"},
        {[this] { choosePicture(kPictureB); }, "BAAA"},
        {[this] { pick(*dialog, "skinsCombo", "Sea"); }, "-CAA"},
        {[this] { press(*dialog, "applyButton"); }, "-CCC"},
        {[this] { choosePicture(kPictureB); }, "BCCC"},
        {[this] { press(*dialog, "applyButton"); }, "-BBB"},
        {[this] { choosePicture(kPictureA); }, "ABBB"},
        {[this] { pick(*dialog, "skinsCombo", "Sea"); }, "-CBB"},
        {[this] { choosePicture(dir.file("Skins/Sea.skn")); }, "-CBB"},
        {[this] { press(*dialog, "cancelButton"); }, "-BBB"},
    };
    for (const auto& s : steps) {
        s.step();
        EXPECT_EQ(pictures(), s.pictures) << &s - steps;
    }
    // Applied pictures come unsaved, 131; a file that is no bitmap, 126.
    EXPECT_EQ(prompter.ids, (Ids{UnsavedSkinOnApply, BackgroundMissing}));
    EXPECT_EQ(session.backgroundPath(), kPictureB);
}

// Cancel (Escape) goes back to the last Apply (Enter on it), which the session keeps.
TEST_F(SkinsDialogTest, CancelAfterApplyKeepsTheAppliedAndUndoesTheRest) {
    open();
    pickColour("buttonBackgroundButton", kBlue);
    EXPECT_EQ(shownName(), "");
    QPushButton* applyButton = child<QPushButton>(*dialog, "applyButton");
    applyButton->setFocus();
    QTest::keyClick(applyButton, Qt::Key_Return);
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

// Apply names a lost picture; a picture saved in a skin before OK asks nothing.
TEST_F(SkinsDialogTest, ApplyReportsALostPictureAndASavedPictureNeedsNoWarning) {
    writeSkin("Lost", skinOf(0x00C08040, dir.file("lost.bmp")));
    open();
    pick(*dialog, "skinsCombo", "Lost");
    press(*dialog, "applyButton");
    EXPECT_EQ(prompter.ids, Ids{BackgroundMissing});
    EXPECT_EQ(prompter.args.at(0), (std::vector<std::string>{dir.file("lost.bmp"), "Lost"}));
    prompter.clearShown();

    choosePicture(kPictureB);
    typeName("Found");
    press(*dialog, "saveSkinButton");
    press(*dialog, "okButton");
    EXPECT_EQ(prompter.ids, Ids{});
    EXPECT_EQ(session.document().skinName, "Found");
    EXPECT_EQ(SkinFile::readNamed(services.skinsFolder, "Found").skin->picturePath, kPictureB);
}

// An unsaved colour change asks on OK (Cancel: back to the editor); no skin name.
TEST_F(SkinsDialogTest, AnUnsavedColourChangeAsks125AndLeavesNoSkinName) {
    open();
    pickColour("buttonTextButton", kRed);
    EXPECT_EQ(shownName(), "");
    for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::Ok}) {
        prompter.answer(answer);
        press(*dialog, "okButton");
        EXPECT_EQ(dialog->isVisible(), answer == MessageAnswer::Cancel);
    }
    EXPECT_EQ(prompter.ids, (Ids{UnsavedSkinOnOk, UnsavedSkinOnOk}));
    EXPECT_EQ(session.document().skinName, "");
    EXPECT_TRUE(session.hasUnsavedChanges());
    EXPECT_EQ(SkinColours::buttonText(), kRed);
}

}  // namespace
}  // namespace almanary::testing
