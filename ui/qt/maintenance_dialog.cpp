#include "ui/qt/maintenance_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/qt/qt_text.h"
#include "ui/qt/tab_order.h"

namespace kestrova {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString ControlName(int id) { return QStringLiteral("ctl%1").arg(id); }

QLabel* Note(const char* utf8, QWidget* parent) {
  auto* label = new QLabel(Text(utf8), parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

MaintenanceDialog::MaintenanceDialog(ProgramState& state, QWidget* parent)
    : QDialog(parent), window_(state, *this) {
  setObjectName(QStringLiteral("maintenance"));
  csvFolder_ = Box(1055, "CSVフォルダ");
  backups_ = Box(1056, "ﾊﾞｯｸｱｯﾌﾟﾃﾞｰﾀ");
  logs_ = Box(1013, "ﾛｸﾞ");
  splitOnCut_ = Box(1060, "取りこぼし時に分割");
  retention_ = Edit(1033, "データ保持期間");
  retention_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
  saleOrder_ = Edit(1059, "売買");
  rentOrder_ = Edit(1035, "賃貸");
  // Wide enough to show the longest preset's order whole.
  const int orderWidth =
      fontMetrics().horizontalAdvance(QStringLiteral("1,3,1,4;1,3,3,5;1,3,2,;")) + 16;
  saleOrder_->setMinimumWidth(orderWidth);
  rentOrder_->setMinimumWidth(orderWidth);
  status_ = Edit(1009, "ステータス");
  status_->setReadOnly(true);

  auto button = [this](MaintenanceCommand id, const char* caption) {
    auto* b = new QPushButton(Text(caption), this);
    b->setObjectName(ControlName(static_cast<int>(id)));
    b->setAutoDefault(false);  // Enter leaves the window, it does not press a button
    connect(b, &QPushButton::clicked, this, [this, id] { window_.Command(id); });
    return b;
  };

  auto* grid = new QGridLayout(this);
  grid->addWidget(button(MaintenanceCommand::kRebuildDetail, "①htmlから詳細情報を再構成"), 0, 0);
  grid->addWidget(Note("詳細情報のヘッダー(Syousai_Header.dat)を変更した時に実行します。\n"
                       "（ファイルが多いと時間がかかります！！）",
                       this),
                  0, 1);
  grid->addWidget(button(MaintenanceCommand::kRebuildCsv, "②CSV再構成"), 1, 0);
  grid->addWidget(Note("CSV出力構成(Output_Kanriや、Output_CSV)を変更した時に実行します。"
                       "※検索単位のCSVファイル(CSVフォルダ内)は更新されません。",
                       this),
                  1, 1);
  grid->addWidget(button(MaintenanceCommand::kDeleteFiles, "③ログファイル等の削除"), 2, 0);
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(csvFolder_);
  boxes->addWidget(backups_);
  boxes->addWidget(logs_);
  boxes->addStretch();
  grid->addLayout(boxes, 2, 1);

  auto* retention = new QHBoxLayout;
  auto* retentionLabel = new QLabel(Text("データ保持期間："), this);
  retentionLabel->setBuddy(retention_);
  retention->addWidget(retentionLabel);
  retention->addWidget(retention_);
  retention->addWidget(new QLabel(Text("ヶ月"), this));
  retention->addWidget(new QLabel(Text("※保持期間経過後は過去データとして保管"), this));
  retention->addStretch();
  grid->addLayout(retention, 3, 0, 1, 2);

  auto* group = new QGroupBox(Text("取得対象"), this);
  auto* orders = new QGridLayout(group);
  orders->addWidget(new QLabel(Text("売買"), group), 0, 0);
  orders->addWidget(saleOrder_, 0, 1);
  orders->addWidget(button(MaintenanceCommand::kPresetSaleShort, "土地、マン、戸建"), 0, 2);
  orders->addWidget(button(MaintenanceCommand::kPresetSaleFull, "土地、マン、戸建、外一、外全"), 0,
                    3);
  orders->addWidget(new QLabel(Text("賃貸"), group), 1, 0);
  orders->addWidget(rentOrder_, 1, 1);
  orders->addWidget(button(MaintenanceCommand::kPresetRentShort, "土地、マン、戸建"), 1, 2);
  orders->addWidget(button(MaintenanceCommand::kPresetRentFull, "土地、マン、戸建、外一、外全"), 1,
                    3);
  // A result cut at 100 hits is searched again in parts; cleared, the cut page is taken as is.
  orders->addWidget(splitOnCut_, 2, 1, 1, 3, Qt::AlignLeft);
  orders->setColumnStretch(1, 1);
  grid->addWidget(group, 4, 0, 1, 2);
  grid->addWidget(status_, 5, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  SetLayoutTabOrder(*this);

  window_.Open();
}

QCheckBox* MaintenanceDialog::Box(int id, const char* caption) {
  auto* box = new QCheckBox(Text(caption), this);
  box->setObjectName(ControlName(id));
  box->setAccessibleName(box->text());
  return box;
}

QLineEdit* MaintenanceDialog::Edit(int id, const char* accessibleName) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(ControlName(id));
  edit->setAccessibleName(Text(accessibleName));
  return edit;
}

void MaintenanceDialog::ReadFields(MaintenanceFields& fields) {
  fields.csvFolder = csvFolder_->isChecked() ? 1 : 0;
  fields.backups = backups_->isChecked() ? 1 : 0;
  fields.logs = logs_->isChecked() ? 1 : 0;
  fields.splitOnCut = splitOnCut_->isChecked() ? 1 : 0;
  fields.retention = FromQString(retention_->text());
  fields.saleOrder = FromQString(saleOrder_->text());
  fields.rentOrder = FromQString(rentOrder_->text());
}

void MaintenanceDialog::ShowFields(const MaintenanceFields& fields) {
  csvFolder_->setChecked(fields.csvFolder != 0);
  backups_->setChecked(fields.backups != 0);
  logs_->setChecked(fields.logs != 0);
  splitOnCut_->setChecked(fields.splitOnCut != 0);
  retention_->setText(ToQString(fields.retention));
  saleOrder_->setText(ToQString(fields.saleOrder));
  rentOrder_->setText(ToQString(fields.rentOrder));
  status_->setText(ToQString(fields.statusLine));
}

void MaintenanceDialog::SetTitle(std::string_view title) { setWindowTitle(ToQString(title)); }

void MaintenanceDialog::closeEvent(QCloseEvent* event) {
  if (!window_.Leave(true)) {
    event->ignore();
    return;
  }
  event->accept();
  accept();
}

void MaintenanceDialog::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (window_.Leave(true)) accept();
    return;
  }
  if (key == Qt::Key_Escape) {
    if (window_.Leave(false)) reject();
    return;
  }
  QDialog::keyPressEvent(event);
}

void RunMaintenance(ProgramState& state, QWidget* parent) {
  MaintenanceDialog dialog(state, parent);
  dialog.exec();
}

}  // namespace kestrova
