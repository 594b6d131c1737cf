#pragma once
// A main window on the seam doubles, its settings and skins in the test's folder.

#include "app/MainWindow.h"
#include "app/SettingsStore.h"
#include "share/ShareRegistry.h"
#include "skins/SkinColours.h"
#include "support/SessionHarness.h"

// Settings are written with designated initializers, the rest left at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace almanary::testing {

class MainWindowHarness : public SeamDoubles {
protected:
    MainWindowHarness() {
        SkinColours::setPlatformColours();  // process-wide
        clock.set(localTime(2024, 3, 1, 12));
    }

    MainWindow& window() {
        if (!window_)
            window_ = std::make_unique<MainWindow>(
                AppServices{prompter, files, colours, printers, sound, clock,
                            dir.file("settings.sqlite"), dir.file("Skins"), dir.file("recovery")});
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
        EXPECT_FALSE(AlmanaryFile::save(document, dir.file(name))) << name;
        return dir.file(name);
    }

    // Registers a share in the window's settings store.
    void share(const std::string& name, const std::string& path) {
        SettingsStore store;
        ASSERT_TRUE(store.open(dir.file("settings.sqlite")) &&
                    ShareRegistry(store).publish(name, path));
    }

    // The open almanary: its events' notes, its file, and whether it has unsaved changes.
    std::tuple<Notes, std::string, bool> opened() {
        return {notesOf(session().events()), session().path(), session().hasUnsavedChanges()};
    }

    // The notes of the events in a file; none when there is no file.
    Notes notesInFile(const std::string& path) {
        AlmanaryLoad loaded = AlmanaryFile::load(path, clock.now());
        EXPECT_TRUE(loaded.ok() || !std::filesystem::exists(path)) << path;
        return loaded.ok() ? notesOf(loaded.document->events) : Notes{};
    }

    std::unique_ptr<MainWindow> window_;  // goes before the doubles it uses
};

}  // namespace almanary::testing
