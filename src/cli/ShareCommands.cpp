// The Internet sharing commands of almanary-cli: serve, fetch and send
// talk to share servers; share, unshare and shares keep this machine's
// list of shared almanaries.
#include <filesystem>
#include <iostream>

#include "CommandOptions.h"
#include "StopSignals.h"
#include "app/FileProblems.h"
#include "app/MessageTable.h"
#include "app/SettingsStore.h"
#include "model/FilePaths.h"
#include "share/ReceivedAlmanary.h"
#include "share/ServerAddress.h"
#include "share/ShareClient.h"
#include "share/ShareHost.h"
#include "share/ShareRegistry.h"
#include "share/ShareServer.h"

namespace almanary::cli {
namespace {

struct ServeOptions {
    std::optional<std::uint16_t> port;
};

struct FetchOptions {
    std::string server, share, out;
    bool force = false;
};

struct SendOptions {
    std::string server, share, file;
    bool replaceOpen = false;
};

struct ShareOptions {
    std::string file, name;
    bool force = false;
};

struct UnshareOptions {
    std::string name;
};

struct SharesOptions {};

void warnAboutPortVariable(CliContext& context) {
    if (const auto problem = ServerAddress::environmentProblem())
        context.err << "Warning: " << *problem << ".\n";
}

std::string messageLine(MessageId id, std::initializer_list<std::string_view> args = {}) {
    return MessageTable::format(id, args) + '\n';
}

// Prints why an exchange did not end well; its exit status.
int reportExchange(const ShareClient::Result& result, const std::string& server,
                   const std::string& share, CliContext& context) {
    using Outcome = ShareClient::Outcome;
    switch (result.outcome) {
        case Outcome::Done:
            return kDone;
        case Outcome::NotShared:
            context.err << messageLine(MessageId::ShareNotFound, {server, share});
            return kNoExchange;
        case Outcome::FileMissing:
            context.err << messageLine(MessageId::SharedFileMissing, {share});
            return kNoExchange;
        case Outcome::CannotOpenToSend:
            context.err << messageLine(MessageId::CannotOpenToSend) << result.detail << '\n';
            return kFileUnusable;
        case Outcome::Declined:
            context.err << messageLine(MessageId::ReplaceOpenShare, {share})
                        << "It was not replaced; give --replace-open to replace it anyway.\n";
            return kRefused;
        case Outcome::CannotConnect:
        case Outcome::Cancelled:
            break;
    }
    context.err << messageLine(MessageId::CannotConnect) << "Details: " << result.detail << ".\n";
    return kNoExchange;
}

// Prints why a received almanary was not written; its exit status.
int reportWrite(const ReceivedAlmanary::WriteFailure& failure, const std::string& path,
                CliContext& context) {
    using Kind = ReceivedAlmanary::WriteFailure::Kind;
    switch (failure.kind) {
        case Kind::Busy:
            context.err << path << " cannot be changed now: " << failure.reason << ".\n";
            return kFileUnusable;
        case Kind::Exists:
            context.err << path << " already exists.  Use --force to replace it.\n";
            return kRefused;
        case Kind::Missing:
        case Kind::CannotWrite:
            break;
    }
    context.err << messageLine(MessageId::ReceivedNotWritten, {path, failure.reason});
    return kFileUnusable;
}

int runServe(const ServeOptions& options, CliContext& context) {
    warnAboutPortVariable(context);
    WindowlessHost host;
    ShareServer server(host, context.settingsPath);
    // Blocked before the server's threads start, so they inherit it.
    StopSignals signals([&server] { server.stop(); });
    if (const auto failure = server.start(options.port.value_or(ServerAddress::defaultPort()))) {
        context.err << messageLine(MessageId::ServerCannotListen, {*failure});
        return kNoExchange;
    }
    context.out << "Serving the almanaries shared on this machine on port " << server.port()
                << "; stop with Ctrl+C.\n"
                << std::flush;
    server.waitUntilStopped();
    server.stop();
    context.out << "Stopped.\n";
    return kDone;
}

int runFetch(const FetchOptions& options, CliContext& context) {
    warnAboutPortVariable(context);
    const auto target =
        options.force ? ReceivedAlmanary::Target::AnyFile : ReceivedAlmanary::Target::NewFile;
    std::error_code error;
    if (target == ReceivedAlmanary::Target::NewFile &&
        std::filesystem::exists(std::filesystem::symlink_status(options.out, error)))
        return reportWrite({ReceivedAlmanary::WriteFailure::Kind::Exists, {}}, options.out,
                           context);
    ShareClient client(*ServerAddress::parse(options.server, ServerAddress::defaultPort()));
    ShareClient::Result result = client.fetch(options.share);
    if (result.outcome != ShareClient::Outcome::Done)
        return reportExchange(result, options.server, options.share, context);
    AlmanaryProblem problem;
    const auto received = ReceivedAlmanary::accept(
        std::move(result.content), options.share + " on " + options.server, &problem);
    if (!received) {
        context.err << MessageTable::format(noticeOf(problem)) << '\n';
        return kFileUnusable;
    }
    if (const auto failure = received->write(options.out, target, context.lockPatience))
        return reportWrite(*failure, options.out, context);
    context.out << "Fetched " << options.share << " from " << options.server << " into "
                << options.out << '\n';
    return kDone;
}

int runSend(const SendOptions& options, CliContext& context) {
    warnAboutPortVariable(context);
    // Checked before connecting, so a wrong file costs no exchange.
    const AlmanaryLoad load = AlmanaryFile::load(options.file, context.now);
    if (!load.ok()) {
        context.err << MessageTable::format(noticeOf(*load.problem)) << '\n';
        return kFileUnusable;
    }
    ShareClient client(*ServerAddress::parse(options.server, ServerAddress::defaultPort()));
    const bool replaceOpen = options.replaceOpen;
    const ShareClient::Result result = client.send(
        options.share, options.file, [replaceOpen](const std::string&) { return replaceOpen; });
    if (result.outcome != ShareClient::Outcome::Done)
        return reportExchange(result, options.server, options.share, context);
    context.out << messageLine(MessageId::Sent);
    return kDone;
}

// Opens the settings store that holds the shares; prints why not.
bool openStore(SettingsStore& store, CliContext& context) {
    if (store.open(context.settingsPath))
        return true;
    context.err << "The settings store " << context.settingsPath << " cannot be opened.\n";
    return false;
}

int runShare(const ShareOptions& options, CliContext& context) {
    const std::string path = canonicalPath(options.file);
    const AlmanaryLoad load = AlmanaryFile::load(path, context.now);
    if (!load.ok()) {
        context.err << MessageTable::format(noticeOf(*load.problem)) << '\n';
        return kFileUnusable;
    }
    if (const auto refused = ShareRegistry::check(options.name, path)) {
        context.err << MessageTable::format(*refused) << '\n';
        return kRefused;
    }
    SettingsStore store;
    if (!openStore(store, context))
        return kFileUnusable;
    ShareRegistry shares(store);
    if (shares.sharesAnotherFile(options.name, path) && !options.force) {
        context.err << messageLine(MessageId::ShareNameTaken, {options.name})
                    << "It was not moved; give --force to move it to " << path << ".\n";
        return kRefused;
    }
    // An almanary has one share name, as in the Options dialog: an earlier one goes.
    const std::string previous = shares.nameOf(path);
    if (!shares.publish(options.name, path, previous)) {
        context.err << "The settings store " << context.settingsPath << " cannot be written.\n";
        return kFileUnusable;
    }
    context.out << "Shared " << path << " as " << options.name << '\n';
    return kDone;
}

int runUnshare(const UnshareOptions& options, CliContext& context) {
    if (ShareRegistry::isReservedName(options.name)) {
        context.err << messageLine(MessageId::InvalidShareName);
        return kRefused;
    }
    SettingsStore store;
    if (!openStore(store, context))
        return kFileUnusable;
    if (!ShareRegistry(store).withdraw(options.name)) {
        context.err << messageLine(MessageId::NoSuchShare, {options.name});
        return kRefused;
    }
    context.out << "Stopped sharing " << options.name << '\n';
    return kDone;
}

int runShares(const SharesOptions&, CliContext& context) {
    SettingsStore store;
    if (!openStore(store, context))
        return kFileUnusable;
    for (const ShareRegistry::Share& share : ShareRegistry(store).all())
        context.out << share.name << '\t' << share.path << '\n';
    return kDone;
}

// Adds SERVER, written host or host:port.
void addServerArgument(CLI::App& command, std::string& server) {
    const auto valid = [](const std::string& text) {
        return ServerAddress::parse(text, ServerAddress::kStandardPort)
                   ? std::string()
                   : "a server is written HOST or HOST:PORT, PORT from 1 to 65535";
    };
    command.add_option("SERVER", server, "The share server: HOST or HOST:PORT")
        ->required()
        ->type_name("")
        ->check(valid);
}

void addShareArgument(CLI::App& command, std::string& share) {
    const auto named = [](const std::string& name) {
        return name.empty() ? MessageTable::format(MessageId::ShareNameForTransfer) : std::string();
    };
    command.add_option("SHARE", share, "The share name on the server")
        ->required()
        ->type_name("")
        ->check(named);
}

const std::string kPortNote =
    "The port is HOST's :PORT when given, else ALMANARY_PORT, else the services\n"
    "database's tcp entry named 3223, else 3223.";

}  // namespace

void defineServeCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command =
        app.add_subcommand("serve", "Serve the almanaries shared on this machine until stopped");
    const auto options = optionsFor(*command, work, runServe);
    const auto port = [options](const std::string& text) {
        const auto parsed = ServerAddress::parsePort(text, ServerAddress::Zero::Allowed);
        if (!parsed)
            throw CLI::ValidationError("--port", text + " is not a port from 0 to 65535");
        options->port = *parsed;
    };
    command->add_option_function<std::string>("--port", port, "Listen on port P (0: any free one)")
        ->type_name("P");
    command->footer(
        helpFooter({"Other machines fetch and send the almanaries that 'share' lists. A file\n"
                    "sent replaces the shared one. Ctrl+C, SIGTERM or a stop request from this\n"
                    "machine ends it. Without --port it listens on ALMANARY_PORT, else the\n"
                    "services database's tcp entry named 3223, else 3223."}));
}

void defineFetchCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command =
        app.add_subcommand("fetch", "Fetch the almanary shared as SHARE on SERVER into OUT");
    const auto options = optionsFor(*command, work, runFetch);
    addServerArgument(*command, options->server);
    addShareArgument(*command, options->share);
    addFileArgument(*command, options->out, "The file to write", "OUT");
    addFlag(*command, "--force", options->force, "Replace OUT when it exists");
    command->footer(helpFooter(
        {"Nothing is written unless the whole almanary arrived and can be read.", kPortNote}));
}

void defineSendCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command =
        app.add_subcommand("send", "Send FILE to replace the almanary shared as SHARE on SERVER");
    const auto options = optionsFor(*command, work, runSend);
    addServerArgument(*command, options->server);
    addShareArgument(*command, options->share);
    addFileArgument(*command, options->file, "The almanary to send, as saved");
    addFlag(*command, "--replace-open", options->replaceOpen,
            "Replace it even when it is open in the server's window");
    command->footer(helpFooter({kPortNote}));
}

void defineShareCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("share", "Share FILE on this machine as NAME");
    const auto options = optionsFor(*command, work, runShare);
    addFileArgument(*command, options->file, "The almanary to share");
    command->add_option("NAME", options->name, "The share name, at most 20 bytes")
        ->required()
        ->type_name("");
    addFlag(*command, "--force", options->force, "Take NAME from another almanary that has it");
    command->footer(
        helpFooter({"An almanary has one share name: sharing it as NAME withdraws its\n"
                    "earlier one. The names FileName and LoadOnStart are the program's own."}));
}

void defineUnshareCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("unshare", "Stop sharing the almanary shared as NAME");
    const auto options = optionsFor(*command, work, runUnshare);
    command->add_option("NAME", options->name, "The share name")->required()->type_name("");
    command->footer(helpFooter({}));
}

void defineSharesCommand(CLI::App& app, CommandWork& work) {
    CLI::App* command = app.add_subcommand("shares", "List the almanaries shared on this machine");
    optionsFor(*command, work, runShares);
    command->footer(helpFooter({"One line per share: NAME, a tab, the file's path."}));
}

}  // namespace almanary::cli
