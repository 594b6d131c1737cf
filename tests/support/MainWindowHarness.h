#pragma once
// A main window on test doubles, with its settings store and skins folder
// in a fresh temporary folder; writes and reads almanaries for the tests.

#include <gtest/gtest.h>

#include <QObject>
#include <memory>
#include <string>

#include "app/MainWindow.h"
#include "document/DocumentSession.h"
#include "model/AlmanaryFile.h"
#include "model/DateTimeText.h"
#include "platform/AppServices.h"
#include "skins/SkinColours.h"
#include "support/DialogDriving.h"
#include "support/FakeClock.h"
#include "support/FakeFileChooser.h"
#include "support/FakePrompter.h"
#include "support/FakeSoundPlayer.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"
#include "support/TempDir.h"

namespace almanary::testing {

class MainWindowHarness : public ::testing::Test {
protected:
    MainWindowHarness() {
        // The skin colours and the 12-hour display are process-wide.
        SkinColours::setPlatformColours();
        DateTimeText::setTwelveHourClock(false);
        clock.set(localTime(2024, 3, 1, 12));
    }

    MainWindow& window() {
        if (!window_)
            window_ = std::make_unique<MainWindow>(AppServices{
                prompter, files, sound, clock, dir.file("settings.sqlite"), dir.file("Skins")});
        return *window_;
    }
    DocumentSession& session() { return window().session(); }

    // An unchanged document with one event per note, from 4 March 2024 on.
    static AlmanaryDocument document(const Notes& notes) {
        AlmanaryDocument document;
        int day = 4;
        for (const std::string& note : notes)
            document.events.insert(makeEvent({2024, 3, day++, "9", "0", note, "30"}));
        document.events.setModified(false);
        return document;
    }

    std::string writeAlmanary(const std::string& name, AlmanaryDocument document) {
        const std::string path = dir.file(name);
        const auto problem = AlmanaryFile::save(document, path);
        EXPECT_FALSE(problem) << problem->detail;
        return path;
    }

    Notes notesInFile(const std::string& path) {
        AlmanaryLoad loaded = AlmanaryFile::load(path, clock.now());
        EXPECT_TRUE(loaded.ok()) << path;
        return loaded.ok() ? notesOf(loaded.document->events) : Notes{};
    }

    ScopedTimeZone zone{"Europe/London"};
    TempDir dir;
    FakePrompter prompter;
    FakeFileChooser files;
    FakeSoundPlayer sound;
    FakeClock clock;
    std::unique_ptr<MainWindow> window_;  // goes before the doubles it uses
    QObject modalContext;                 // ends pending whenModal actions
};

}  // namespace almanary::testing
