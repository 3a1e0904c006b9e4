// The one crossing between the program's cp932 text and Qt's QString. Every text a widget shows
// or returns goes through these two functions.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kestrova {

// cp932 bytes to a QString; bytes without a mapping become U+FFFD.
QString ToQString(std::string_view cp932);
// A QString to cp932 bytes; a character without a cp932 form becomes "?".
std::string FromQString(const QString& text);

}  // namespace kestrova
