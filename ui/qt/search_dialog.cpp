#include "ui/qt/search_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDrag>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "foundation/settings_keys.h"
#include "store/program_state.h"
#include "ui/qt/dialog_font.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/search_results_model.h"
#include "ui/qt/tab_order.h"
#include "ui/qt/window_placement.h"

namespace kestrova {

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString ControlName(int id) { return QStringLiteral("ctl%1").arg(id); }

// The result list: dragging selected rows out offers their PDF files, for copying only. A
// click below the last row keeps the selection, so a double-click there acts on it as a
// double-click on a row does.
class ResultList final : public QTableView {
 public:
  ResultList(std::function<QStringList()> files, std::function<void()> doubleClick, QWidget* parent)
      : QTableView(parent), files_(std::move(files)), doubleClick_(std::move(doubleClick)) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (indexAt(event->position().toPoint()).isValid()) {
      QTableView::mousePressEvent(event);
    } else {
      event->accept();
    }
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    // On a row the view's doubleClicked signal runs the action.
    if (indexAt(event->position().toPoint()).isValid()) {
      QTableView::mouseDoubleClickEvent(event);
    } else if (event->button() == Qt::LeftButton) {
      doubleClick_();
    }
  }
  void startDrag(Qt::DropActions) override {
    const QStringList files = files_();
    if (files.isEmpty()) return;
    QList<QUrl> urls;
    for (const QString& file : files) urls.push_back(QUrl::fromLocalFile(file));
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction);
  }

 private:
  std::function<QStringList()> files_;
  std::function<void()> doubleClick_;
};

void SetText(QLineEdit* edit, const QString& text) {
  // setText moves the cursor and drops the undo history: only on a real change.
  if (edit->text() != text) edit->setText(text);
}

// -1 (or anything beyond the group) checks no button of the group.
void SetChoice(QButtonGroup* group, int id) {
  if (QAbstractButton* button = group->button(id)) {
    button->setChecked(true);
    return;
  }
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(false);
  group->setExclusive(true);
}

void Fill(QComboBox* box, std::vector<std::string>& shown, const std::vector<std::string>& entries,
          int selected) {
  if (shown != entries) {
    QStringList texts;
    for (const std::string& entry : entries) texts.push_back(ToQString(entry));
    box->clear();
    box->addItems(texts);
    shown = entries;
  }
  box->setCurrentIndex(selected < box->count() ? selected : -1);
}

}  // namespace

SearchDialog::SearchDialog(ProgramState& state, QWidget* parent)
    : QDialog(parent), state_(state), window_(state, *this) {
  setObjectName(QStringLiteral("SearchDialog"));
  // A sizing frame with minimise and maximise boxes.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Kestrova"));
  setWindowIcon(ProgramIcon());
  setSizeGripEnabled(true);
  BuildControls();
}

SearchDialog::~SearchDialog() = default;

QPushButton* SearchDialog::CommandButton(SearchCommand id, const QString& caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(ControlName(static_cast<int>(id)));
  button->setAccessibleName(caption);
  // Only 検索 is pressed by Enter, wherever the focus is.
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, id] { window_.Command(id); });
  return button;
}

void SearchDialog::BuildControls() {
  setFont(DialogFont(font()));

  // The key grid: the rows of a column are alternatives, the columns must all match.
  auto* keys = new QGridLayout;
  keys->setHorizontalSpacing(4);
  keys->addWidget(new QLabel(Text("【検索キー】→→→　And　→→→→→"), this), 0, 1, 1, 3);
  auto* orDown = new QLabel(Text("↓\n↓\nOr\n↓\n↓"), this);
  orDown->setAlignment(Qt::AlignCenter);
  keys->addWidget(orDown, 1, 0, 3, 1);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      auto* edit = new QLineEdit(this);
      edit->setObjectName(QStringLiteral("ctlKey%1_%2").arg(column + 1).arg(row + 1));
      edit->setAccessibleName(Text("検索キー %1-%2").arg(column + 1).arg(row + 1));
      edit->setMinimumWidth(fontMetrics().horizontalAdvance(QString(6, QChar(0x3042))));
      keys_[static_cast<std::size_t>(column * 3 + row)] = edit;
      keys->addWidget(edit, row + 1, column + 1);
    }
  }

  QPushButton* search = CommandButton(SearchCommand::kSearch, Text("検索"));
  search->setDefault(true);
  search->setMinimumHeight(44);
  QPushButton* clear = CommandButton(SearchCommand::kClear, Text("クリア"));
  auto* buttons = new QVBoxLayout;
  buttons->addStretch();
  buttons->addWidget(search);
  buttons->addWidget(clear);
  buttons->addStretch();

  // 種別 and 図面: a click on any radio button searches.
  auto radios = [this](const char* caption, const char* const(&texts)[3],
                       const char* name) -> QButtonGroup* {
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
      auto* radio = new QRadioButton(Text(texts[i]), this);
      radio->setObjectName(QStringLiteral("ctl%1%2").arg(QLatin1String(name)).arg(i));
      radio->setAccessibleName(Text(caption) + QLatin1Char(' ') + radio->text());
      group->addButton(radio, i);
    }
    connect(group, &QButtonGroup::idClicked, this, [this] { window_.RunSearch(); });
    return group;
  };
  type_ = radios("種別", {"売買", "賃貸", "両方"}, "Type");
  plan_ = radios("図面", {"有", "無", "両方"}, "Plan");
  station_ = new QComboBox(this);
  station_->setObjectName(QStringLiteral("ctlStation"));
  station_->setAccessibleName(Text("駅"));
  station_->setMinimumContentsLength(8);
  station_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  connect(station_, &QComboBox::activated, this, [this] { window_.RunSearch(); });
  auto* choices = new QHBoxLayout;
  choices->addWidget(new QLabel(Text("種別"), this));
  for (QAbstractButton* radio : type_->buttons()) choices->addWidget(radio);
  choices->addSpacing(16);
  choices->addWidget(new QLabel(Text("図面"), this));
  for (QAbstractButton* radio : plan_->buttons()) choices->addWidget(radio);
  choices->addSpacing(16);
  auto* stationLabel = new QLabel(Text("駅"), this);
  stationLabel->setBuddy(station_);
  choices->addWidget(stationLabel);
  choices->addWidget(station_, 1);

  // The three key lists, each with its file's editor and reload under it.
  auto* lists = new QHBoxLayout;
  for (int i = 0; i < 3; ++i) {
    auto* box = new QComboBox(this);
    box->setObjectName(QStringLiteral("ctlKeyList%1").arg(i + 1));
    box->setAccessibleName(Text("検索キーリスト%1").arg(i + 1));
    box->setMinimumContentsLength(8);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(box, &QComboBox::activated, this, [this] { window_.RunSearch(); });
    keyLists_[static_cast<std::size_t>(i)] = box;
    QPushButton* edit =
        CommandButton(static_cast<SearchCommand>(static_cast<int>(SearchCommand::kEditList1) + i),
                      Text("検索設定"));
    QPushButton* reload =
        CommandButton(static_cast<SearchCommand>(static_cast<int>(SearchCommand::kReloadList1) + i),
                      Text("★再読込"));
    edit->setAccessibleName(edit->text() + QStringLiteral(" %1").arg(i + 1));
    reload->setAccessibleName(reload->text() + QStringLiteral(" %1").arg(i + 1));
    // The label a screen reader names the list by; the list's own text is its selection.
    auto* label = new QLabel(box->accessibleName(), this);
    label->setBuddy(box);
    auto* column = new QGridLayout;
    column->setSpacing(2);
    column->addWidget(label, 0, 0, 1, 2);
    column->addWidget(box, 1, 0, 1, 2);
    column->addWidget(edit, 2, 0);
    column->addWidget(reload, 2, 1);
    lists->addLayout(column, 1);
  }

  // 日範囲 and its presets.
  dateFrom_ = new QLineEdit(this);
  dateFrom_->setObjectName(QStringLiteral("ctlDateFrom"));
  dateFrom_->setAccessibleName(Text("日範囲 開始"));
  dateTo_ = new QLineEdit(this);
  dateTo_->setObjectName(QStringLiteral("ctlDateTo"));
  dateTo_->setAccessibleName(Text("日範囲 終了"));
  const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00")) + 16;
  dateFrom_->setFixedWidth(dateWidth);
  dateTo_->setFixedWidth(dateWidth);
  // The two switches wait for the next search.
  pastData_ = new QCheckBox(Text("過去データを含める"), this);
  pastData_->setObjectName(QStringLiteral("ctlPastData"));
  pastData_->setAccessibleName(pastData_->text());
  hideDuplicates_ = new QCheckBox(Text("重複非表示"), this);
  hideDuplicates_->setObjectName(QStringLiteral("ctlHideDuplicates"));
  hideDuplicates_->setAccessibleName(hideDuplicates_->text());
  auto* dates = new QHBoxLayout;
  auto* dateLabel = new QLabel(Text("日範囲"), this);
  dateLabel->setBuddy(dateFrom_);
  dates->addWidget(dateLabel);
  dates->addWidget(dateFrom_);
  dates->addWidget(new QLabel(Text("～"), this));
  dates->addWidget(dateTo_);
  dates->addSpacing(16);
  dates->addWidget(pastData_);
  dates->addWidget(hideDuplicates_);
  dates->addStretch();
  auto* presets = new QHBoxLayout;
  static const char* const kPresets[] = {"1日", "2日", "3日", "1週", "2週",
                                         "1月", "2月", "3月", "1年", "ALL"};
  for (int i = 0; i < 10; ++i) {
    QPushButton* preset =
        CommandButton(static_cast<SearchCommand>(static_cast<int>(SearchCommand::kPreset1Day) + i),
                      Text(kPresets[i]));
    preset->setMinimumWidth(0);
    preset->setMaximumWidth(fontMetrics().horizontalAdvance(preset->text()) + 20);
    presets->addWidget(preset);
  }
  presets->addStretch();

  // ﾀﾞﾌﾞﾙｸﾘｯｸ時, under the keys.
  doubleClick_ = new QComboBox(this);
  doubleClick_->setObjectName(QStringLiteral("ctlDoubleClick"));
  doubleClick_->setAccessibleName(Text("ﾀﾞﾌﾞﾙｸﾘｯｸ時"));
  for (int i = 0; i <= static_cast<int>(ResultAction::kOpenLocation); ++i)
    doubleClick_->addItem(ToQString(ActionText(static_cast<ResultAction>(i))));
  auto* action = new QHBoxLayout;
  auto* doubleClickLabel = new QLabel(Text("ﾀﾞﾌﾞﾙｸﾘｯｸ時"), this);
  doubleClickLabel->setBuddy(doubleClick_);
  action->addWidget(doubleClickLabel);
  action->addWidget(doubleClick_);
  action->addStretch();
  keys->addLayout(action, 4, 1, 1, 3);

  auto* filters = new QVBoxLayout;
  filters->setSpacing(4);
  filters->addLayout(choices);
  filters->addLayout(lists);
  filters->addLayout(dates);
  filters->addLayout(presets);

  auto* top = new QHBoxLayout;
  top->addLayout(keys);
  top->addLayout(buttons);
  top->addSpacing(8);
  top->addLayout(filters, 1);

  // The result list: rows read from the window's results as they are painted.
  model_ = new SearchResultsModel(window_, this);
  list_ = new ResultList([this] { return DragFiles(); }, [this] { window_.DoubleClick(); }, this);
  list_->setObjectName(QStringLiteral("ctlResults"));
  list_->setAccessibleName(Text("検索結果"));
  list_->setModel(model_);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Tab leaves the list for the next control; the arrows move between its rows.
  list_->setTabKeyNavigation(false);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSortingEnabled(false);  // the window sorts its own rows
  list_->setWordWrap(false);
  list_->setDragEnabled(true);
  list_->setDragDropMode(QAbstractItemView::DragOnly);
  list_->setDefaultDropAction(Qt::CopyAction);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  list_->verticalHeader()->hide();
  // One fixed row height: the view never measures a row, however many there are.
  list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  list_->horizontalHeader()->setSectionsClickable(true);
  list_->horizontalHeader()->setHighlightSections(false);
  connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { window_.SortByColumn(column); });
  connect(list_, &QTableView::doubleClicked, this, [this] { window_.DoubleClick(); });
  connect(list_, &QWidget::customContextMenuRequested, this, &SearchDialog::ShowMenu);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 5, 5);
  layout->addLayout(top);
  layout->addWidget(list_, 1);
  SetLayoutTabOrder(*this);
  keys_[0]->setFocus();
}

bool SearchDialog::Open() {
  RestorePlacement(*this, state_.settings, keys::kSearchPlacement);
  for (int i = 0; i < model_->columnCount({}); ++i) list_->setColumnWidth(i, 100);
  const bool fit = ColumnsFitContents(state_.settings);
  RestoreColumnWidths(*list_, state_.settings, keys::kSearchColumnWidths);
  if (!window_.Open()) return false;
  if (fit) FitColumns();
  return true;
}

void SearchDialog::FitColumns() {
  list_->verticalHeader()->setResizeContentsPrecision(kFitRows);
  // Every heading gets room for the sort arrow, so a later sort never cuts its text.
  QHeaderView* header = list_->horizontalHeader();
  const bool arrowShown = header->isSortIndicatorShown();
  header->setSortIndicatorShown(true);
  list_->resizeColumnsToContents();
  header->setSortIndicatorShown(arrowShown);
  const int widest = fontMetrics().horizontalAdvance(QString(kFitChars, QChar(0x3042)));
  for (int i = 0; i < model_->columnCount({}); ++i) {
    if (list_->columnWidth(i) > widest) list_->setColumnWidth(i, widest);
  }
}

void SearchDialog::ReadFields(SearchFields& fields) {
  for (std::size_t i = 0; i < keys_.size(); ++i)
    fields.state.keys[i] = FromQString(keys_[i]->text());
  fields.state.startDate = FromQString(dateFrom_->text());
  fields.state.endDate = FromQString(dateTo_->text());
  fields.state.type = type_->checkedId();
  fields.state.plan = plan_->checkedId();
  fields.state.pastData = pastData_->isChecked() ? 1 : 0;
  fields.state.hideDuplicates = hideDuplicates_->isChecked() ? 1 : 0;
  fields.state.doubleClick = doubleClick_->currentIndex();
  fields.station = station_->currentIndex();
  for (std::size_t i = 0; i < keyLists_.size(); ++i)
    fields.keyListSelection[i] = keyLists_[i]->currentIndex();
  // Row by row from the selection's ranges: a selection of every row stays one range.
  fields.selected.clear();
  for (const QItemSelectionRange& range : list_->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) fields.selected.push_back(row);
  }
  std::sort(fields.selected.begin(), fields.selected.end());
  fields.selected.erase(std::unique(fields.selected.begin(), fields.selected.end()),
                        fields.selected.end());
}

void SearchDialog::ShowFields(const SearchFields& fields) {
  for (std::size_t i = 0; i < keys_.size(); ++i) SetText(keys_[i], ToQString(fields.state.keys[i]));
  SetText(dateFrom_, ToQString(fields.state.startDate));
  SetText(dateTo_, ToQString(fields.state.endDate));
  SetChoice(type_, fields.state.type);
  SetChoice(plan_, fields.state.plan);
  pastData_->setChecked(fields.state.pastData != 0);
  hideDuplicates_->setChecked(fields.state.hideDuplicates != 0);
  doubleClick_->setCurrentIndex(
      fields.state.doubleClick < doubleClick_->count() ? fields.state.doubleClick : -1);
  Fill(station_, stations_, fields.stations, fields.station);
  for (std::size_t i = 0; i < keyLists_.size(); ++i)
    Fill(keyLists_[i], keyListEntries_[i], fields.keyLists[i], fields.keyListSelection[i]);
}

void SearchDialog::ShowResults() {
  model_->Reset();
  // The arrow in the heading of the column the rows are sorted by; none in file order.
  QHeaderView* header = list_->horizontalHeader();
  const int column = window_.SortedColumn();
  header->setSortIndicatorShown(column >= 0);
  if (column >= 0)
    header->setSortIndicator(column,
                             window_.SortedDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void SearchDialog::SelectRows(const std::vector<int>& rows) {
  // Runs of neighbouring rows as one range each: every row selected stays one range.
  QItemSelection selection;
  const int lastColumn = model_->columnCount({}) - 1;
  for (std::size_t i = 0; i < rows.size();) {
    std::size_t end = i + 1;
    while (end < rows.size() && rows[end] == rows[end - 1] + 1) ++end;
    selection.select(model_->index(rows[i], 0), model_->index(rows[end - 1], lastColumn));
    i = end;
  }
  list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void SearchDialog::SetTitle(std::string_view title) { setWindowTitle(ToQString(title)); }

void SearchDialog::ShowMenu(const QPoint& position) {
  if (!list_->selectionModel()->hasSelection()) return;
  raise();
  activateWindow();
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("contextMenu"));
  for (ResultAction action : MenuActions()) {
    QAction* entry = menu.addAction(ToQString(ActionText(action)));
    entry->setObjectName(QStringLiteral("menuAction%1").arg(static_cast<int>(action)));
    entry->setData(static_cast<int>(action));
  }
  QAction* chosen = menu.exec(list_->viewport()->mapToGlobal(position));
  if (chosen == nullptr) return;
  window_.RunAction(static_cast<ResultAction>(chosen->data().toInt()));
}

QStringList SearchDialog::DragFiles() {
  QStringList files;
  for (const std::string& path : window_.RunAction(ResultAction::kCollectDragFiles)) {
    // The program's paths separate with "\\" on every platform; Qt's with "/".
    files.push_back(ToQString(path).replace(QLatin1Char('\\'), QLatin1Char('/')));
  }
  return files;
}

void SearchDialog::closeEvent(QCloseEvent* event) {
  window_.Close();
  SavePlacement(*this, state_.settings, keys::kSearchPlacement);
  SaveColumnWidths(*list_, state_.settings, keys::kSearchColumnWidths);
  event->accept();
  accept();
}

void RunLocalSearch(ProgramState& state, QWidget* mainWindow, QtDesktop* desktop) {
  // A window of its own, not one owned by the hidden main window: it keeps its taskbar entry
  // and its minimise and maximise boxes, which window managers take from owned dialogs.
  SearchDialog dialog(state);
  if (desktop != nullptr) desktop->SetWindow(&dialog);
  if (dialog.Open()) dialog.exec();
  if (desktop != nullptr) desktop->SetWindow(mainWindow);
}

}  // namespace kestrova
