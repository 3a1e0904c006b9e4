#include "ui/qt/main_window_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "foundation/sjis.h"
#include "service/online_commands.h"
#include "store/program_state.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/dialog_font.h"
#include "ui/qt/input_dialog.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/schedule_dialog.h"
#include "ui/qt/tab_order.h"

namespace kestrova {

namespace {

enum EditFlags { kPlain = 0, kReadOnly = 1, kPassword = 2 };

struct EditSpec {
  int id;
  const char* label;  // UTF-8; CR LF breaks the line
  std::string MainFields::*field;
  int flags;
};

// The dialog's edits in its tab order. 1009 (the status line) has no label of its own; its
// accessible name says what it is.
const EditSpec kEdits[] = {
    {1002, "取得開始日付", &MainFields::startDate, kPlain},
    {1003, "取得終了日付", &MainFields::endDate, kPlain},
    {1004, "最終取得日付", &MainFields::lastDate, kReadOnly},
    {1058, "成約取得開始日", &MainFields::dealStartDate, kPlain},
    {1005, "市町村コード\r\n(5桁の数字)", &MainFields::codes, kPlain},
    {1007, "ログイン情報", &MainFields::loginInfo, kReadOnly},
    {1006, "パスワード", &MainFields::password, kPassword},
    {1045, "(参考)検索回数:", &MainFields::searchCount, kReadOnly},
    {1048, "前日までの利用料：", &MainFields::fee, kReadOnly},
    {1009, "状態", &MainFields::statusLine, kReadOnly},
};

struct CheckSpec {
  int id;
  const char* caption;
  int MainFields::*field;
};

const CheckSpec kChecks[] = {
    {1011, "売買", &MainFields::sale},
    {1012, "賃貸", &MainFields::rent},
    {1026, "PDF取得する", &MainFields::pdf},
    {1050, "詳細情報取得", &MainFields::detail},
    {1025, "取得済みはDLしない", &MainFields::skipExisting},
    {1036, "同意します", &MainFields::agreed},
};

QString Caption(const char* utf8) { return QString::fromUtf8(utf8).remove(QLatin1Char('\r')); }
// What a screen reader says for a control: its label as one line.
QString SpokenName(const char* utf8) {
  return QString::fromUtf8(utf8).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
}
QString ControlName(int id) { return QStringLiteral("ctl%1").arg(id); }

QLabel* Static(QWidget* parent, const char* utf8, const QColor& colour = QColor()) {
  auto* label = new QLabel(Caption(utf8), parent);
  if (colour.isValid()) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
  }
  return label;
}

void SetText(QLineEdit* edit, const QString& text) {
  // setText moves the cursor and drops the undo history: only on a real change.
  if (edit->text() != text) edit->setText(text);
}

}  // namespace

MainWindowDialog::MainWindowDialog(ProgramState& state, TransportFactory transports,
                                   QWidget* parent)
    : QDialog(parent), state_(state), window_(state, *this, std::move(transports)) {
  setObjectName(QStringLiteral("MainWindowDialog"));
  // A fixed window with a caption, a system menu and a minimise box, no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Kestrova"));
  setWindowIcon(ProgramIcon());
  BuildControls();

  // A stop signal is seen here, on the window's thread, even while a command pumps messages.
  signalWatch_ = new QTimer(this);
  signalWatch_->setInterval(100);
  connect(signalWatch_, &QTimer::timeout, this, [this] {
    if (state_.stopSignal.load() == 0) return;
    signalWatch_->stop();
    // The windows opened over this one (local search, code lookup, maintenance) close as their
    // close boxes would, so the command that opened them returns and the close sequence runs.
    for (QWidget* other : QApplication::topLevelWidgets()) {
      if (other != this && other->isVisible()) other->close();
    }
    window_.StopSignalled();
  });
  signalWatch_->start();
}

QPushButton* MainWindowDialog::CommandButton(int id, const char* caption) {
  auto* button = new QPushButton(Caption(caption), this);
  button->setObjectName(ControlName(id));
  button->setAccessibleName(SpokenName(caption));
  connect(button, &QPushButton::clicked, this,
          [this, id] { RunCommand(static_cast<MainCommand>(id)); });
  buttons_[id] = button;
  return button;
}

void MainWindowDialog::BuildControls() {
  setFont(DialogFont(font()));

  std::map<int, QLabel*> labels;
  for (const EditSpec& spec : kEdits) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(ControlName(spec.id));
    edit->setAccessibleName(SpokenName(spec.label));
    edit->setReadOnly((spec.flags & kReadOnly) != 0);
    if (spec.flags & kPassword) edit->setEchoMode(QLineEdit::Password);
    edits_[spec.id] = edit;
    if (spec.id != 1009) {
      labels[spec.id] = Static(this, spec.label);
      labels[spec.id]->setBuddy(edit);
    }
  }
  for (const CheckSpec& spec : kChecks) {
    auto* check = new QCheckBox(Caption(spec.caption), this);
    check->setObjectName(ControlName(spec.id));
    check->setAccessibleName(SpokenName(spec.caption));
    checks_[spec.id] = check;
  }
  // The agreement box runs its rule however its state changed: mouse, Space, an accessibility
  // action or automation. Only the changes ShowFields makes itself are the logic's own.
  connect(checks_[1036], &QCheckBox::toggled, this, [this] {
    if (!showingFields_) RunCommand(MainCommand::kAgreement);
  });
  for (int id : {1002, 1003, 1004, 1058, 1045}) edits_[id]->setFixedWidth(96);
  edits_[1048]->setFixedWidth(110);

  const QColor red(0xff, 0, 0), blue(0, 0, 0xff);
  auto* form = new QGridLayout;
  form->addWidget(labels[1002], 0, 0);
  form->addWidget(edits_[1002], 0, 1);
  form->addWidget(CommandButton(1008, "最終取得日+1～前日に設定"), 0, 2, 1, 2);
  form->addWidget(labels[1003], 1, 0);
  form->addWidget(edits_[1003], 1, 1);
  form->addWidget(CommandButton(1014, "最終取得日 ～ 今日に設定"), 1, 2, 1, 2);
  form->addWidget(labels[1004], 2, 0);
  form->addWidget(edits_[1004], 2, 1);
  form->addWidget(labels[1058], 2, 2, Qt::AlignRight);
  form->addWidget(edits_[1058], 2, 3);
  auto* note1042 = Static(this,
                          "2週間以上は取りこぼしの可能性がありますのでご注意ください。\r\n("
                          "100件を超えると取りこぼします)",
                          blue);
  note1042->setObjectName(ControlName(1042));
  form->addWidget(note1042, 3, 0, 1, 4);
  form->addWidget(labels[1005], 4, 0);
  form->addWidget(edits_[1005], 4, 1, 1, 2);
  form->addWidget(Static(this, "← , (半角ｺﾝﾏ)で区切る"), 4, 3);
  form->addWidget(Static(this, "(例)大阪市中央区,浪速区→ 27128,27111"), 5, 1, 1, 2);
  form->addWidget(CommandButton(1054, "市町村コード検索"), 5, 3);
  form->addWidget(labels[1007], 6, 0);
  form->addWidget(edits_[1007], 6, 1);
  form->addWidget(labels[1006], 6, 2, Qt::AlignRight);
  form->addWidget(edits_[1006], 6, 3);
  form->setColumnStretch(3, 1);

  auto* switches = new QHBoxLayout;
  for (int id : {1011, 1012, 1026, 1050, 1025}) switches->addWidget(checks_[id]);
  switches->addStretch();

  auto* online = new QHBoxLayout;
  for (auto [id, caption] :
       {std::pair{1000, "オンライン\r\n物件検索"}, std::pair{1001, "オンライン\r\n成約検索"}}) {
    QPushButton* button = CommandButton(id, caption);
    button->setMinimumHeight(44);
    online->addWidget(button, 1);
  }
  stop_ = new QPushButton(QStringLiteral("中止"), this);
  stop_->setObjectName(QStringLiteral("ctlStop"));
  stop_->setAccessibleName(QStringLiteral("中止"));
  stop_->setMinimumHeight(44);
  stop_->setEnabled(false);
  stop_->setAutoDefault(false);
  connect(stop_, &QPushButton::clicked, this, [this] { window_.RequestStop(); });
  online->addWidget(stop_);
  online->addSpacing(12);
  QPushButton* fee = CommandButton(1051, "料金確認");
  fee->setMinimumHeight(44);
  online->addWidget(fee);

  auto* counter = new QHBoxLayout;
  counter->addWidget(labels[1045]);
  counter->addWidget(edits_[1045]);
  counter->addWidget(Static(this, "×10円"));
  counter->addWidget(CommandButton(1034, "↑ﾘｾｯﾄ"));
  counter->addStretch();
  counter->addWidget(labels[1048]);
  counter->addWidget(edits_[1048]);

  log_ = new QPlainTextEdit(this);
  log_->setObjectName(ControlName(1010));
  log_->setAccessibleName(QStringLiteral("ログ"));
  log_->setReadOnly(true);
  log_->setFixedHeight(log_->fontMetrics().lineSpacing() * 4 + 12);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ctlProgress"));
  progress_->setAccessibleName(QStringLiteral("検索の進み具合"));
  progress_->setRange(0, 1);
  progress_->setValue(0);
  progress_->setFormat(QStringLiteral("%v/%m"));
  progress_->setTextVisible(false);  // no count before the first search

  auto* note1049 = Static(this,
                          "混雑する時間帯に利用した場合等、レインズシステムへの重大な侵害行為と認め"
                          "られた場合、「レインズ利用を制限・停止」される場合があります",
                          red);
  note1049->setObjectName(ControlName(1049));
  note1049->setWordWrap(true);
  auto* note1044 = Static(
      this,
      "※ご利用にあたりましては、「利用規約」をご参照いただき、\r\n同意していただくことが必要です。",
      red);
  note1044->setObjectName(ControlName(1044));
  auto* terms = new QHBoxLayout;
  terms->addWidget(note1044);
  terms->addWidget(checks_[1036]);
  terms->addStretch();

  QPushButton* local = CommandButton(1013, "物件管理(ローカル検索)");
  local->setDefault(true);
  auto* about = new QPushButton(this);
  about->setObjectName(ControlName(1046));
  about->setAccessibleName(QStringLiteral("バージョン情報"));
  about->setIcon(ProgramIcon());
  about->setIconSize(QSize(32, 32));
  about->setAutoDefault(false);
  connect(about, &QPushButton::clicked, this, &MainWindowDialog::ShowAbout);
  buttons_[1046] = about;
  auto* aboutColumn = new QVBoxLayout;
  aboutColumn->addWidget(about, 0, Qt::AlignHCenter);
  aboutColumn->addWidget(Static(this, "↑ﾊﾞｰｼﾞｮﾝ情報"), 0, Qt::AlignHCenter);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(local);
  bottom->addWidget(CommandButton(1043, "メンテナンス"));
  bottom->addStretch();
  bottom->addLayout(aboutColumn);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(switches);
  layout->addLayout(online);
  layout->addLayout(counter);
  layout->addWidget(edits_[1009]);
  layout->addWidget(log_);
  layout->addWidget(progress_);
  layout->addWidget(note1049);
  layout->addLayout(terms);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  note1049->setMaximumWidth(form->sizeHint().width());
  log_->setTabChangesFocus(true);
  SetLayoutTabOrder(*this);
  local->setFocus();
}

bool MainWindowDialog::StartUp(const EnvironmentSource& source, const LoginIdSources& loginId) {
  if (!window_.StartUp(source, loginId)) return false;
  if (window_.NeedsLoginId()) {
    InputTexts texts{LoginIdPrompt(), std::string()};
    if (InputDialog::Ask(texts, this) && !texts.value.empty()) window_.SetLoginId(texts.value);
  }
  return true;
}

void MainWindowDialog::Run() {
  // The program ends by the close sequence only: never because its last visible window
  // closed while this one is hidden behind the local search.
  QApplication::setQuitOnLastWindowClosed(false);
  // An event loop of its own rather than QDialog::exec, whose loop ends as soon as the dialog
  // is hidden, as it is while the local search takes its place.
  QEventLoop loop;
  loop_ = &loop;
  show();
  if (!ended_) loop.exec();
  loop_ = nullptr;
}

void MainWindowDialog::RunCommand(MainCommand id) { window_.Command(id); }

void MainWindowDialog::ShowAbout() {
  AboutDialog dialog(state_, this);
  dialog.exec();
}

void MainWindowDialog::ReadFields(MainFields& fields) {
  for (const EditSpec& spec : kEdits) {
    if (!edits_[spec.id]->isReadOnly()) fields.*spec.field = FromQString(edits_[spec.id]->text());
  }
  for (const CheckSpec& spec : kChecks) fields.*spec.field = checks_[spec.id]->isChecked() ? 1 : 0;
}

void MainWindowDialog::ShowFields(const MainFields& fields) {
  const bool wasShowing = showingFields_;
  showingFields_ = true;
  for (const EditSpec& spec : kEdits) SetText(edits_[spec.id], ToQString(fields.*spec.field));
  for (const CheckSpec& spec : kChecks) checks_[spec.id]->setChecked(fields.*spec.field != 0);
  showingFields_ = wasShowing;
  // "_" only clears the box between the rows of a page.
  const QString log =
      fields.logBox == "_" ? QString() : ToQString(fields.logBox).remove(QLatin1Char('\r'));
  if (log_->toPlainText() != log) log_->setPlainText(log);
}

void MainWindowDialog::SetTitle(std::string_view title) { setWindowTitle(ToQString(title)); }

void MainWindowDialog::SearchProgress(int done, int total) {
  progress_->setTextVisible(true);
  progress_->setRange(0, total > 0 ? total : 1);
  progress_->setValue(done);
}

void MainWindowDialog::ShowBusy(bool busy, bool stoppable) {
  // One command at a time: every other button waits; the stop button serves online runs only.
  for (auto& [id, button] : buttons_) button->setEnabled(!busy);
  stop_->setEnabled(busy && stoppable);
  if (busy && stoppable) {
    progress_->setRange(0, 1);
    progress_->setValue(0);
  }
}

bool MainWindowDialog::OpenWindow(MainCommand id) {
  auto it = openers_.find(id);
  if (it == openers_.end() || !it->second) return false;
  // The local search takes the main window's place while it is open.
  if (id == MainCommand::kLocalSearch) hide();
  it->second();
  if (id == MainCommand::kLocalSearch) show();
  return true;
}

void MainWindowDialog::EndWindow() {
  ended_ = true;
  signalWatch_->stop();
  hide();
  if (loop_ != nullptr) loop_->exit(0);
}

void MainWindowDialog::closeEvent(QCloseEvent* event) {
  if (ended_ || window_.RequestClose() == CloseResult::kClosed) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindowDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("contextMenu"));
  QAction* about = menu.addAction(QStringLiteral("Kestrova のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
  about->setObjectName(QStringLiteral("menuAbout"));
  about->setEnabled(!window_.busy());
  QAction* schedule = menu.addAction(QStringLiteral("自動取得の設定..."));
  schedule->setObjectName(QStringLiteral("menuSchedule"));
  schedule->setEnabled(!window_.busy());
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == about) ShowAbout();
  if (chosen == schedule) ShowSchedule();
}

void MainWindowDialog::ShowSchedule() {
  const std::unique_ptr<Scheduler> scheduler = SystemScheduler(SystemProgramRunner());
  ScheduleDialog dialog(state_, *scheduler, window_.Fields().loginInfo, this);
  dialog.exec();
}

}  // namespace kestrova
