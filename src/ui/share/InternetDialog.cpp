#include "share/InternetDialog.h"

#include <filesystem>

#include "app/FileProblems.h"
#include "app/MessageTable.h"
#include "document/DocumentSession.h"
#include "platform/AppServices.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/TextConversion.h"
#include "share/ExchangeProgress.h"
#include "share/ReceivedAlmanary.h"
#include "share/ShareRegistry.h"
#include "ui_InternetDialog.h"

namespace almanary {

InternetDialog::InternetDialog(QWidget* owner, DocumentSession& session,
                               const AppServices& services)
    : SkinnedDialog(owner, Colouring::StaticsAndEdits),
      ui_(std::make_unique<Ui::InternetDialog>()),
      session_(session),
      services_(services) {
    ui_->setupUi(this);
    ui_->shareEdit->setMaxLength(static_cast<int>(ShareRegistry::kMaxNameBytes));
    connect(ui_->loadButton, &QPushButton::clicked, this, &InternetDialog::load);
    connect(ui_->saveButton, &QPushButton::clicked, this, &InternetDialog::save);
    connect(ui_->closeButton, &QPushButton::clicked, this, &InternetDialog::accept);
    // Enter loads from either field; on a button it runs that button.
    setEnterKeyTable(
        {
            {ui_->serverEdit, [this] { load(); }},
            {ui_->shareEdit, [this] { load(); }},
            {ui_->loadButton, [this] { load(); }},
            {ui_->saveButton, [this] { save(); }},
            {ui_->closeButton, [this] { accept(); }},
        },
        {});
    session_.attach(this, WindowRole::Dialog);
    ui_->serverEdit->setFocus();
    reskin();
}

InternetDialog::~InternetDialog() = default;

void InternetDialog::setFields(const std::string& server, const std::string& shareName) {
    ui_->serverEdit->setText(toQString(server));
    ui_->shareEdit->setText(toQString(shareName));
}

std::string InternetDialog::server() const {
    return toBytes(ui_->serverEdit->text().trimmed());
}

std::string InternetDialog::shareName() const {
    return toBytes(ui_->shareEdit->text());
}

void InternetDialog::reject() {
    // An exchange under way is ended through its own Cancel window.
    if (!exchanging_)
        SkinnedDialog::reject();
}

MessageAnswer InternetDialog::ask(MessageId id, const std::vector<std::string>& args) {
    return services_.prompter.show(this, id, args);
}

std::optional<ServerAddress> InternetDialog::checkedFields() {
    if (server().empty()) {
        ask(MessageId::ServerRequired);
        ui_->serverEdit->setFocus();
        return std::nullopt;
    }
    if (shareName().empty()) {
        ask(MessageId::ShareNameForTransfer);
        ui_->shareEdit->setFocus();
        return std::nullopt;
    }
    std::optional<ServerAddress> address =
        ServerAddress::parse(server(), ServerAddress::defaultPort());
    if (!address) {
        ask(MessageId::ServerAddressInvalid, {server()});
        ui_->serverEdit->setFocus();
    }
    return address;
}

ShareClient::Result InternetDialog::exchange(
    ServerAddress address, const std::function<ShareClient::Result(ShareClient&)>& step) {
    exchanging_ = true;
    ShareClient client(address);
    ShareClient::Result result;
    ExchangeProgress::run(
        this, QStringLiteral("Talking to %1...").arg(toQString(address.text())),
        [&] { result = step(client); }, [&] { client.cancel(); });
    exchanging_ = false;
    return result;
}

bool InternetDialog::report(const ShareClient::Result& result, const ServerAddress& address) {
    switch (result.outcome) {
        case ShareClient::Outcome::Done:
            return true;
        case ShareClient::Outcome::CannotConnect:
            ask(MessageId::CannotConnect);
            break;
        case ShareClient::Outcome::NotShared:
            ask(MessageId::ShareNotFound, {address.host, shareName()});
            break;
        case ShareClient::Outcome::FileMissing:
            ask(MessageId::SharedFileMissing, {shareName()});
            break;
        case ShareClient::Outcome::CannotOpenToSend:
            ask(MessageId::CannotOpenToSend);
            break;
        case ShareClient::Outcome::Declined:
        case ShareClient::Outcome::Cancelled:
            break;
    }
    return false;
}

void InternetDialog::load() {
    if (exchanging_)
        return;
    const std::optional<ServerAddress> address = checkedFields();
    if (!address)
        return;
    const std::string share = shareName();
    ShareClient::Result result;
    {
        // The reminder check and autosave wait until the file is stored.
        const DocumentSession::Busy busy(session_);
        result = exchange(*address, [&](ShareClient& client) { return client.fetch(share); });
        if (!report(result, *address))
            return;
        fetchedPath_ = storeFetched(std::move(result.content));
    }
    // Whatever the user chose about the file, the fetch is over.
    accept();
}

std::optional<std::string> InternetDialog::storeFetched(std::string content) {
    AlmanaryProblem problem;
    const std::optional<ReceivedAlmanary> received =
        ReceivedAlmanary::accept(std::move(content), shareName(), &problem);
    if (!received) {
        services_.prompter.show(this, noticeOf(problem));
        return std::nullopt;
    }
    const std::optional<std::string> path =
        services_.files.chooseToSave(this, FileKind::Almanary, std::string());
    if (!path || path->empty())
        return std::nullopt;
    std::error_code error;
    if (std::filesystem::exists(*path, error) &&
        ask(MessageId::OverwriteAlmanary, {*path}) != MessageAnswer::Yes)
        return std::nullopt;
    if (const auto failure = received->write(*path, ReceivedAlmanary::Target::AnyFile)) {
        ask(MessageId::ReceivedNotWritten, {*path, failure->reason});
        return std::nullopt;
    }
    return path;
}

void InternetDialog::save() {
    if (exchanging_)
        return;
    const std::optional<ServerAddress> address = checkedFields();
    if (!address)
        return;
    const std::string path = session_.path();
    if (path.empty()) {
        ask(MessageId::SaveBeforeSending);
        return;
    }
    if (session_.hasUnsavedChanges() && ask(MessageId::SendUnsavedChanges) != MessageAnswer::Ok)
        return;
    const std::string share = shareName();
    const auto confirm = [this](const std::string& name) {
        return ExchangeProgress::askOnWindowThread(this, [this, &name] {
            return ask(MessageId::ReplaceOpenShare, {name}) == MessageAnswer::Yes;
        });
    };
    const ShareClient::Result result =
        exchange(*address, [&](ShareClient& client) { return client.send(share, path, confirm); });
    if (report(result, *address))
        ask(MessageId::Sent);
}

}  // namespace almanary
