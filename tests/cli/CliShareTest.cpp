// The sharing commands: this machine's shares, and fetch and send against
// a real `almanary-cli serve` process and a server whose share is open in
// its window.
#include <gtest/gtest.h>

#include <sstream>

#include "CliApp.h"
#include "share/ShareClient.h"
#include "share/ShareServer.h"
#include "support/ChildProgram.h"
#include "support/ScopedEnvironment.h"
#include "support/ShareTestPeers.h"
#include "support/TempDir.h"
#include "support/TestFiles.h"

namespace almanary::cli {
namespace {

using namespace almanary::testing;
using Args = std::vector<std::string>;

struct Outcome {
    int status;
    std::string out, err;
};

// `almanary-cli serve` (on a free port unless told); its port comes from
// the first line it prints.
struct ServeProcess : ChildProgram {
    explicit ServeProcess(const std::string& listenOn = "0")
        : ChildProgram({ALMANARY_CLI_PATH, "serve", "--port", listenOn}) {
        const std::string first = readLine();
        if (const auto at = first.find("on port "); at != std::string::npos)
            port = static_cast<std::uint16_t>(std::stoi(first.substr(at + 8)));
    }
    std::string server() const { return "localhost:" + std::to_string(port); }
    // Its exit status and the last line it printed, once it has ended.
    std::pair<int, std::string> end() {
        std::string last = readLine();
        return {exitStatus(), last};
    }
    std::uint16_t port = 0;
};

class CliShareTest : public ::testing::Test {
protected:
    CliShareTest() {
        EXPECT_EQ(run({"new", work}).status, kDone);
        EXPECT_EQ(run({"new", other}).status, kDone);
        EXPECT_EQ(
            run({"add", other, "--date", "2026-12-07", "--time", "9:00", "--notes", "x"}).status,
            kDone);
        writeFile(text, "not an almanary");
    }

    Outcome run(const Args& args) {
        std::ostringstream output, errors;
        CliContext context{output, errors};
        context.settingsPath = settings;
        const int status = runCli(args, context);
        return {status, output.str(), errors.str()};
    }

    TempDir dir;
    const std::string settings = dir.file("settings.sqlite");
    const std::string work = dir.file("work.alm"), other = dir.file("other.alm");
    const std::string text = dir.file("text.alm"), out = dir.file("out.alm");
    ScopedEnvironment environment{"ALMANARY_SETTINGS", settings.c_str()};
};

// share, unshare and shares keep the registry's rules; a name another
// almanary has is only moved with --force; an almanary has one name.
TEST_F(CliShareTest, SharesFollowTheRulesOfAShareName) {
    const struct {
        Args args;
        int status;
        std::string said;  // part of the output or the error
    } steps[] = {
        {{"share", work, "Work"}, kDone, "Shared " + work + " as Work"},
        {{"share", other, "WORK"}, kRefused, "Another almanary is already being shared"},
        {{"share", text, "Text"}, kFileUnusable, "is not an almanary file"},
        {{"share", dir.file("none.alm"), "None"}, kFileUnusable, "could not be found"},
        {{"share", work, "fileName"}, kRefused, "That is an invalid share name"},
        {{"share", other, "Home"}, kDone, "as Home"},
        {{"share", other, "Office"}, kDone, "as Office"},  // Home goes
        {{"unshare", "Home"}, kRefused, "No almanary is shared under the name Home."},
        {{"unshare", "LoadOnStart"}, kRefused, "invalid share name"},
        {{"shares"}, kDone, "Work\t" + work + "\nOffice\t" + other + "\n"},
        {{"share", other, "work", "--force"}, kDone, "as work"},
        {{"unshare", "Work"}, kDone, "Stopped sharing Work"},
        {{"shares"}, kDone, ""},
    };
    for (const auto& step : steps) {
        const Outcome outcome = run(step.args);
        EXPECT_EQ(outcome.status, step.status) << ::testing::PrintToString(step.args);
        const std::string& said = step.status == kDone ? outcome.out : outcome.err;
        EXPECT_TRUE(step.said.empty() ? said.empty() : said.find(step.said) != std::string::npos)
            << ::testing::PrintToString(step.args) << said;
    }
}

// fetch and send against a real serve process, which a SIGTERM stops, as
// does a stop request from this machine.
TEST_F(CliShareTest, FetchAndSendThroughAServeProcess) {
    ASSERT_EQ(run({"share", work, "Work"}).status, kDone);
    ServeProcess serve;
    ASSERT_NE(serve.port, 0);
    const std::string server = serve.server();
    const std::string closed = "127.0.0.1:" + std::to_string(TcpListener::listen(0)->port());
    const Outcome fetched = run({"fetch", server, "Work", out});
    EXPECT_EQ(fetched.status, kDone) << fetched.err;
    EXPECT_EQ(readFile(out), readFile(work));

    const struct {
        Args args;
        int status;
        std::string error;
    } refusals[] = {
        {{"fetch", server, "Work", out}, kRefused, out + " already exists.  Use --force"},
        {{"fetch", server, "Home", dir.file("home.alm")},
         kNoExchange,
         "Could not find an almanary on " + server + " shared under the name Home."},
        {{"send", server, "Work", text}, kFileUnusable, text + " is not an almanary file"},
        {{"fetch", "localhost:0", "Work", out}, kWrongUsage, "HOST:PORT"},
        {{"fetch", closed, "Work", dir.file("none.alm")},
         kNoExchange,
         "Unable to connect to server"},
    };
    for (const auto& refusal : refusals) {
        const Outcome outcome = run(refusal.args);
        EXPECT_EQ(outcome.status, refusal.status) << ::testing::PrintToString(refusal.args);
        EXPECT_NE(outcome.err.find(refusal.error), std::string::npos) << outcome.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("home.alm")) ||
                 std::filesystem::exists(dir.file("none.alm")));

    const Outcome sent = run({"send", server, "Work", other});
    EXPECT_EQ(sent.out, "The almanary has been successfully sent to the server.\n") << sent.err;
    EXPECT_EQ(readFile(work), readFile(other));
    EXPECT_EQ(run({"fetch", server, "Work", out, "--force"}).status, kDone);
    EXPECT_EQ(readFile(out), readFile(other));

    const std::pair stopped(int(kDone), std::string("Stopped."));
    EXPECT_EQ(ServeProcess(std::to_string(serve.port)).end(),
              std::pair(int(kNoExchange), std::string()));  // the port is taken
    serve.signal(SIGTERM);
    EXPECT_EQ(serve.end(), stopped);
    ServeProcess stoppable;
    EXPECT_TRUE(ShareClient({"127.0.0.1", stoppable.port}).requestStop());
    EXPECT_EQ(stoppable.end(), stopped);
}

// A share open in the server's window is replaced only with --replace-open.
TEST_F(CliShareTest, ASendReplacesAnOpenShareOnlyWhenTold) {
    ASSERT_EQ(run({"share", work, "Work"}).status, kDone);
    RecordingHost host;
    host.setOpenPath(work);
    ShareServer server(host, settings);
    ASSERT_EQ(server.start(0), std::nullopt);
    const std::string address = "127.0.0.1:" + std::to_string(server.port());
    const std::string before = readFile(work);
    const Outcome kept = run({"send", address, "Work", other});
    EXPECT_EQ(kept.status, kRefused);
    EXPECT_NE(kept.err.find("is currently open on the server"), std::string::npos) << kept.err;
    EXPECT_EQ(readFile(work), before);
    EXPECT_EQ(run({"send", address, "Work", other, "--replace-open"}).status, kDone);
    EXPECT_EQ(readFile(work), readFile(other));
}

}  // namespace
}  // namespace almanary::cli
