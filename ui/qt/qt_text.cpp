#include "ui/qt/qt_text.h"

#include <QByteArray>

#include "foundation/sjis.h"

namespace kestrova {

// Through UTF-8 with the program's own codec, so a widget shows what the files and the console
// show (0x5C is the backslash, the NEC and IBM rows map as they do everywhere else).
QString ToQString(std::string_view cp932) {
  const std::string utf8 = Utf8(cp932);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Sjis(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace kestrova
