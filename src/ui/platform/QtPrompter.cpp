#include "platform/QtPrompter.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/MessageTable.h"
#include "platform/TextConversion.h"

namespace almanary {
namespace {

QMessageBox::Icon iconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
        case MessageButtons::ReplaceSaveAsCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

// Closing the box without a button (Escape, the close box) gives the answer
// of its escape button, which Qt picks as Cancel, No or the only button.
MessageAnswer answerOf(QMessageBox::StandardButton button, MessageButtons buttons) {
    switch (button) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            break;
    }
    switch (buttons) {
        case MessageButtons::Ok:
            return MessageAnswer::Ok;
        case MessageButtons::YesNo:
            return MessageAnswer::No;
        case MessageButtons::OkCancel:
        case MessageButtons::YesNoCancel:
        case MessageButtons::ReplaceSaveAsCancel:
            break;
    }
    return MessageAnswer::Cancel;
}

}  // namespace

MessageAnswer QtPrompter::show(QWidget* parent, MessageId id,
                               const std::vector<std::string>& args) {
    const Message& message = MessageTable::find(id);
    QMessageBox box(iconOf(message.icon), toQString(MessageTable::find(MessageId::AppTitle).text),
                    toQString(MessageTable::format(Notice{id, args})), buttonsOf(message.buttons),
                    parent);
    // Paths and names may hold "<" or "&": the text is never markup.
    box.setTextFormat(Qt::PlainText);
    if (message.buttons == MessageButtons::ReplaceSaveAsCancel) {
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Replace"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Save &As..."));
    }
    box.exec();
    return answerOf(box.standardButton(box.clickedButton()), message.buttons);
}

}  // namespace almanary
