#include "ui/qt/about_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "foundation/desktop.h"
#include "store/program_state.h"
#include "ui/qt/dialog_font.h"
#include "ui/qt/program_icon.h"
#include "ui/version.h"

namespace kestrova {

AboutDialog::AboutDialog(ProgramState& state, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutDialog"));
  setFont(DialogFont(font()));
  setWindowTitle(QStringLiteral("Kestrova のﾊﾞｰｼﾞｮﾝ情報"));
  auto* picture = new QPushButton(this);
  picture->setObjectName(QStringLiteral("ctlPicture"));
  picture->setIcon(ProgramIcon());
  picture->setIconSize(QSize(64, 64));
  picture->setFlat(true);
  picture->setAutoDefault(false);
  picture->setCursor(Qt::PointingHandCursor);
  picture->setAccessibleName(QStringLiteral("ホームページを開く"));
  picture->setToolTip(QStringLiteral("ホームページを開く"));
  connect(picture, &QPushButton::clicked, this, [&state] {
    // Nothing is reported when the page cannot be opened.
    state.desktop->ShellOpen(HomePageTarget());
  });

  auto* version = new QLabel(QString::fromStdString(VersionText()), this);
  version->setObjectName(QStringLiteral("ctlVersion"));
  version->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* line2 = new QLabel(QStringLiteral("レインズの物件情報を CSV ファイルに取り込みます"), this);
  auto* close = new QPushButton(QStringLiteral("閉じる"), this);
  close->setObjectName(QStringLiteral("ctlClose"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(picture, 0, 0, 2, 1);
  layout->addWidget(version, 0, 1);
  layout->addWidget(line2, 1, 1);
  layout->addWidget(close, 0, 2);
  layout->setHorizontalSpacing(16);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace kestrova
