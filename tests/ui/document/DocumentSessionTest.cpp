// The document session: unsaved changes by kind, closing its windows.

#include "document/DocumentSession.h"

#include "skins/SkinnedDialog.h"
#include "support/SessionHarness.h"

namespace almanary::testing {
namespace {

using Log = std::vector<std::string>;

// Logs how it was closed; `then` runs inside the close.
struct ClosingWindow : SkinnedDialog {
    ClosingWindow(Log& to, std::string as) : log(to), name(std::move(as)) {}
    void accept() override { closeAs("accepted"); }
    void reject() override { closeAs("rejected"); }
    void closeAs(const char* how) {
        log.push_back(name + " " + how);
        SkinnedDialog::done(0);
        if (then)
            then();
    }
    Log& log;
    std::string name;
    std::function<void()> then;
};

using DocumentSessionTest = SessionHarness;

// Option changes do not count against a reload; a save ends every kind.
TEST_F(DocumentSessionTest, ChangesCountByKindAndEndWithASave) {
    const std::pair<DocumentChange, bool> cases[] = {{DocumentChange::Content, true},
                                                     {DocumentChange::Skin, true},
                                                     {DocumentChange::Options, false}};
    for (const auto& [change, unsavedForAReload] : cases) {
        reset();
        session.markChanged(change);
        EXPECT_TRUE(session.hasUnsavedChanges());
        EXPECT_EQ(session.hasUnsavedChanges(ChangeScope::IgnoringOptions), unsavedForAReload);
        ASSERT_FALSE(session.saveTo(dir.file("cal.alm")));
        EXPECT_FALSE(session.hasUnsavedChanges());
    }
    session.storeEvent(makeEvent({2024, 3, 4, "9", "0", "new"}), nullptr);
    EXPECT_TRUE(session.hasUnsavedChanges(ChangeScope::IgnoringOptions));
}

// Event windows (the latest first), browsers, dialogs; the hidden and the gone skipped.
TEST_F(DocumentSessionTest, ClosingTheWindowsGoesByRoleAndReachesEachOnce) {
    Log log;
    auto* doomed = new ClosingWindow(log, "doomed");
    auto* editor = new ClosingWindow(log, "editor");
    const std::pair<ClosingWindow*, WindowRole> windows[] = {
        {doomed, WindowRole::EventWindow},
        {editor, WindowRole::EventWindow},
        {new ClosingWindow(log, "browser"), WindowRole::Browser},
        {new ClosingWindow(log, "dialog"), WindowRole::Dialog},
        {new ClosingWindow(log, "hidden"), WindowRole::Dialog},
    };
    for (const auto& [window, role] : windows) {
        session.attach(window, role);
        window->setVisible(window->name != "hidden");
    }
    editor->then = [doomed] { delete doomed; };
    EXPECT_TRUE(session.closeWindows());
    EXPECT_EQ(log, (Log{"editor rejected", "browser accepted", "dialog rejected"}));
    EXPECT_EQ(session.windows(WindowRole::EventWindow), QList<QDialog*>{editor});
}

}  // namespace
}  // namespace almanary::testing
