#include "ui/qt/code_lookup_dialog.h"

#include <QAbstractTableModel>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "store/program_state.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/tab_order.h"
#include "ui/qt/window_placement.h"

namespace kestrova {

// The result rows as the window's logic holds them: no copy per row, cells cut on demand.
class CodeLookupModel final : public QAbstractTableModel {
 public:
  explicit CodeLookupModel(const CodeLookupWindow& window, QObject* parent)
      : QAbstractTableModel(parent), window_(window) {}

  void Reset() {
    beginResetModel();
    endResetModel();
  }
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(window_.Fields().rows.size());
  }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 4; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return ToQString(window_.Cell(index.row(), index.column()));
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 3)
      return {};
    static const char* const kHeadings[] = {"コード", "都道府県", "市町村名", "よみがな"};
    return QString::fromUtf8(kHeadings[section]);
  }

 private:
  const CodeLookupWindow& window_;
};

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QLabel* Caption(const char* utf8, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(Text(utf8), parent);
  if (buddy != nullptr) {
    label->setBuddy(buddy);
    QString name = label->text();
    name.remove(QLatin1Char(':')).remove(QChar(0xFF1A));  // "：" ends some captions
    buddy->setAccessibleName(name);
  }
  return label;
}

}  // namespace

CodeLookupDialog::CodeLookupDialog(ProgramState& state, QWidget* parent)
    : QDialog(parent),
      state_(state),
      window_(state, *this),
      model_(new CodeLookupModel(window_, this)),
      prefecture_(new QLineEdit(this)),
      municipality_(new QLineEdit(this)),
      names_(new QPlainTextEdit(this)),
      codes_(new QLineEdit(this)),
      list_(new QTableView(this)) {
  setWindowTitle(Text("市町村コード検索"));
  setObjectName(QStringLiteral("codeLookup"));
  setSizeGripEnabled(true);
  prefecture_->setObjectName(QStringLiteral("prefecture"));
  municipality_->setObjectName(QStringLiteral("municipality"));
  names_->setObjectName(QStringLiteral("names"));
  names_->setReadOnly(true);
  names_->setTabChangesFocus(true);
  names_->setMaximumHeight(fontMetrics().lineSpacing() * 4);
  codes_->setObjectName(QStringLiteral("codes"));
  list_->setObjectName(QStringLiteral("results"));
  list_->setAccessibleName(Text("検索結果"));
  list_->setModel(model_);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Tab leaves the list for the next control; the arrows move between its rows.
  list_->setTabKeyNavigation(false);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->setWordWrap(false);

  auto* search = new QPushButton(Text("検索"), this);
  search->setObjectName(QStringLiteral("search"));
  search->setDefault(true);
  search->setAutoDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Caption("都道府県", prefecture_, this), 0, 0);
  grid->addWidget(prefecture_, 0, 1);
  grid->addWidget(search, 0, 2, 2, 1);
  grid->addWidget(Caption("市町村名", municipality_, this), 1, 0);
  grid->addWidget(municipality_, 1, 1);
  grid->addWidget(new QLabel(Text("ふりがな可能：(例)おおさかしちゅうおうく"), this), 2, 1);
  grid->addWidget(Caption("設定名称：", names_, this), 3, 0, Qt::AlignTop);
  grid->addWidget(names_, 3, 1, 1, 2);
  grid->addWidget(Caption("設定ｺｰﾄﾞ：", codes_, this), 4, 0);
  grid->addWidget(codes_, 4, 1, 1, 2);
  grid->addWidget(new QLabel(Text("★コードをﾀﾞﾌﾞﾙｸﾘｯｸすると追加できます"), this), 5, 0, 1, 3);
  grid->addWidget(list_, 6, 0, 1, 3);
  grid->setRowStretch(6, 1);
  grid->setColumnStretch(1, 1);
  SetLayoutTabOrder(*this);

  connect(search, &QPushButton::clicked, this, [this] { window_.Search(); });
  connect(list_, &QTableView::doubleClicked, this, [this] { window_.AddCodes(); });
}

CodeLookupDialog::~CodeLookupDialog() = default;

void CodeLookupDialog::Open() {
  RestorePlacement(*this, state_.settings, keys::kLookupPlacement);
  for (int i = 0; i < 4; ++i) list_->setColumnWidth(i, 100);
  RestoreColumnWidths(*list_, state_.settings, keys::kLookupColumnWidths);
  window_.Open();
}

void CodeLookupDialog::ReadFields(CodeLookupFields& fields) {
  fields.prefecture = FromQString(prefecture_->text());
  fields.municipality = FromQString(municipality_->text());
  fields.codes = FromQString(codes_->text());
  fields.selected.clear();
  for (const QModelIndex& row : list_->selectionModel()->selectedRows())
    fields.selected.push_back(row.row());
  std::sort(fields.selected.begin(), fields.selected.end());
}

void CodeLookupDialog::ShowFields(const CodeLookupFields& fields) {
  prefecture_->setText(ToQString(fields.prefecture));
  municipality_->setText(ToQString(fields.municipality));
  names_->setPlainText(ToQString(fields.names));
  codes_->setText(ToQString(fields.codes));
  // A search clears the selection and may change the rows; adding codes keeps both.
  if (fields.selected.empty() || static_cast<int>(fields.rows.size()) != model_->rowCount({}))
    model_->Reset();
}

void CodeLookupDialog::closeEvent(QCloseEvent* event) {
  window_.Close();
  SavePlacement(*this, state_.settings, keys::kLookupPlacement);
  SaveColumnWidths(*list_, state_.settings, keys::kLookupColumnWidths);
  event->accept();
  accept();
}

bool RunCodeLookup(ProgramState& state, QWidget* parent) {
  CodeLookupDialog dialog(state, parent);
  dialog.Open();
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace kestrova
