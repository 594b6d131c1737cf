#include "platform/TextConversion.h"

#include <QComboBox>
#include <QStringDecoder>

namespace almanary {
namespace {

QByteArray bytesOf(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString toQString(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(view);
}

std::string toBytes(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

namespace ByteList {

void insert(QComboBox* list, int index, std::string_view text) {
    list->insertItem(index, toQString(text), bytesOf(text));
}

void add(QComboBox* list, std::string_view text) {
    insert(list, list->count(), text);
}

int find(const QComboBox* list, std::string_view text) {
    return list->findData(bytesOf(text));
}

std::string at(const QComboBox* list, int index) {
    return list->itemData(index).toByteArray().toStdString();
}

std::string selected(const QComboBox* list) {
    const int index = list->currentIndex();
    return index < 0 ? std::string() : at(list, index);
}

void select(QComboBox* list, std::string_view text) {
    list->setCurrentIndex(find(list, text));
}

}  // namespace ByteList
}  // namespace almanary
