#pragma once
// Texts are bytes (UTF-8) in the document; the windows show them as
// QString. Bytes that are not valid UTF-8 are shown as Latin-1 rather than
// dropped, so nothing a file holds is hidden.

#include <QString>
#include <string>
#include <string_view>

namespace almanary {

QString toQString(std::string_view bytes);
std::string toBytes(const QString& text);

}  // namespace almanary
