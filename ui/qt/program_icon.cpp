#include "ui/qt/program_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The icon's SVG is compiled into this static library; its resources must be registered by
// hand, outside any namespace.
static void RegisterIconResource() { Q_INIT_RESOURCE(kestrova); }

namespace kestrova {

QIcon ProgramIcon() {
  static const bool registered = (RegisterIconResource(), true);
  (void)registered;
  // Rendered once per size here rather than left to an SVG icon plugin the desktop may lack.
  QSvgRenderer renderer(QStringLiteral(":/kestrova/icons/kestrova.svg"));
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace kestrova
