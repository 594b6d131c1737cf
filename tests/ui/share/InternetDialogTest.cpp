// Internet Connectivity against the window's own share server on a free port.

#include "share/InternetDialog.h"

#include <QSignalSpy>
#include <future>

#include "share/TcpListener.h"
#include "support/MainWindowHarness.h"

namespace almanary::testing {
namespace {

using namespace std::chrono_literals;

class InternetDialogTest : public MainWindowHarness {
protected:
    InternetDialogTest() {
        EXPECT_EQ(window().startShareServer(0), std::nullopt);
        server = "localhost:" + std::to_string(window().shareServerPort());
        share("Work", writeAlmanary("theirs.alm", document({"remote"})));
    }

    // Runs the command, presses `button` on the fields; whether the dialog stayed.
    bool runInternet(const std::string& host, const std::string& name, const char* button) {
        bool stayed = false;
        whenModal<InternetDialog>(modalContext, [=, &stayed](InternetDialog& dialog) {
            dialog.setFields(host, name);
            press(dialog, button);
            stayed = dialog.isVisible();
            if (stayed)
                press(dialog, "closeButton");
        });
        window().runCommand(MainCommand::Internet);
        return stayed;
    }

    std::string server;
};

// Nothing is sent until the fields make sense and the almanary has a file.
TEST_F(InternetDialogTest, TheFieldsAreCheckedBeforeAnyConnection) {
    const std::tuple<std::string, std::string, const char*, Ids> cases[] = {
        {"", "", "loadButton", {ServerRequired}},
        {"localhost:99999", "Work", "saveButton", {ServerAddressInvalid}},
        {"localhost", "", "loadButton", {ShareNameForTransfer}},
        {"localhost", "Work", "saveButton", {SaveBeforeSending}},  // never saved
    };
    for (const auto& [host, name, button, said] : cases) {
        EXPECT_TRUE(runInternet(host, name, button)) << host;
        EXPECT_EQ(prompter.takeIds(), said) << host;
    }
}

// A fetch is stored where the user says and loaded; only a refusal keeps the dialog.
TEST_F(InternetDialogTest, ALoadStoresTheFetchedFileAndOpensIt) {
    share("Gone", dir.file("gone.alm"));
    const std::string mine = writeAlmanary("mine.alm", document({"mine"}));
    // Share, file chosen ("-": none, empty: cancelled), answer; said, dialog stays, notes open.
    const std::tuple<const char*, std::string, std::optional<MessageAnswer>, Ids, bool, Notes>
        cases[] = {
            {"Nobody", "-", {}, {ShareNotFound}, true, {}},
            {"Gone", "-", {}, {SharedFileMissing}, true, {}},
            {"Work", "", {}, {}, false, {}},
            {"Work", mine, No, {OverwriteAlmanary}, false, {}},
            {"Work", mine, Yes, {OverwriteAlmanary}, false, {"remote"}},
            {"work", dir.file("new.alm"), {}, {}, false, {"remote"}},
        };
    for (const auto& [name, chosen, overwrite, said, stays, open] : cases) {
        SCOPED_TRACE(name + (" " + chosen));
        writeAlmanary("mine.alm", document({"mine"}));
        if (chosen != "-")
            files.choose(chosen);
        if (overwrite)
            prompter.answer(*overwrite);
        EXPECT_EQ(runInternet(server, name, "loadButton"), stays);
        EXPECT_EQ(prompter.takeIds(), said);
        EXPECT_EQ(opened(), std::tuple(open, open.empty() ? "" : chosen, false));
        EXPECT_EQ(notesInFile(mine), overwrite == Yes ? open : Notes{"mine"});
    }
}

// What travels is the file as last saved; the server's copy is replaced.
TEST_F(InternetDialogTest, ASendReplacesTheSharedFileWithTheSavedOne) {
    ASSERT_TRUE(window().loadDocument(writeAlmanary("mine.alm", document({"mine"}))));
    // Share, one more unsaved change first, the answer to sending anyway; said, what they hold.
    const std::tuple<const char*, bool, std::optional<MessageAnswer>, Ids, Notes> cases[] = {
        {"WORK", false, {}, {Sent}, {"mine"}},
        {"Work", true, Cancel, {SendUnsavedChanges}, {"remote"}},
        {"Work", false, Ok, {SendUnsavedChanges, Sent}, {"mine"}},
    };
    for (const auto& [name, change, sendAnyway, said, theirs] : cases) {
        SCOPED_TRACE(name);
        writeAlmanary("theirs.alm", document({"remote"}));
        if (change)
            session().storeEvent(makeEvent({2024, 3, 20, "10", "0", "pending"}), nullptr);
        if (sendAnyway)
            prompter.answer(*sendAnyway);
        EXPECT_TRUE(runInternet(server, name, "saveButton"));
        EXPECT_EQ(prompter.takeIds(), said);
        EXPECT_EQ(notesInFile(dir.file("theirs.alm")), theirs);
    }
}

// Cancel ends the wait on a silent server at once, quietly; the dialog stays.
TEST_F(InternetDialogTest, CancelEndsAnExchangeWithASilentServer) {
    const std::optional<TcpListener> silent = TcpListener::listen(0);
    ASSERT_TRUE(silent);
    whenModal<InternetDialog>(modalContext, [&](InternetDialog& dialog) {
        dialog.setFields("localhost:" + std::to_string(silent->port()), "Work");
        QTimer::singleShot(0, &dialog, [&dialog] {
            auto* progress = dialog.findChild<QDialog*>("exchangeProgress");
            ASSERT_NE(progress, nullptr);
            press(*progress, "cancelExchangeButton");
        });
        press(dialog, "loadButton");
        EXPECT_TRUE(dialog.isVisible());
        press(dialog, "closeButton");
    });
    window().runCommand(MainCommand::Internet);
    EXPECT_TRUE(prompter.ids.empty());
    EXPECT_TRUE(window().reminderTimer().isActive());
}

// A send to the almanary open here is confirmed, written and loaded, unchanged.
TEST_F(InternetDialogTest, TheServerReloadsTheWindowWhenItsAlmanaryIsReplaced) {
    const std::string mine = writeAlmanary("mine.alm", document({"mine"}));
    ASSERT_TRUE(window().loadDocument(mine));
    share("Mine", mine);
    const std::string sent = writeAlmanary("sent.alm", document({"sent", "too"}));
    const ServerAddress address{"localhost", window().shareServerPort()};
    bool asked = false;
    QSignalSpy replaced(&session(), &DocumentSession::documentReplaced);
    auto sending = std::async(std::launch::async, [&] {
        return ShareClient(address).send("Mine", sent,
                                         [&](const std::string&) { return asked = true; });
    });
    const auto done = [&] { return sending.wait_for(0s) == std::future_status::ready; };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !replaced.isEmpty() && done(); }, 10000));
    EXPECT_EQ(sending.get().outcome, ShareClient::Outcome::Done);
    EXPECT_TRUE(asked);
    EXPECT_EQ(notesInFile(mine), (Notes{"sent", "too"}));
    EXPECT_EQ(opened(), std::tuple(Notes{"sent", "too"}, mine, false));
    EXPECT_TRUE(window().reminderTimer().isActive());
}

}  // namespace
}  // namespace almanary::testing
