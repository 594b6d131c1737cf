// The document commands of almanary-cli: new, info and settings.
#include <charconv>
#include <filesystem>
#include <fstream>

#include "CliDocument.h"
#include "CommandLine.h"
#include "Commands.h"
#include "app/MessageTable.h"

namespace almanary::cli {
namespace {

constexpr int kFewestAutosaveMinutes = 1;
constexpr int kMostAutosaveMinutes = 60;

void printSettings(std::ostream& out, const DocumentSettings& settings) {
    out << "Autosave: "
        << (settings.autosave ? "every " + std::to_string(settings.autosaveMinutes) + " minutes"
                              : std::string("off"))
        << '\n';
    out << "Reminder sound: " << (settings.playSound ? "on, " : "off, ") << settings.soundFile
        << '\n';
    out << "Password: " << (settings.password.empty() ? "not set" : "set") << '\n';
    out << "Clock: " << (settings.twelveHourClock ? "12-hour" : "24-hour") << '\n';
}

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Applies the requested changes to a copy of the settings; prints why and
// returns nothing when one of them breaks a rule.
std::optional<DocumentSettings> changedSettings(const CommandLine& line, DocumentSettings settings,
                                                CliContext& context) {
    if (const auto autosave = line.value("--autosave")) {
        if (*autosave == "off") {
            settings.autosave = false;
        } else {
            const auto minutes = wholeNumber(*autosave);
            if (!minutes || *minutes < kFewestAutosaveMinutes || *minutes > kMostAutosaveMinutes) {
                context.err << "Please enter an integer between " << kFewestAutosaveMinutes
                            << " and " << kMostAutosaveMinutes << ", or off.\n";
                return std::nullopt;
            }
            settings.autosave = true;
            settings.autosaveMinutes = *minutes;
        }
    }
    if (const auto sound = line.value("--sound")) {
        if (*sound == "off") {
            settings.playSound = false;
        } else if (!std::ifstream(*sound)) {
            context.err << MessageTable::format(MessageId::SoundMissing, {*sound}) << '\n';
            return std::nullopt;
        } else {
            settings.playSound = true;
            settings.soundFile = *sound;
        }
    }
    if (const auto password = line.value("--password")) {
        settings.password = *password == "off" ? std::string() : *password;
    }
    if (const auto clock = line.value("--clock")) {
        if (*clock != "12" && *clock != "24") {
            context.err << "The clock must be 12 or 24.\n";
            return std::nullopt;
        }
        settings.twelveHourClock = *clock == "12";
    }
    return settings;
}

}  // namespace

int runNew(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = parseOrReport(words, {{"--password"}, {"--force", 0}}, context, status);
    if (!line)
        return status;
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(line->file(), error)) &&
        !line->has("--force")) {
        context.err << line->file() << " already exists.  Use --force to replace it.\n";
        return kRefused;
    }
    AlmanaryDocument document;
    document.settings.password = line->value("--password").value_or("");
    if (!CliDocument::save(document, line->file(), context))
        return kFileUnusable;
    context.out << "Created " << line->file() << '\n';
    return kDone;
}

int runInfo(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = parseOrReport(words, {{"--password"}}, context, status);
    if (!line)
        return status;
    const auto document =
        CliDocument::open(line->file(), line->value("--password"), context, status);
    if (!document)
        return status;
    context.out << "File: " << line->file() << '\n' << "Header: Almanary, valid\n";
    printSettings(context.out, document->settings);
    context.out << "Categories: " << document->categories.size() << '\n'
                << "Events: " << document->events.count() << '\n'
                << "Skin: " << (document->skinName.empty() ? "Default" : document->skinName)
                << '\n';
    return kDone;
}

int runSettings(const Words& words, CliContext& context) {
    int status = kDone;
    const auto line = parseOrReport(
        words, {{"--autosave"}, {"--sound"}, {"--password"}, {"--clock"}}, context, status);
    if (!line)
        return status;
    // --password names the new password here, so the current one comes
    // from the environment or the terminal.
    auto document = CliDocument::open(line->file(), std::nullopt, context, status);
    if (!document)
        return status;
    if (line->countOf({"--autosave", "--sound", "--password", "--clock"}) > 0) {
        const auto changed = changedSettings(*line, document->settings, context);
        if (!changed)
            return kRefused;
        document->settings = *changed;
        if (!CliDocument::save(*document, line->file(), context))
            return kFileUnusable;
    }
    printSettings(context.out, document->settings);
    return kDone;
}

}  // namespace almanary::cli
