// The maintenance dialog driven through its widgets: presets and the close box, Escape, Enter, and
// an operation run from its button with the boxes the user cleared.
#include "ui/qt/maintenance_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "store/program_state.h"
#include "tests/support/temp_folder.h"

using namespace kestrova;

class MaintenanceDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> home_;
  std::unique_ptr<ProgramState> state_;

  template <typename T>
  static T* Child(QDialog& dialog, int id) {
    T* child = dialog.findChild<T*>(QStringLiteral("ctl%1").arg(id));
    if (child == nullptr) qFatal("no control %d", id);
    return child;
  }
  std::string Setting(const SettingKey& key) { return std::string(state_->settings.GetView(key)); }

 private slots:
  void init() {
    home_ = std::make_unique<test::TempFolder>();
    state_ = std::make_unique<ProgramState>();
    state_->environment.SetId(kEnvProgramFolder, home_->path());
    state_->settings.Set(keys::kSaleOrder, "1,1,1,4;1,1,3,5;1,1,2,");
    state_->settings.Set(keys::kRentOrder, "1,3,1,4;1,3,3,5;1,3,2,");
    state_->settings.Set(keys::kRetentionMonths, "12");
  }

  void PresetThenCloseBoxStoresAndEscapeStoresNothing() {
    {
      MaintenanceDialog dialog(*state_);
      dialog.show();
      QCOMPARE(dialog.windowTitle(), QStringLiteral(u"ﾒﾝﾃﾅﾝｽ"));
      QTest::mouseClick(Child<QPushButton>(dialog, 1008), Qt::LeftButton);
      QCOMPARE(Child<QLineEdit>(dialog, 1059)->text(), QStringLiteral("1,1,1,3;1,1,2,"));
      QTest::keyClick(Child<QLineEdit>(dialog, 1059), Qt::Key_Escape);
      QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(Setting(keys::kSaleOrder), std::string("1,1,1,4;1,1,3,5;1,1,2,"));

    MaintenanceDialog dialog(*state_);
    dialog.show();
    QTest::mouseClick(Child<QPushButton>(dialog, 1011), Qt::LeftButton);
    auto* retention = Child<QLineEdit>(dialog, 1033);
    retention->selectAll();
    QTest::keyClicks(retention, QStringLiteral("24"));
    auto* split = Child<QCheckBox>(dialog, 1060);
    QVERIFY(split->isChecked());  // no setting yet: splitting is on
    QTest::mouseClick(split, Qt::LeftButton);
    dialog.close();
    QCOMPARE(Setting(keys::kRentOrder), std::string("1,3,1,3;1,3,2,"));
    QCOMPARE(Setting(keys::kRetentionMonths), std::string("24"));
    QCOMPARE(Setting(keys::kSplitOnCut), std::string("0"));
    MaintenanceDialog again(*state_);
    QVERIFY(!Child<QCheckBox>(again, 1060)->isChecked());
  }

  void EnterKeepsWhatWasTypedAsTheCloseBoxDoes() {
    MaintenanceDialog dialog(*state_);
    dialog.show();
    auto* retention = Child<QLineEdit>(dialog, 1033);
    retention->selectAll();
    QTest::keyClicks(retention, QStringLiteral("36"));
    auto* sale = Child<QLineEdit>(dialog, 1059);
    sale->selectAll();
    QTest::keyClicks(sale, QStringLiteral("1,1,1,4;"));
    QTest::keyClick(sale, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Setting(keys::kRetentionMonths), std::string("36"));
    QCOMPARE(Setting(keys::kSaleOrder), std::string("1,1,1,4;"));
  }

  void TabWalksEveryControlInTheOrderOfTheWindow() {
    MaintenanceDialog dialog(*state_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QWidget* first = Child<QPushButton>(dialog, 1000);
    first->setFocus();
    QStringList walk;
    for (int i = 0; i < 30 && (walk.isEmpty() || QApplication::focusWidget() != first); ++i) {
      walk << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walk.join(u' '),
             QStringLiteral("ctl1000 ctl1001 ctl1002 ctl1055 ctl1056 ctl1013 ctl1033 ctl1059 "
                            "ctl1008 ctl1010 ctl1035 ctl1011 ctl1012 ctl1060 ctl1009"));
  }

  void DeletionWithTheBoxesClearedKeepsEveryFile() {
    std::filesystem::create_directories(home_->native() + "/Log");
    std::ofstream(home_->native() + "/Log/a.html") << "x";
    MaintenanceDialog dialog(*state_);
    dialog.show();
    for (int id : {1055, 1056, 1013}) {
      QVERIFY(Child<QCheckBox>(dialog, id)->isChecked());
      QTest::mouseClick(Child<QCheckBox>(dialog, id), Qt::LeftButton);
    }
    QTest::mouseClick(Child<QPushButton>(dialog, 1002), Qt::LeftButton);
    QCOMPARE(Child<QLineEdit>(dialog, 1009)->text(), QStringLiteral(u"ﾛｸﾞを削除しました(0件)"));
    QVERIFY(std::filesystem::exists(home_->native() + "/Log/a.html"));

    QTest::mouseClick(Child<QCheckBox>(dialog, 1013), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(dialog, 1002), Qt::LeftButton);
    QCOMPARE(Child<QLineEdit>(dialog, 1009)->text(), QStringLiteral(u"ﾛｸﾞを削除しました(1件)"));
    QVERIFY(!std::filesystem::exists(home_->native() + "/Log/a.html"));
  }
};

QTEST_MAIN(MaintenanceDialogTest)
#include "maintenance_dialog_test.moc"
