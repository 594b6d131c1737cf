// The document session: what counts as unsaved, the busy state, and closing
// the windows on the document in their order, each once.

#include "document/DocumentSession.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QSignalSpy>
#include <string>
#include <vector>

#include "skins/SkinnedDialog.h"
#include "support/SessionHarness.h"
#include "support/TempDir.h"

namespace almanary::testing {
namespace {

using Log = std::vector<std::string>;

// Notes how it was closed; `then` runs inside the close.
class ClosingWindow : public SkinnedDialog {
public:
    ClosingWindow(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
    std::function<void()> then;
    void accept() override { close("accepted"); }
    void reject() override { close("rejected"); }

private:
    void close(const char* how) {
        log_.push_back(name_ + " " + how);
        SkinnedDialog::done(0);
        if (then)
            then();
    }
    Log& log_;
    std::string name_;
};

using DocumentSessionTest = SessionHarness;

// Option changes do not count against a reload; a save ends every kind.
TEST_F(DocumentSessionTest, ChangesCountByKindAndEndWithASave) {
    const std::pair<DocumentChange, bool> cases[] = {{DocumentChange::Content, true},
                                                     {DocumentChange::Skin, true},
                                                     {DocumentChange::Options, false}};
    for (const auto& [change, unsavedForAReload] : cases) {
        reset();
        EXPECT_FALSE(session.hasUnsavedChanges());
        session.markChanged(change);
        EXPECT_TRUE(session.hasUnsavedChanges());
        EXPECT_EQ(session.hasUnsavedChanges(ChangeScope::IgnoringOptions), unsavedForAReload);
        TempDir dir;
        ASSERT_FALSE(session.saveTo(dir.file("cal.alm")));
        EXPECT_FALSE(session.hasUnsavedChanges());
    }
    session.storeEvent(makeEvent({2024, 3, 4, "9", "0", "new"}), nullptr);
    EXPECT_TRUE(session.hasUnsavedChanges(ChangeScope::IgnoringOptions));
}

TEST_F(DocumentSessionTest, BusyIsAnnouncedOnceForNestedWork) {
    QSignalSpy busy(&session, &DocumentSession::busyChanged);
    {
        const DocumentSession::Busy outer(session);
        const DocumentSession::Busy inner(session);
        EXPECT_TRUE(session.busy());
    }
    EXPECT_FALSE(session.busy());
    ASSERT_EQ(busy.count(), 2);
    EXPECT_TRUE(busy.at(0).at(0).toBool());
    EXPECT_FALSE(busy.at(1).at(0).toBool());
}

// Dialogs first, then browsers, then event windows; a window that another's
// close deletes is skipped, and hidden windows are left alone.
TEST_F(DocumentSessionTest, ClosingTheWindowsGoesByRoleAndReachesEachOnce) {
    Log log;
    auto* editor = new ClosingWindow(log, "editor");
    auto* doomed = new ClosingWindow(log, "doomed");
    auto* browser = new ClosingWindow(log, "browser");
    auto* dialog = new ClosingWindow(log, "dialog");
    auto* hidden = new ClosingWindow(log, "hidden");
    session.attach(editor, WindowRole::EventWindow);
    session.attach(doomed, WindowRole::EventWindow);
    session.attach(browser, WindowRole::Browser);
    session.attach(dialog, WindowRole::Dialog);
    session.attach(hidden, WindowRole::Dialog);
    for (ClosingWindow* window : {editor, doomed, browser, dialog})
        window->show();
    editor->then = [doomed] { delete doomed; };
    session.closeWindows();
    EXPECT_EQ(log, (Log{"dialog rejected", "browser accepted", "editor rejected"}));
    EXPECT_EQ(session.windows(WindowRole::EventWindow), QList<QDialog*>{editor});
}

// Windows without an owner (the reminder pop-ups) go with the session.
TEST_F(DocumentSessionTest, WindowsWithoutAnOwnerGoWithTheSession) {
    Log log;
    QWidget owner;
    QPointer<ClosingWindow> popup = new ClosingWindow(log, "popup");
    QPointer<ClosingWindow> owned = new ClosingWindow(log, "owned");
    owned->setParent(&owner);
    {
        DocumentSession local;
        local.attach(popup, WindowRole::EventWindow);
        local.attach(owned, WindowRole::EventWindow);
    }
    EXPECT_TRUE(popup.isNull());
    EXPECT_FALSE(owned.isNull());
}

}  // namespace
}  // namespace almanary::testing
