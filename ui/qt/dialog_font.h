// The font of the program's dialogs: the Windows dialogs' "ＭＳ Ｐゴシック" 9 pt, or the
// proportional Japanese gothic the desktop has in its place.
#pragma once

#include <QFont>

namespace kestrova {

inline QFont DialogFont(QFont font) {
  font.setFamilies({QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("Noto Sans CJK JP"), font.family()});
  font.setPointSize(9);
  return font;
}

}  // namespace kestrova
