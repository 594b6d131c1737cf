// The program in real processes: signals keep unsaved changes; a second start hands over.

#include "app/Application.h"

#include <QSignalSpy>

#include "app/RecoveryFile.h"
#include "app/SingleInstance.h"
#include "support/ChildProgram.h"
#include "support/SampleEvents.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

// Every place the program keeps something, inside one temporary folder.
class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest() {
        for (const auto& [name, place] : {std::pair{"HOME", "home"},
                                          {"XDG_RUNTIME_DIR", "run"},
                                          {"ALMANARY_SETTINGS", "settings.sqlite"},
                                          {"ALMANARY_SKINS", "Skins"},
                                          {"ALMANARY_RECOVERY", "recovery"}}) {
            if (std::string(place).find('.') == std::string::npos) {
                std::filesystem::create_directories(dir.file(place));
                std::filesystem::permissions(dir.file(place), std::filesystem::perms::owner_all);
            }
            env.set(name, dir.file(place).c_str());
        }
        env.set("QT_QPA_PLATFORM", "offscreen");
    }

    TempDir dir;
    ScopedEnvironment env;
};

TEST_F(ApplicationTest, ASignalEndsTheProgramKeepingItsUnsavedChanges) {
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        ChildProgram program({ALMANARY_CHANGED_WINDOW_PROGRAM});
        ASSERT_EQ(program.readLine(), "ready");
        program.signal(signalNumber);
        EXPECT_EQ(program.exitStatus(), 0) << "ended through its own way out";

        const RecoveryFile recovery(dir.file("recovery"));
        const auto kept = recovery.find();
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->originalPath, "") << "the document was never saved";
        const AlmanaryLoad copy = AlmanaryFile::load(kept->copyPath, 0);
        ASSERT_TRUE(copy.ok());
        EXPECT_EQ(notesOf(copy.document->events), Notes{"Unsaved"});
        EXPECT_EQ(modeOf(kept->copyPath), 0600u);
        recovery.discard();
    }
}

TEST_F(ApplicationTest, ASecondStartHandsItsFileToTheRunningCopy) {
    SingleInstance running;
    ASSERT_TRUE(running.tryBecomePrimary());
    QSignalSpy opened(&running, &SingleInstance::openRequested);
    // A relative name is made absolute by the start that was given it.
    const std::string cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    ChildProgram second({ALMANARY_GUI_PROGRAM, "cal.alm"});
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(opened.wait(10000));
    EXPECT_EQ(second.exitStatus(), 0);
    EXPECT_EQ(opened.at(0).at(0).toString().toStdString(), dir.file("cal.alm"));
}

}  // namespace
}  // namespace almanary::testing
