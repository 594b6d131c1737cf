// The document commands of almanary-cli: new, info and settings.

#include "CliDocument.h"
#include "CommandOptions.h"
#include "app/AppPaths.h"
#include "app/AutosaveMinutes.h"
#include "app/MessageTable.h"

namespace almanary::cli {
namespace {

struct NewOptions {
    std::string file;
    std::optional<std::string> password;  // of the new file
    bool force = false;
};

// --password names the new password here; the current one comes from the
// environment or the terminal.
struct SettingsOptions {
    std::string file;
    std::optional<std::string> autosave;
    std::optional<std::string> sound;
    std::optional<std::string> password;
    std::optional<std::string> clock;

    bool changesAny() const { return autosave || sound || password || clock; }
};

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

// Applies the requested changes to a copy of the settings; prints why and
// returns nothing when one of them breaks a rule.
std::optional<DocumentSettings> changedSettings(const SettingsOptions& asked,
                                                DocumentSettings settings, CliContext& context) {
    if (const auto& autosave = asked.autosave) {
        if (*autosave == "off") {
            settings.autosave = false;
        } else {
            const AutosaveMinutes::Reading minutes = AutosaveMinutes::read(*autosave);
            if (minutes.problem) {
                context.err << "Please enter an integer between " << AutosaveMinutes::kFewest
                            << " and " << AutosaveMinutes::kMost << ", or off.\n";
                return std::nullopt;
            }
            settings.autosave = true;
            settings.autosaveMinutes = *minutes.number;
        }
    }
    if (const auto& sound = asked.sound) {
        if (*sound == "off") {
            settings.playSound = false;
        } else if (!AppPaths::findSound(*sound)) {
            context.err << MessageTable::format(MessageId::SoundMissing, {*sound}) << '\n';
            return std::nullopt;
        } else {
            settings.playSound = true;
            settings.soundFile = *sound;
        }
    }
    if (const auto& password = asked.password) {
        settings.password = *password == "off" ? std::string() : *password;
    }
    if (const auto& clock = asked.clock) {
        if (*clock != "12" && *clock != "24") {
            context.err << "The clock must be 12 or 24.\n";
            return std::nullopt;
        }
        settings.twelveHourClock = *clock == "12";
    }
    return settings;
}

int runNew(const NewOptions& options, CliContext& context) {
    const auto lock = CliDocument::lock(options.file, context);
    if (!lock)
        return kFileUnusable;
    if (CliDocument::keepsExisting(options.file, options.force, context))
        return kRefused;
    AlmanaryDocument document;
    document.settings.password = options.password.value_or("");
    if (!CliDocument::save(document, options.file, context))
        return kFileUnusable;
    context.out << "Created " << options.file << '\n';
    return kDone;
}

int runInfo(const FileOptions& options, CliContext& context) {
    int status = kDone;
    // Every record is read and checked, none is kept: only the count is asked.
    std::uint32_t events = 0;
    const auto keepNone = [](const EventRecord&) { return false; };
    const auto document =
        CliDocument::open(options.file, options.password, context, status, keepNone, &events);
    if (!document)
        return status;
    context.out << "File: " << options.file << '\n' << "Header: Almanary, valid\n";
    printSettings(context.out, document->settings);
    context.out << "Categories: " << document->categories.size() << '\n'
                << "Events: " << events << '\n'
                << "Skin: " << (document->skinName.empty() ? "Default" : document->skinName)
                << '\n';
    return kDone;
}

int runSettings(const SettingsOptions& options, CliContext& context) {
    int status = kDone;
    // The current password comes from the environment or the terminal.
    const auto lock = options.changesAny() ? CliDocument::Lock::Take : CliDocument::Lock::Skip;
    auto opened = CliDocument::openLocked(options.file, std::nullopt, context, status, lock);
    if (!opened)
        return status;
    AlmanaryDocument* document = &opened->document;
    if (options.changesAny()) {
        const auto changed = changedSettings(options, document->settings, context);
        if (!changed)
            return kRefused;
        document->settings = *changed;
        if (!CliDocument::save(*document, options.file, context))
            return kFileUnusable;
    }
    printSettings(context.out, document->settings);
    return kDone;
}

}  // namespace

void defineNewCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("new", "Create an empty almanary, optionally protected");
    const auto options = optionsFor(*command, work, runNew);
    addFileArgument(*command, options->file, "The almanary to create");
    command->add_option("--password", options->password, "Protect it with this password")
        ->type_name("PW");
    addFlag(*command, "--force", options->force, "Replace FILE when it exists");
    command->footer(helpFooter({}));
}

void defineInfoCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command =
        app.add_subcommand("info", "Show the header check, settings, counts and skin");
    const auto options = optionsFor(*command, work, runInfo);
    addFileOptions(*command, *options, "The almanary to describe");
    command->footer(helpFooter({kPasswordNote}));
}

void defineSettingsCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("settings", "Show or change the document's settings");
    const auto options = optionsFor(*command, work, runSettings);
    addFileArgument(*command, options->file, "The almanary whose settings these are");
    command
        ->add_option("--autosave", options->autosave,
                     "Save every MIN minutes, " + std::to_string(AutosaveMinutes::kFewest) +
                         " to " + std::to_string(AutosaveMinutes::kMost) + ", or off")
        ->type_name("MIN|off");
    command->add_option("--sound", options->sound, "Play this reminder sound, or off")
        ->type_name("PATH|off");
    command->add_option("--password", options->password, "Set a new password, or off")
        ->type_name("PW|off");
    command->add_option("--clock", options->clock, "Show times on the 12- or 24-hour clock")
        ->type_name("12|24");
    command->footer(
        helpFooter({"Here --password sets the new password; the current one comes from\n"
                    "ALMANARY_PASSWORD or the terminal.",
                    "A sound named without a folder, such as reminder.wav, is looked for in\n"
                    "the current folder, then in the program's data folder."}));
}

}  // namespace almanary::cli
