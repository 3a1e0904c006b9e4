// The code lookup dialog driven through its widgets: the first search at opening, typing and
// Enter, a double-click on two selected rows, the close box storing and Escape not storing.
#include "ui/qt/code_lookup_dialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "store/program_state.h"
#include "tests/support/temp_folder.h"

using namespace kestrova;

class CodeLookupDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> home_;
  std::unique_ptr<ProgramState> state_;

  template <typename T>
  static T* Child(QDialog& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no control %s", name);
    return child;
  }

 private slots:
  void init() {
    home_ = std::make_unique<test::TempFolder>();
    state_ = std::make_unique<ProgramState>();
    state_->environment.SetId(kEnvProgramFolder, home_->path());
    std::filesystem::create_directories(home_->native() + "/Setting");
    std::ofstream(home_->native() + "/Setting/zip_code.txt", std::ios::binary) << Sjis(
        "27128\t大阪府\t大阪市中央区\tおおさかしちゅうおうく\r\n"
        "27111\t大阪府\t堺市堺区\tさかいしさかいく\r\n"
        "13101\t東京都\t千代田区\tちよだく\r\n");
    state_->settings.Set(keys::kLookupPrefecture, Sjis("大阪府"));
    state_->settings.Set(keys::kMunicipalityCodes, "13101");
  }

  void ClosedAndOpenedAgainItStandsWhereItStoodAndDamageOpensOnTheScreen() {
    state_->settings.Set(keys::kLookupPlacement, "40,30,500,540");
    for (int round = 0; round < 2; ++round) {
      CodeLookupDialog dialog(*state_);
      dialog.Open();
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      QCOMPARE(dialog.frameGeometry(), QRect(40, 30, 500, 540));
      dialog.close();
      QCOMPARE(std::string(state_->settings.GetView(keys::kLookupPlacement)),
               std::string("40,30,500,540"));
    }
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* damaged :
         {"99999999,99999999,99999999,99999999", "5000,5000,500,540", "118,128,3,3"}) {
      state_->settings.Set(keys::kLookupPlacement, damaged);
      CodeLookupDialog dialog(*state_);
      dialog.Open();
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      // The default, "482,248,483,536", does not fit an 800x600 screen: it is moved into it.
      QVERIFY2(screen.contains(dialog.frameGeometry()), damaged);
      QCOMPARE(dialog.frameGeometry().size(), QSize(483, 536));
    }
  }

  void TabWalksEveryControlInTheOrderOfTheWindow() {
    CodeLookupDialog dialog(*state_);
    dialog.Open();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QWidget* first = Child<QWidget>(dialog, "prefecture");
    first->setFocus();
    QStringList walk;
    for (int i = 0; i < 20 && (walk.isEmpty() || QApplication::focusWidget() != first); ++i) {
      walk << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walk.join(u' '), QStringLiteral("prefecture search municipality names codes results"));
  }

  void EnterSearchesAndDoubleClickAddsTheSelectedCodes() {
    CodeLookupDialog dialog(*state_);
    dialog.Open();
    dialog.show();
    auto* list = Child<QTableView>(dialog, "results");
    QCOMPARE(list->model()->rowCount(), 2);
    QCOMPARE(list->model()->data(list->model()->index(1, 2)).toString(),
             QStringLiteral(u"堺市堺区"));

    auto* municipality = Child<QLineEdit>(dialog, "municipality");
    municipality->setFocus();
    municipality->insert(QStringLiteral(u"さかい"));  // typed through the input method
    QTest::keyClick(municipality, Qt::Key_Return);
    QCOMPARE(list->model()->rowCount(), 1);
    QVERIFY(dialog.isVisible());  // Enter searched; it did not end the dialog

    municipality->clear();
    QTest::keyClick(municipality, Qt::Key_Return);
    QCOMPARE(list->model()->rowCount(), 2);
    auto center = [list](int row) {
      return list->visualRect(list->model()->index(row, 0)).center();
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, center(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, center(1));
    QCOMPARE(list->selectionModel()->selectedRows().size(), 2);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, center(1));
    QCOMPARE(Child<QLineEdit>(dialog, "codes")->text(), QStringLiteral("13101,27128,27111"));
    QCOMPARE(Child<QPlainTextEdit>(dialog, "names")->toPlainText(),
             QStringLiteral(u"千代田区(13101),大阪市中央区(27128),堺市堺区(27111),"));

    dialog.close();  // the close box stores the list
    QCOMPARE(
        QString::fromStdString(std::string(state_->settings.GetView(keys::kMunicipalityCodes))),
        QStringLiteral("13101,27128,27111"));
    QVERIFY(!state_->settings.GetView(keys::kLookupPlacement).empty());
  }

  void EscapeLeavesWithoutStoring() {
    CodeLookupDialog dialog(*state_);
    dialog.Open();
    dialog.show();
    auto* codes = Child<QLineEdit>(dialog, "codes");
    codes->setText(QStringLiteral("99999"));
    QTest::keyClick(codes, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(std::string(state_->settings.GetView(keys::kMunicipalityCodes)), std::string("13101"));
  }
};

QTEST_MAIN(CodeLookupDialogTest)
#include "code_lookup_dialog_test.moc"
