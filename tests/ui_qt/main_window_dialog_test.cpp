// The main window's Qt dialog driven through its real widgets on the offscreen platform: first
// start, searches against a kestrova-sim of the test's own, stop, input checks, the terms box,
// date presets, Escape and the close box, the login ID prompt.
#include "ui/qt/main_window_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

#include "foundation/dates.h"
#include "foundation/sjis.h"
#include "store/program_state.h"
#include "tests/e2e/headless_run.h"
#include "tests/sim/sim_process.h"
#include "tests/support/source_paths.h"
#include "tests/support/temp_folder.h"
#include "ui/qt/code_lookup_dialog.h"
#include "ui/qt/maintenance_dialog.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/qt_text.h"
#include "ui/qt/search_dialog.h"

using namespace kestrova;
using namespace Qt::StringLiterals;

namespace {

// The Qt desktop with scripted answers to its messages and a hook into every pump, so a test
// can look at (and press) the window while a command runs.
class ScriptedQtDesktop final : public QtDesktop {
 public:
  MessageAnswer Message(std::string_view text, std::string_view, MessageIcon,
                        MessageButtons buttons) override {
    messages.push_back(QString::fromStdString(Utf8(text)));
    if (onMessage) onMessage();
    if (!answers.empty()) {
      MessageAnswer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
  }
  bool ShellOpen(std::string_view target) override {
    opened.push_back(QString::fromStdString(Utf8(target)));
    return true;
  }
  void Pump(int n) override {
    QtDesktop::Pump(n);
    if (onPump) onPump();
  }
  QStringList messages;
  QStringList opened;
  std::deque<MessageAnswer> answers;
  std::function<void()> onPump;
  std::function<void()> onMessage;  // while the message is up
};

// The visible top-level window of that object name, or null.
QWidget* OpenWindowNamed(const QString& name) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() == name && window->isVisible()) return window;
  }
  return nullptr;
}

}  // namespace

class MainWindowDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempFolder> home_;
  std::unique_ptr<FixedClock> clock_;
  std::unique_ptr<ProgramState> state_;
  std::unique_ptr<ScriptedQtDesktop> desktop_;
  std::unique_ptr<MainWindowDialog> dialog_;

  template <typename T>
  T* Ctl(const char* name) {
    T* w = dialog_->findChild<T*>(QString::fromLatin1(name));
    if (w == nullptr) qFatal("no control %s", name);
    return w;
  }
  QString Text(const char* name) { return Ctl<QLineEdit>(name)->text(); }
  void Start(const char* loginId = "12345678") {
    QVERIFY(dialog_->StartUp({home_->path() + "\\kestrova"}, {loginId, ""}));
  }
  void WriteIni(const std::string& utf8) { test::WriteSettings(home_->native(), utf8); }
  std::string IniValue(const std::string& key) { return test::SettingOf(home_->native(), key); }
  bool Exists(const char* relative) { return std::filesystem::exists(home_->native() + relative); }
  // Terms agreed and a management file to search, the local search opened as the program
  // opens it.
  void StartWithLocalSearch() {
    WriteIni("[設定]\n同意=1\n");
    std::filesystem::create_directories(home_->native() + "/csv_total");
    test::WriteNative(home_->native() + "/csv_total/TotalData_kanri_csvdata.csv",
                      "\"1\",\r\n\r\n\r\n\"1001\",\r\n");
    Start();
    dialog_->SetWindowOpener(MainCommand::kLocalSearch,
                             [this] { RunLocalSearch(*state_, dialog_.get(), desktop_.get()); });
  }
  // Runs the main window's own event loop, with a guard that ends a test whose windows never
  // close (every window closed; false then).
  bool RunMainWindow() {
    bool guardFired = false;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [&] {
      guardFired = true;
      for (QWidget* window : QApplication::topLevelWidgets()) window->close();
    });
    guard.start(10000);
    dialog_->Run();
    return !guardFired;
  }

  // A stop signal while the window of the button is open closes it as its close box would and
  // runs the close sequence.
  void StopSignalWhileOpen(const char* button, const QString& window) {
    StartWithLocalSearch();
    dialog_->SetWindowOpener(MainCommand::kCodeLookup,
                             [this] { RunCodeLookup(*state_, dialog_.get()); });
    dialog_->SetWindowOpener(MainCommand::kMaintenance,
                             [this] { RunMaintenance(*state_, dialog_.get()); });
    Ctl<QLineEdit>("ctl1058")->setText(QStringLiteral("2011/01/31"));  // kept by the close
    bool open = false;
    QTimer::singleShot(0, [&] {
      QTimer::singleShot(200, [&] {
        open = OpenWindowNamed(window) != nullptr;
        state_->stopSignal = 15;
      });
      QTest::mouseClick(Ctl<QPushButton>(button), Qt::LeftButton);
    });
    QVERIFY(RunMainWindow());
    QVERIFY(open);
    QVERIFY(OpenWindowNamed(window) == nullptr);
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(IniValue("成約開始日"), std::string("2011/01/31"));
    QVERIFY(!Exists("/Tmp/kestrova.running"));
  }

 private slots:
  void init() {
    home_ = std::make_unique<test::TempFolder>();
    std::filesystem::copy(std::string(KESTROVA_SOURCE_DIR) + "/Setting",
                          home_->native() + "/Setting", std::filesystem::copy_options::recursive);
    clock_ = std::make_unique<FixedClock>("2011/05/08 14:30:00");
    state_ = std::make_unique<ProgramState>();
    desktop_ = std::make_unique<ScriptedQtDesktop>();
    state_->clock = clock_.get();
    state_->desktop = desktop_.get();
    dialog_ = std::make_unique<MainWindowDialog>(*state_, SystemTransportFactory());
  }
  void cleanup() {
    dialog_.reset();
    desktop_.reset();
    state_.reset();
    home_.reset();
  }

  void firstStartShowsTheDefaultsInEveryControl() {
    Start();
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Kestrova"));
    for (const char* name : {"ctl1011", "ctl1012", "ctl1025", "ctl1026", "ctl1050"})
      QVERIFY2(Ctl<QCheckBox>(name)->isChecked(), name);
    QVERIFY(!Ctl<QCheckBox>("ctl1036")->isChecked());
    QCOMPARE(Text("ctl1002"), QStringLiteral("2011/05/01"));
    QCOMPARE(Text("ctl1003"), QStringLiteral("2011/05/07"));
    QCOMPARE(Text("ctl1004"), QStringLiteral("2011/05/01"));
    QCOMPARE(Text("ctl1058"), QStringLiteral("2011/02/08"));
    QCOMPARE(Text("ctl1007"), QStringLiteral("12345678"));
    QCOMPARE(Text("ctl1045"), QStringLiteral("0"));
    QVERIFY(Ctl<QLineEdit>("ctl1004")->isReadOnly());
    QCOMPARE(Ctl<QLineEdit>("ctl1006")->echoMode(), QLineEdit::Password);
    QCOMPARE(Ctl<QLineEdit>("ctl1005")->accessibleName(),
             QStringLiteral("市町村コード(5桁の数字)"));
    QVERIFY(Ctl<QPushButton>("ctl1013")->isDefault());
    QCOMPARE(Ctl<QPushButton>("ctl1000")->text(), QStringLiteral("オンライン\n物件検索"));
    QCOMPARE(Ctl<QLabel>("ctl1042")->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QCOMPARE(Ctl<QLabel>("ctl1044")->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(Ctl<QLabel>("ctl1049")->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(!Ctl<QPushButton>("ctlStop")->isEnabled());
    const Qt::WindowFlags flags = dialog_->windowFlags();
    QVERIFY((flags & Qt::WindowMinimizeButtonHint) && !(flags & Qt::WindowMaximizeButtonHint));
    dialog_->show();
    QCOMPARE(dialog_->minimumSize(), dialog_->maximumSize());
    QVERIFY(!dialog_->windowIcon().isNull());
  }

  void propertySearchShowsItsProgressAndEndsWithTheButtonsBack() {
    test::SimProcess sim;
    QVERIFY(sim.Start());
    WriteIni(test::SettingsFor(sim));
    Start("demo");
    QStringList titles, statuses;
    int disabledSeen = 0, stopEnabledSeen = 0;
    connect(Ctl<QLineEdit>("ctl1009"), &QLineEdit::textChanged,
            [&](const QString& text) { statuses << text; });
    desktop_->onPump = [&] {
      titles << dialog_->windowTitle();
      disabledSeen +=
          !Ctl<QPushButton>("ctl1001")->isEnabled() && !Ctl<QPushButton>("ctl1013")->isEnabled();
      stopEnabledSeen += Ctl<QPushButton>("ctlStop")->isEnabled();
    };
    QTest::mouseClick(Ctl<QPushButton>("ctl1000"), Qt::LeftButton);
    QVERIFY(titles.contains(QStringLiteral("Kestrova[実行中..]")));
    QVERIFY(disabledSeen > 0 && stopEnabledSeen > 0);
    QVERIFY(statuses.contains(QStringLiteral("終了")));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Kestrova"));
    QVERIFY(Ctl<QPushButton>("ctl1001")->isEnabled());
    QVERIFY(!Ctl<QPushButton>("ctlStop")->isEnabled());
    // Two codes in one group, three sale and three rent search orders: six forms.
    QCOMPARE(Text("ctl1045"), QStringLiteral("6"));
    QProgressBar* progress = Ctl<QProgressBar>("ctlProgress");
    QCOMPARE(progress->maximum(), 6);
    QCOMPARE(progress->value(), 6);
    QVERIFY(Text("ctl1048").endsWith(QStringLiteral("円")));
    QCOMPARE(Text("ctl1009"), QStringLiteral("CSV情報を更新しました。"));
    QCOMPARE(Text("ctl1004"), QStringLiteral("2011/05/02"));  // the end date: fetched whole
    QVERIFY(desktop_->messages.isEmpty());
    QVERIFY(std::filesystem::exists(home_->native() + "/dat/TotalData.txt"));

    // The closed-deal search right after, in the same window.
    statuses.clear();
    QTest::mouseClick(Ctl<QPushButton>("ctl1001"), Qt::LeftButton);
    QVERIFY(statuses.contains(QStringLiteral("終了")));
    QVERIFY2(Text("ctl1009").startsWith(QStringLiteral("成約情報：0→")),
             qPrintable(Text("ctl1009")));
    QVERIFY(!Text("ctl1009").startsWith(QStringLiteral("成約情報：0→0 ")));
    QCOMPARE(Text("ctl1045"), QStringLiteral("12"));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Kestrova"));
  }

  void stopEndsTheRunAfterTheRequestInFlightAndKeepsWhatItFetched() {
    test::SimProcess sim;
    QVERIFY(sim.Start());
    WriteIni(test::SettingsFor(sim));
    Start("demo");
    desktop_->onPump = [&] {
      // The second form has gone out and its downloads are under way.
      QPushButton* stop = Ctl<QPushButton>("ctlStop");
      if (Text("ctl1045") == QStringLiteral("2") && stop->isEnabled()) stop->click();
    };
    QTest::mouseClick(Ctl<QPushButton>("ctl1000"), Qt::LeftButton);
    const QString log = Ctl<QPlainTextEdit>("ctl1010")->toPlainText();
    QVERIFY2(log.contains(QStringLiteral("中止しました（検索 2/6 件を送信済み）")),
             qPrintable(log));
    QVERIFY(log.contains(QStringLiteral("最終取得日付は更新していません（中止したため）")));
    QCOMPARE(Text("ctl1004"), QStringLiteral("2011/04/30"));
    QCOMPARE(Text("ctl1045"), QStringLiteral("2"));
    QCOMPARE(Text("ctl1009"), QStringLiteral("CSV情報を更新しました。"));  // rows merged
    QVERIFY(std::filesystem::file_size(home_->native() + "/dat/TotalData.txt") > 0);
    QVERIFY(!Ctl<QPushButton>("ctlStop")->isEnabled());
    QVERIFY(Ctl<QPushButton>("ctl1000")->isEnabled());
  }

  void closingDuringARunStopsItAndRunsTheCloseSequenceAfterIt() {
    test::SimProcess sim;
    QVERIFY(sim.Start());
    WriteIni(test::SettingsFor(sim));
    Start("demo");
    dialog_->show();
    desktop_->answers = {MessageAnswer::kNo, MessageAnswer::kYes};
    int closes = 0;
    QStringList countsInFileDuringRun;
    desktop_->onPump = [&] {
      if (Text("ctl1045") == QStringLiteral("1") && closes == 0) {
        ++closes;
        dialog_->close();  // "no": the run goes on
      } else if (Text("ctl1045") == QStringLiteral("3") && closes == 1) {
        ++closes;
        dialog_->close();  // "yes": stop, then close
      }
      countsInFileDuringRun << QString::fromStdString(IniValue("検索回数"));
    };
    QTest::mouseClick(Ctl<QPushButton>("ctl1000"), Qt::LeftButton);
    QCOMPARE(desktop_->messages.size(), 2);
    QCOMPARE(desktop_->messages[0], QStringLiteral("処理を実行中です。中止して終了しますか？"));
    QVERIFY(!dialog_->isVisible());
    const QString log = Ctl<QPlainTextEdit>("ctl1010")->toPlainText();
    QVERIFY2(log.contains(QStringLiteral("検索 3/6")), qPrintable(log));
    // The close sequence wrote the settings after the run: the counter of three forms is in.
    QCOMPARE(IniValue("検索回数"), std::string("3"));
    QCOMPARE(countsInFileDuringRun.filter(QStringLiteral("3")).size(), 0);
    QCOMPARE(IniValue("最終日付"), std::string("2011/04/30"));
  }

  void inputChecksStopTheCommandWithTheirMessage() {
    Start();
    QTest::mouseClick(Ctl<QPushButton>("ctl1000"), Qt::LeftButton);
    QTest::mouseClick(Ctl<QPushButton>("ctl1013"), Qt::LeftButton);
    QTest::mouseClick(Ctl<QPushButton>("ctl1043"), Qt::LeftButton);
    QCOMPARE(desktop_->messages,
             QStringList(3, QStringLiteral("規約に同意しないと利用できません")));
    desktop_->messages.clear();
    QTest::mouseClick(Ctl<QCheckBox>("ctl1036"), Qt::LeftButton, Qt::ControlModifier);
    QTest::mouseClick(Ctl<QPushButton>("ctl1051"), Qt::LeftButton);
    Ctl<QLineEdit>("ctl1005")->setText(QStringLiteral("27128"));
    QTest::mouseClick(Ctl<QPushButton>("ctl1000"), Qt::LeftButton);
    QCOMPARE(desktop_->messages, (QStringList{QStringLiteral("5桁の市町村コードを設定してください"),
                                              QStringLiteral("パスワードを設定してください")}));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Kestrova"));
  }

  void termsBoxTickedWithoutCtrlOpensTheTermsAndStaysClear() {
    Start();
    QCheckBox* terms = Ctl<QCheckBox>("ctl1036");
    QTest::mouseClick(terms, Qt::LeftButton);
    QVERIFY(!terms->isChecked());
    QCOMPARE(desktop_->messages, QStringList{QStringLiteral("利用規約は最後まで読んでください")});
    QCOMPARE(desktop_->opened.size(), 1);
    QVERIFY(desktop_->opened[0].endsWith(QStringLiteral("\\利用規約.txt")));
    QTest::mouseClick(terms, Qt::LeftButton, Qt::ControlModifier);
    QVERIFY(terms->isChecked());
    QCOMPARE(desktop_->messages.size(), 1);
    QTest::mouseClick(terms, Qt::LeftButton);  // clearing just clears
    QVERIFY(!terms->isChecked());
    QCOMPARE(desktop_->messages.size(), 1);
  }

  void leavingTheLocalSearchBringsTheMainWindowBackUntilItsOwnCloseBox() {
    StartWithLocalSearch();
    QStringList seen;
    // The search window is left by Escape in its key box, opened again and left by its close
    // box; each time the main window comes back and the program runs on.
    auto openAndLeave = [&](std::function<void(QWidget*)> leave) {
      QTimer::singleShot(200, [&, leave] {
        QWidget* search = OpenWindowNamed(QStringLiteral("SearchDialog"));
        seen << (search != nullptr && !dialog_->isVisible() ? u"search"_s : u"no search"_s);
        if (search != nullptr) leave(search);
      });
      QTest::mouseClick(Ctl<QPushButton>("ctl1013"), Qt::LeftButton);
    };
    QTimer::singleShot(0, [&] {
      openAndLeave([](QWidget* search) {
        QLineEdit* key = search->findChild<QLineEdit*>(QStringLiteral("ctlKey1_1"));
        QTest::keyClick(key, Qt::Key_Escape);
      });
      seen << (dialog_->isVisible() ? u"main"_s : u"no main"_s);
      QTimer::singleShot(100, [&] {
        openAndLeave([](QWidget* search) { search->close(); });
        seen << (dialog_->isVisible() ? u"main"_s : u"no main"_s);
        QTimer::singleShot(100, [&] {
          seen << u"running"_s;
          QCOMPARE(IniValue("最終日付"), std::string());  // no close yet
          QVERIFY(Exists("/Tmp/kestrova.running"));
          dialog_->close();
        });
      });
    });
    QVERIFY(RunMainWindow());
    QCOMPARE(seen, (QStringList{u"search"_s, u"main"_s, u"search"_s, u"main"_s, u"running"_s}));
    QVERIFY(!dialog_->isVisible());
    // The close sequence ran: settings written, the running flag gone.
    QCOMPARE(IniValue("同意"), std::string("1"));
    QVERIFY(!Exists("/Tmp/kestrova.running"));
  }

  void stopSignalClosesTheLocalSearchAndRunsTheCloseSequence() {
    StopSignalWhileOpen("ctl1013", u"SearchDialog"_s);
  }
  void stopSignalClosesTheCodeLookupAndRunsTheCloseSequence() {
    StopSignalWhileOpen("ctl1054", u"codeLookup"_s);
  }
  void stopSignalClosesTheMaintenanceWindowAndRunsTheCloseSequence() {
    StopSignalWhileOpen("ctl1043", u"maintenance"_s);
  }

  void refusedRunShowsNoRunningStateAndNamesItsReason() {
    Start();
    QStringList titles;
    int stopEnabled = 0;
    desktop_->onMessage = [&] {
      titles << dialog_->windowTitle();
      stopEnabled += Ctl<QPushButton>("ctlStop")->isEnabled();
    };
    QTest::mouseClick(Ctl<QPushButton>("ctl1000"), Qt::LeftButton);  // terms not agreed
    QTest::mouseClick(Ctl<QCheckBox>("ctl1036"), Qt::LeftButton, Qt::ControlModifier);
    QTest::mouseClick(Ctl<QPushButton>("ctl1001"), Qt::LeftButton);  // no codes
    QCOMPARE(desktop_->messages, (QStringList{u"規約に同意しないと利用できません"_s,
                                              u"5桁の市町村コードを設定してください"_s}));
    QCOMPARE(titles, QStringList(2, u"Kestrova"_s));
    QCOMPARE(stopEnabled, 0);
    QVERIFY2(!Ctl<QPlainTextEdit>("ctl1010")->toPlainText().contains(u"入力エラー"_s),
             qPrintable(Ctl<QPlainTextEdit>("ctl1010")->toPlainText()));
  }

  void termsRuleHoldsForTheSpaceKeyAndTheAccessibilityToggle() {
    Start();
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    QCheckBox* terms = Ctl<QCheckBox>("ctl1036");
    terms->setFocus();
    QTest::keyClick(terms, Qt::Key_Space);
    QVERIFY(!terms->isChecked());
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(terms);
    QVERIFY(accessible != nullptr && accessible->actionInterface() != nullptr);
    accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(!terms->isChecked());
    QCOMPARE(desktop_->messages, QStringList(2, u"利用規約は最後まで読んでください"_s));
    QCOMPARE(desktop_->opened.size(), 2);
    // Nothing ticked it: the close keeps 同意=0.
    QVERIFY(dialog_->close());
    QCOMPARE(IniValue("同意"), std::string("0"));
  }

  void tabWalksEveryControlInTheOrderOfTheWindow() {
    Start();
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    Ctl<QLineEdit>("ctl1002")->setFocus();
    QStringList walk;
    for (int i = 0;
         i < 40 && (walk.isEmpty() || QApplication::focusWidget() != Ctl<QLineEdit>("ctl1002"));
         ++i) {
      walk << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Row by row as the window shows them; 中止 waits, disabled, for a run.
    const QStringList rows = {
        u"ctl1002 ctl1008 ctl1003 ctl1014 ctl1004 ctl1058 ctl1005 ctl1054 ctl1007 ctl1006"_s,
        u"ctl1011 ctl1012 ctl1026 ctl1050 ctl1025 ctl1000 ctl1001 ctl1051"_s,
        u"ctl1045 ctl1034 ctl1048 ctl1009 ctl1010 ctl1036 ctl1013 ctl1043 ctl1046"_s};
    QCOMPARE(walk.join(u' '), rows.join(u' '));
  }

  void datePresetsFollowTheClock() {
    WriteIni("[設定]\n最終日付=2011/04/20\n");
    Start();
    QTest::mouseClick(Ctl<QPushButton>("ctl1008"), Qt::LeftButton);
    QCOMPARE(Text("ctl1002"), QStringLiteral("2011/04/21"));
    QCOMPARE(Text("ctl1003"), QStringLiteral("2011/05/07"));
    QTest::mouseClick(Ctl<QPushButton>("ctl1014"), Qt::LeftButton);
    QCOMPARE(Text("ctl1002"), QStringLiteral("2011/04/20"));
    QCOMPARE(Text("ctl1003"), QStringLiteral("2011/05/08"));
  }

  void escapeDoesNothingAndTheCloseBoxRunsTheCloseSequence() {
    Start();
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    Ctl<QLineEdit>("ctl1005")->setFocus();
    QTest::keyClicks(Ctl<QLineEdit>("ctl1005"), QStringLiteral("27128"));
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    QVERIFY(dialog_->isVisible());
    QVERIFY(!std::filesystem::exists(home_->native() + "/kestrova.ini"));
    QVERIFY(dialog_->close());
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(IniValue("市町村コード"), std::string("27128"));
  }

  void enterPressesTheDefaultButton() {
    Start();
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    Ctl<QLineEdit>("ctl1005")->setFocus();
    QTest::keyClick(Ctl<QLineEdit>("ctl1005"), Qt::Key_Return);
    // 1013 refuses without the terms: the default button ran.
    QCOMPARE(desktop_->messages, QStringList{QStringLiteral("規約に同意しないと利用できません")});
    QVERIFY(dialog_->isVisible());
  }

  void missingLoginIdIsAskedForAndRemembered() {
    QString title, prompt;
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      title = modal->windowTitle();
      prompt = modal->findChild<QLabel*>(QStringLiteral("ctlPrompt"))->text();
      QTest::keyClicks(modal->findChild<QLineEdit*>(QStringLiteral("ctlValue")),
                       QStringLiteral("87654321"));
      QTest::keyClick(modal->findChild<QLineEdit*>(QStringLiteral("ctlValue")), Qt::Key_Return);
    });
    Start("");
    QCOMPARE(title, QStringLiteral("入力"));
    QCOMPARE(prompt.count(QLatin1Char('\n')), 1);  // two lines
    QCOMPARE(Text("ctl1007"), QStringLiteral("87654321"));
    QCOMPARE(test::ReadNative(home_->native() + "/dat/LoginId.txt"), std::string("87654321\r\n"));
  }

  void aboutComesFromTheButtonAndShowsTheVersion() {
    Start();
    QString version;
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      version = modal->findChild<QLabel*>(QStringLiteral("ctlVersion"))->text();
      modal->findChild<QPushButton*>(QStringLiteral("ctlPicture"))->click();
      modal->findChild<QPushButton*>(QStringLiteral("ctlClose"))->click();
    });
    QTest::mouseClick(Ctl<QPushButton>("ctl1046"), Qt::LeftButton);
    QVERIFY2(version.startsWith(QStringLiteral("Kestrova 0.1 (commit ")), qPrintable(version));
    QCOMPARE(desktop_->opened.size(), 1);
    QVERIFY(desktop_->opened[0].endsWith(QStringLiteral("README.md")));
  }

  void rightClickMenuOpensTheScheduleBesideTheAbout() {
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home_->native() + "/config"));
    std::filesystem::create_directories(home_->native() + "/Log");
    test::WriteNative(home_->native() + "/Log/RunHistory.txt",
                      "2011/05/08 07:30:00\t2011/05/08 07:31:00\tdaily\t1\t0\t0\t0\t0\t0\t0\t0\t1"
                      "\t0\t0\r\n");
    Start();
    QStringList entries;
    QString title, last;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (QAction* action : menu->actions()) entries << action->objectName();
      // The dialog is modal inside the menu's choice: read it once it is up, then cancel.
      QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        title = modal->windowTitle();
        last = modal->findChild<QLineEdit*>(QStringLiteral("scheduleLast"))->text();
        modal->findChild<QDialogButtonBox*>(QStringLiteral("scheduleButtons"))
            ->button(QDialogButtonBox::Cancel)
            ->click();
      });
      menu->setActiveAction(menu->actions().value(1));
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20),
                            dialog_->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(dialog_.get(), &click);
    QCOMPARE(entries, (QStringList{QStringLiteral("menuAbout"), QStringLiteral("menuSchedule")}));
    QCOMPARE(title, QStringLiteral("自動取得の設定"));
    QVERIFY2(last.startsWith(QStringLiteral(u"2011/05/08 07:30:00 daily 終了コード 1")),
             qPrintable(last));
    qunsetenv("XDG_CONFIG_HOME");
  }
};

QTEST_MAIN(MainWindowDialogTest)
#include "main_window_dialog_test.moc"
