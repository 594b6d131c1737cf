#include "print/PrintJob.h"

#include <QPointer>
#include <QPrinter>
#include <QWidget>
#include <memory>

#include "app/MessageTable.h"
#include "document/DocumentSession.h"
#include "platform/AppServices.h"
#include "platform/PrinterChooser.h"
#include "platform/Prompter.h"
#include "platform/TextConversion.h"

namespace almanary::PrintJob {

namespace {

constexpr int kDotsPerInch = 300;

}  // namespace

Outcome run(QWidget* parent, const DocumentSession& session, const AppServices& services,
            const PrintPages& printPages) {
    const std::uint64_t generation = session.generation();
    const QPointer<QWidget> owner(parent);
    const std::unique_ptr<QPrinter> printer = services.printers.choosePrinter(parent);
    if (!printer || session.generation() != generation)
        return Outcome::NotPrinted;
    prepare(*printer);
    const std::optional<std::string> problem = printPages(*printer);
    if (!problem)
        return Outcome::Printed;
    services.prompter.show(owner.data(), MessageId::PrintFailed,
                           {destinationName(*printer), *problem});
    return Outcome::Failed;
}

void prepare(QPrinter& printer) {
    // Print queues show every job of the program under its title.
    printer.setDocName(QString::fromUtf8(MessageTable::find(MessageId::AppTitle).text));
    // The pages' fonts are sized in printer dots for a 300-dot printer; a
    // PDF "printer" would otherwise lay them out at 1200 dots an inch.
    printer.setResolution(kDotsPerInch);
}

std::string destinationName(const QPrinter& printer) {
    const QString file = printer.outputFileName();
    return toBytes(file.isEmpty() ? printer.printerName() : file);
}

}  // namespace almanary::PrintJob
