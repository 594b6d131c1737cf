// The program in real processes: signals keep unsaved changes; a second start hands over.

#include "app/Application.h"

#include <QSignalSpy>
#include <random>
#include <thread>

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

// A window killed mid-save leaves its file whole: its last reported save, or one more.
TEST_F(ApplicationTest, AWindowKilledWhileSavingLeavesTheFileWhole) {
    constexpr int kEvents = 20000;  // so that a save takes a while
    const std::string file = dir.file("cal.alm");
    AlmanaryDocument document;
    for (int i = 0; i < kEvents; ++i) {
        const int day = i / 24 % 300;  // 300 days a year, 28 a month
        document.events.insert(makeEvent(
            {2001 + i / 7200, 1 + day / 28, 1 + day % 28, std::to_string(i % 24), "00", "Old"}));
    }
    ASSERT_EQ(AlmanaryFile::save(document, file), std::nullopt);
    env.set("ALMANARY_TEST_KEEP_SAVING", "1");
    std::mt19937 random(11);
    int events = kEvents;
    for (int kill = 1; kill <= 6; ++kill) {
        ChildProgram program({ALMANARY_CHANGED_WINDOW_PROGRAM, file});
        const auto saved = [&program] { return std::stoi(program.readLine().substr(6)); };
        saved();
        const auto start = std::chrono::steady_clock::now();
        const int reported = saved();  // "saved N": N saves done, the next begun
        std::this_thread::sleep_for((std::chrono::steady_clock::now() - start) * (random() % 100) /
                                    100);
        program.signal(SIGKILL);
        program.exitStatus();
        const AlmanaryLoad load = AlmanaryFile::load(file, 0);
        ASSERT_TRUE(load.ok()) << "kill " << kill;
        const int now = load.document->events.count();
        EXPECT_TRUE(now == events + reported || now == events + reported + 1) << "kill " << kill;
        events = now;
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
