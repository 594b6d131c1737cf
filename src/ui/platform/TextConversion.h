#pragma once
// The core's values as Qt shows them. Texts are bytes (UTF-8) in the
// document; the windows show them as QString. Bytes that are not valid
// UTF-8 are shown as Latin-1 rather than dropped, so nothing a file holds
// is hidden.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <string>
#include <string_view>

#include "model/Calendar.h"

class QComboBox;

namespace almanary {

QString toQString(std::string_view bytes);
std::string toBytes(const QString& text);

inline QDate toQDate(const CalendarDate& date) {
    return QDate(date.year, date.month, date.day);
}

// Drop-down lists whose entries carry the bytes they stand for, so a text
// that is not valid UTF-8 comes back exactly as it was stored.
namespace ByteList {
void insert(QComboBox* list, int index, std::string_view text);
void add(QComboBox* list, std::string_view text);
// The entry of that text; -1 when there is none.
int find(const QComboBox* list, std::string_view text);
std::string at(const QComboBox* list, int index);
// The selected entry's text; empty when nothing is selected.
std::string selected(const QComboBox* list);
// Selects the entry of that text; none when there is no such entry.
void select(QComboBox* list, std::string_view text);
}  // namespace ByteList

}  // namespace almanary
