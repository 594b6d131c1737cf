#include "SampleAlmanary.h"

#include <filesystem>
#include <system_error>

#include "app/FileProblems.h"
#include "app/SettingsStore.h"
#include "model/AlmanaryFile.h"
#include "skins/SkinFolder.h"

namespace almanary::screenshots {

namespace {

namespace fs = std::filesystem;

struct SampleEvent {
    int day;  // of March 2025
    const char* hour;
    const char* minute;
    const char* duration;
    const char* category;
    const char* notes;
    int remindMinutes;  // 0: no reminder
};

constexpr SampleEvent kEvents[] = {
    {10, "9", "00", "60", "Work", "Project review with the design team", 15},
    {10, "18", "30", "90", "Family", "Swimming lessons - bring towels", 30},
    {11, "8", "15", "30", "Health", "Dentist, Dr. Okafor", 60},
    {12, "12", "30", "60", "Work", "Lunch with Priya & Tom", 0},
    {13, "19", "00", "120", "Family", "Parents' evening at school", 45},
    {14, "17", "45", "15", "Home", "Put the bins out", 5},
    {15, "10", "00", "180", "Birthdays", "Grandma's 80th - cake from the bakery", 120},
    {16, "14", "00", "45", "Home", "Call the plumber about the boiler", 0},
};

constexpr const char* kCategories[] = {"Work", "Family", "Health", "Home", "Birthdays"};

AlmanaryDocument sampleDocument() {
    AlmanaryDocument document;
    document.skinName = SampleAlmanary::kSkinName;
    for (const char* name : kCategories)
        document.categories.append(name);
    for (const SampleEvent& sample : kEvents) {
        Event event;
        event.setNotes(sample.notes);
        event.setCategory(sample.category);
        event.setHour(sample.hour);
        event.setMinute(sample.minute);
        event.setDuration(sample.duration);
        event.setRemind(sample.remindMinutes > 0);
        event.setRemindMinutes(sample.remindMinutes);
        // Hour and minute first: setting the date computes the key.
        event.setDate(Calendar::fromLocal(2025, 3, sample.day, 12).value_or(0));
        document.events.insert(event);
    }
    return document;
}

std::optional<std::string> writeSettings(const SampleFiles& files) {
    SettingsStore store;
    if (!store.open(files.settingsPath) || !store.setNumber("LoadOnStart", 1) ||
        !store.setText("FileName", files.almanaryPath))
        return "cannot write the settings store " + files.settingsPath;
    return std::nullopt;
}

}  // namespace

DateTime SampleAlmanary::now() {
    return Calendar::fromLocal(2025, 3, 10, 7, 30).value_or(0);
}

std::optional<SampleFiles> SampleAlmanary::write(const std::string& folder, std::string& problem) {
    std::error_code error;
    const fs::path root = fs::absolute(folder, error);
    if (error) {
        problem = "cannot use the folder " + folder + ": " + error.message();
        return std::nullopt;
    }
    const fs::path documents = root / "Documents" / "Family and friends" / "Shared calendars";
    SampleFiles files;
    files.almanaryPath = (documents / "Household almanary 2025 - with school terms.alm").string();
    files.settingsPath = (root / "settings.sqlite").string();
    files.skinsFolder = (root / "Skins").string();

    fs::remove(files.settingsPath, error);  // a fresh store and skins every run
    fs::remove_all(files.skinsFolder, error);
    for (const fs::path& needed : {documents, fs::path(files.skinsFolder)}) {
        fs::create_directories(needed, error);
        if (error) {
            problem = "cannot create " + needed.string() + ": " + error.message();
            return std::nullopt;
        }
    }

    AlmanaryDocument document = sampleDocument();
    if (const auto failed = AlmanaryFile::save(document, files.almanaryPath)) {
        problem = MessageTable::format(noticeOf(*failed));
        return std::nullopt;
    }
    if (const auto failed =
            SkinFolder::addSamples(ALMANARY_RESOURCES_DIR "/skins", files.skinsFolder)) {
        problem = "cannot copy the sample skins: " + *failed;
        return std::nullopt;
    }
    if (const auto failed = writeSettings(files)) {
        problem = *failed;
        return std::nullopt;
    }
    return files;
}

}  // namespace almanary::screenshots
