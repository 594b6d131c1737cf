#pragma once
// "Internet Connectivity": fetches an almanary shared by another running
// copy into a file of the user's choice (which the main window then loads),
// or sends the open almanary, as last saved, to replace one shared there.
// The exchange runs on a worker thread with a Cancel window; the dialog
// only asks and tells.

#include <memory>
#include <optional>
#include <string>

#include "platform/Prompter.h"
#include "share/ShareClient.h"
#include "skins/SkinnedDialog.h"

namespace Ui {
class InternetDialog;
}

namespace almanary {

class DocumentSession;
struct AppServices;

class InternetDialog : public SkinnedDialog {
    Q_OBJECT
public:
    InternetDialog(QWidget* owner, DocumentSession& session, const AppServices& services);
    ~InternetDialog() override;

    // The server and share name last used in this run of the program.
    void setFields(const std::string& server, const std::string& shareName);
    std::string server() const;
    std::string shareName() const;

    // The file a load wrote, for the main window to load once the dialog
    // has ended; nothing when no load wrote one.
    const std::optional<std::string>& fetchedPath() const { return fetchedPath_; }

    void reject() override;

public slots:
    void load();
    void save();

private:
    // The server and share name typed, or nothing after saying what is missing.
    std::optional<ServerAddress> checkedFields();
    // Runs one exchange with the Cancel window up; its result.
    ShareClient::Result exchange(ServerAddress address,
                                 const std::function<ShareClient::Result(ShareClient&)>& step);
    // Tells the user how an exchange ended; true when it succeeded.
    bool report(const ShareClient::Result& result, const ServerAddress& address);
    // Writes a fetched almanary where the user chooses; the path when written.
    std::optional<std::string> storeFetched(std::string content);
    MessageAnswer ask(MessageId id, const std::vector<std::string>& args = {});

    std::unique_ptr<Ui::InternetDialog> ui_;
    DocumentSession& session_;
    const AppServices& services_;
    std::optional<std::string> fetchedPath_;
    bool exchanging_ = false;
};

}  // namespace almanary
