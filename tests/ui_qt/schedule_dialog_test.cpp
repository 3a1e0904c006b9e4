// The schedule dialog driven through its widgets over a recording scheduler: it shows what is
// set with the next and the last run, OK sets or removes as the command line does, and a
// failure is said and keeps the dialog open.
#include "ui/qt/schedule_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "foundation/dates.h"
#include "foundation/environment.h"
#include "foundation/sjis.h"
#include "store/program_state.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/temp_folder.h"

using namespace kestrova;

namespace {

struct RecordingScheduler final : Scheduler {
  ScheduleState state;
  std::vector<ScheduleRequest> set;
  std::vector<std::string> removed;
  bool fails = false;
  bool Set(const ScheduleRequest& request, std::string& message) override {
    set.push_back(request);
    message = SJIS("ユーザーの systemd が応答しないため");
    return !fails;
  }
  bool Remove(const std::string& home, std::string& message) override {
    removed.push_back(home);
    message.clear();
    return !fails;
  }
  ScheduleState Read(const std::string&) override { return state; }
};

}  // namespace

class ScheduleDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> home_;
  std::unique_ptr<ProgramState> state_;
  test::ScriptedDesktop desktop_;
  FixedClock clock_{"2026/12/10 08:00:00"};
  RecordingScheduler scheduler_;

  template <typename T>
  static T* Child(QDialog& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no control %s", name);
    return child;
  }
  // A box spans its form row; its indicator is at the left.
  static void Tick(QDialog& dialog, const char* name) {
    QCheckBox* box = Child<QCheckBox>(dialog, name);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  }
  static void Ok(QDialog& dialog) {
    QTest::mouseClick(
        Child<QDialogButtonBox>(dialog, "scheduleButtons")->button(QDialogButtonBox::Ok),
        Qt::LeftButton);
  }

 private slots:
  void init() {
    home_ = std::make_unique<test::TempFolder>();
    state_ = std::make_unique<ProgramState>();
    state_->environment.SetId(kEnvProgramFolder, home_->path());
    state_->clock = &clock_;
    state_->desktop = &desktop_;
    scheduler_ = RecordingScheduler();
    desktop_.messages.clear();
  }

  void ShowsWhatIsSetThenTurnsItOff() {
    scheduler_.state = {true, "07:30", true};
    std::filesystem::create_directories(home_->native() + "/Log");
    test::WriteNative(home_->native() + "/Log/RunHistory.txt",
                      "2026/12/10 07:30:00\t2026/12/10 07:31:00\tdaily --deals\t0\t10\t58\t48\t48\t"
                      "20\t0\t33\t0\t0\t0\r\n");
    ScheduleDialog dialog(*state_, scheduler_, "demo");
    dialog.show();
    QVERIFY(Child<QCheckBox>(dialog, "scheduleOn")->isChecked());
    QCOMPARE(Child<QLineEdit>(dialog, "scheduleTime")->text(), QStringLiteral("07:30"));
    QVERIFY(Child<QCheckBox>(dialog, "scheduleDeals")->isChecked());
    QCOMPARE(Child<QLineEdit>(dialog, "scheduleNext")->text(), QStringLiteral("2026/12/11 07:30"));
    QCOMPARE(Child<QLineEdit>(dialog, "scheduleLast")->text(),
             QStringLiteral(
                 u"2026/12/10 07:30:00 daily --deals 終了コード 0：新着 48 件、成約 0→33 件"));

    Tick(dialog, "scheduleOn");
    Ok(dialog);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(scheduler_.removed.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(scheduler_.removed[0]),
             QString::fromStdString(home_->native()));
    QCOMPARE(scheduler_.set.size(), std::size_t{0});
  }

  void OkSetsTheTimeAndAFailureKeepsTheDialogOpen() {
    ScheduleDialog dialog(*state_, scheduler_, "demo");
    dialog.show();
    QVERIFY(!Child<QCheckBox>(dialog, "scheduleOn")->isChecked());
    QCOMPARE(Child<QLineEdit>(dialog, "scheduleNext")->text(), QString());
    Tick(dialog, "scheduleOn");
    auto* time = Child<QLineEdit>(dialog, "scheduleTime");
    time->selectAll();
    QTest::keyClicks(time, QStringLiteral("0615"));
    Tick(dialog, "scheduleDeals");
    scheduler_.fails = true;
    Ok(dialog);
    QVERIFY(dialog.isVisible());
    QCOMPARE(desktop_.messages.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(Utf8(desktop_.messages[0].text)),
             QStringLiteral(u"ユーザーの systemd が応答しないため"));

    scheduler_.fails = false;
    Ok(dialog);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(scheduler_.set.size(), std::size_t{2});
    const ScheduleRequest& request = scheduler_.set.back();
    QCOMPARE(request.time, std::string("06:15"));
    QVERIFY(request.deals);
    QCOMPARE(request.loginId, std::string("demo"));
    QCOMPARE(request.home, home_->native());
    QCOMPARE(request.program, ScheduledProgram());
  }
};

QTEST_MAIN(ScheduleDialogTest)
#include "schedule_dialog_test.moc"
