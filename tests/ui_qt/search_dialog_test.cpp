// The local search window driven through its widgets over a small hand-made management file:
// Enter, a radio click and a key-list choice search; a heading clicked twice reverses; the
// double-click action and the row menu run on every selected row; クリア and ★再読込; close box
// and Escape.
#include "ui/qt/search_dialog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "foundation/environment.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "store/program_state.h"
#include "tests/support/cp932_text.h"
#include "tests/support/scripted_desktop.h"
#include "tests/support/temp_folder.h"
#include "ui/default_settings.h"

using namespace kestrova;
using namespace Qt::StringLiterals;

namespace {

// Number, date, type, plan, price (N), location, station.
const char kLayout[] =
    "!区切り=,\n!ヘッダ空行=2\n物件番号\tS\t物件番号\n更新年月日\tD\t更新日\n物件種別\tS\t種別\n"
    "図面\tS\t図面\n価格\tN\t価格\n$所在地$\tS\t所在地\n$駅$\tS\t駅\n";
const char kCurrent[] =
    "\"物件番号\",\"更新日\",\"種別\",\"図面\",\"価格\",\"所在地\",\"駅\",\n\n\n"
    "\"1001\",\"2011/05/01\",\"11売り・土地\",\"有\",1500,\"大阪市中央区本町\",\"本町\",\n"
    "\"1002\",\"2011/05/03\",\"21賃貸・土地\",\"無\",8.50,\"大阪市浪速区難波\",\"難波\",\n"
    "\"1003\",\"2011/05/05\",\"13売り・一戸建\",\"有\",980,\"堺市堺区\",\"堺\",\n"
    "\"1004\",\"2011/05/"
    "07\",\"22賃貸・マンション\",\"有\",12,\"大阪市中央区谷町\",\"谷町四丁目\",\n";

}  // namespace

class SearchDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> home_;
  std::unique_ptr<ProgramState> state_;
  std::unique_ptr<test::ScriptedDesktop> desktop_;

  template <typename T>
  static T* Child(QDialog& dialog, const QString& name) {
    T* child = dialog.findChild<T*>(name);
    if (child == nullptr) qFatal("no control %s", qPrintable(name));
    return child;
  }
  void Write(const std::string& relative, const char* utf8) {
    const std::string path = home_->native() + "/" + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << test::Cp932Lines(utf8);
  }
  // The first cells of the rows shown, top to bottom.
  static QStringList Numbers(QTableView* list) {
    QStringList numbers;
    for (int row = 0; row < list->model()->rowCount(); ++row)
      numbers << list->model()->index(row, 0).data().toString();
    return numbers;
  }
  static void RightClick(QTableView* list, const QPoint& at) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &event);
  }
  static QPoint RowCenter(QTableView* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
  }

 private slots:
  void init() {
    home_ = std::make_unique<test::TempFolder>();
    state_ = std::make_unique<ProgramState>();
    state_->environment.SetId(kEnvProgramFolder, home_->path());
    desktop_ = std::make_unique<test::ScriptedDesktop>();
    state_->desktop = desktop_.get();
    ApplyDefaultSettings(state_->settings, state_->environment);
    state_->settings.Set(keys::kSearchType, "2");
    state_->kanriLayout.LoadFromText(test::Cp932Lines(kLayout));
    Write("csv_total/TotalData_kanri_csvdata.csv", kCurrent);
    Write("Setting/UserFindKeyList1.txt", "# 地域\n難波|谷町\n本町\n");
  }

  void EnterRadioAndKeyListChoiceSearch() {
    SearchDialog dialog(*state_);
    QVERIFY(dialog.Open());
    dialog.show();
    auto* list = Child<QTableView>(dialog, QStringLiteral("ctlResults"));
    QCOMPARE(Numbers(list), QStringList({"1001", "1002", "1003", "1004"}));
    QCOMPARE(dialog.windowTitle(), QStringLiteral(u"Kestrova-検索(4/4)"));
    // "8.50" shows as it stands (no ".00" ends it); the N column is right-aligned.
    QCOMPARE(list->model()->index(1, 4).data().toString(), QStringLiteral("8.50"));
    QCOMPARE(list->model()->index(1, 4).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                 Qt::AlignRight,
             Qt::AlignRight);

    auto* key = Child<QLineEdit>(dialog, QStringLiteral("ctlKey1_1"));
    QCOMPARE(key->accessibleName(), QStringLiteral(u"検索キー 1-1"));
    key->setFocus();
    key->insert(QStringLiteral(u"中央区"));
    QTest::keyClick(key, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(Numbers(list), QStringList({"1001", "1004"}));
    QCOMPARE(dialog.windowTitle(), QStringLiteral(u"Kestrova-検索(2/4)"));

    QTest::mouseClick(Child<QAbstractButton>(dialog, QStringLiteral("ctlType1")), Qt::LeftButton);
    QCOMPARE(Numbers(list), QStringList({"1004"}));
    QTest::mouseClick(Child<QAbstractButton>(dialog, QStringLiteral("ctlType2")), Qt::LeftButton);
    QCOMPARE(Numbers(list), QStringList({"1001", "1004"}));

    auto* keyList = Child<QComboBox>(dialog, QStringLiteral("ctlKeyList1"));
    QCOMPARE(keyList->count(), 3);  // すべて and the two entries; the comment is left out
    QTest::keyClick(keyList, Qt::Key_Down);
    QCOMPARE(keyList->currentText(), QStringLiteral(u"難波|谷町"));
    QCOMPARE(Numbers(list), QStringList({"1004"}));

    // ★再読込 takes the edited file and returns to すべて without searching.
    Write("Setting/UserFindKeyList1.txt", "難波|谷町\n本町\n堺\n");
    QTest::mouseClick(Child<QAbstractButton>(dialog, QStringLiteral("ctl1023")), Qt::LeftButton);
    QCOMPARE(keyList->count(), 4);
    QCOMPARE(keyList->currentIndex(), 0);
    QCOMPARE(Numbers(list), QStringList({"1004"}));

    // クリア empties the keys and searches; the radio groups stay.
    QTest::mouseClick(Child<QAbstractButton>(dialog, QStringLiteral("ctl1001")), Qt::LeftButton);
    QCOMPARE(key->text(), QString());
    QCOMPARE(Numbers(list), QStringList({"1001", "1002", "1003", "1004"}));

    dialog.close();  // the close box keeps the placement and the widths
    QVERIFY(!state_->settings.GetView(keys::kSearchPlacement).empty());
    const std::string widths(state_->settings.GetView(keys::kSearchColumnWidths));
    QCOMPARE(std::count(widths.begin(), widths.end(), ','), std::ptrdiff_t{6});  // seven columns
  }

  void HeadingTwiceReversesAndDoubleClickAndMenuActOnEverySelectedRow() {
    SearchDialog dialog(*state_);
    QVERIFY(dialog.Open());
    dialog.show();
    auto* list = Child<QTableView>(dialog, QStringLiteral("ctlResults"));
    QHeaderView* header = list->horizontalHeader();
    const QPoint price(header->sectionViewportPosition(4) + 10, header->height() / 2);
    QVERIFY(!header->isSortIndicatorShown());  // file order
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, price);
    QCOMPARE(Numbers(list), QStringList({"1002", "1004", "1003", "1001"}));  // 8, 12, 980, 1500
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), 4);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, price);
    QCOMPARE(Numbers(list), QStringList({"1001", "1003", "1004", "1002"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // A sort keeps the records selected, wherever they move.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCenter(list, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCenter(list, 2));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, price);
    QCOMPARE(Numbers(list), QStringList({"1002", "1004", "1003", "1001"}));
    QStringList selected;
    for (const QModelIndex& row : list->selectionModel()->selectedRows())
      selected << list->model()->index(row.row(), 0).data().toString();
    selected.sort();
    QCOMPARE(selected, QStringList({"1001", "1004"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, price);

    auto* action = Child<QComboBox>(dialog, QStringLiteral("ctlDoubleClick"));
    action->setCurrentIndex(static_cast<int>(ResultAction::kCopyInfoToClipboard));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCenter(list, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCenter(list, 2));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCenter(list, 2));
    QCOMPARE(desktop_->clipboard.size(), std::size_t{1});
    // Below the last row: the click keeps the selection and the double-click acts on it.
    const QPoint below(RowCenter(list, 0).x(), list->viewport()->height() - 5);
    QVERIFY(!list->indexAt(below).isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(desktop_->clipboard.size(), std::size_t{2});
    QCOMPARE(desktop_->clipboard[1], desktop_->clipboard[0]);
    desktop_->clipboard.pop_back();
    QCOMPARE(
        QString::fromStdString(Utf8(desktop_->clipboard[0])),
        QStringLiteral(u"1001\t2011/05/01\t11売り・土地\t有\t1500\t大阪市中央区本町\t本町\t\r\n"
                       u"1004\t2011/05/07\t22賃貸・マンション\t有\t12\t大阪市中央区谷町\t谷町"
                       u"四丁目\t\r\n"));

    // The right-button menu lists the six actions in order; its clipboard entry copies the same
    // rows. With nothing selected no menu opens.
    QStringList entries;
    QTimer::singleShot(0, &dialog, [&entries] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (QAction* entry : menu->actions()) entries << entry->text();
      menu->setActiveAction(menu->actions().value(2));
      QTest::keyClick(menu, Qt::Key_Return);
    });
    RightClick(list, RowCenter(list, 2));
    QCOMPARE(entries,
             QStringList({u"PDFを開く"_s, u"PDFをﾃﾞｽｸﾄｯﾌﾟへCopy"_s, u"情報をクリップボードへCopy"_s,
                          u"詳細HTMLを開く"_s, u"互換CSV出力"_s, u"所在地を開く"_s}));
    QCOMPARE(desktop_->clipboard.size(), std::size_t{2});
    QCOMPARE(desktop_->clipboard[1], desktop_->clipboard[0]);
    list->clearSelection();
    RightClick(list, QPoint(5, list->viewport()->height() - 5));
    QVERIFY(QApplication::activePopupWidget() == nullptr);
  }

  void ListsAreNamedByTheirLabelsAndTabReachesEveryControl() {
    SearchDialog dialog(*state_);
    QVERIFY(dialog.Open());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    for (int i = 1; i <= 3; ++i) {
      auto* box = Child<QComboBox>(dialog, QStringLiteral("ctlKeyList%1").arg(i));
      QLabel* label = nullptr;
      for (QLabel* l : dialog.findChildren<QLabel*>()) {
        if (l->buddy() == box) label = l;
      }
      QVERIFY(label != nullptr && label->isVisible());
      QCOMPARE(label->text(), box->accessibleName());
      // What a screen reader names the list by: the label that labels it (on Linux the name
      // of a drop-down is its selection, "すべて"; the name comes from this relation).
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
      QAccessibleInterface* labelling = nullptr;
      for (const auto& [other, relation] : accessible->relations(QAccessible::Label))
        labelling = other;
      QVERIFY(labelling != nullptr);
      QCOMPARE(labelling->object(), static_cast<QObject*>(label));
    }
    QWidget* first = Child<QLineEdit>(dialog, QStringLiteral("ctlKey1_1"));
    first->setFocus();
    QList<QWidget*> walk;
    for (int i = 0; i < 80 && (walk.isEmpty() || QApplication::focusWidget() != first); ++i) {
      walk << QApplication::focusWidget();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), first);
    // Every control but the radio buttons a group leaves unchecked, once each; the keys row by
    // row first, the result list last.
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
      auto* radio = qobject_cast<QAbstractButton*>(control);
      const bool skipped = radio != nullptr && radio->autoExclusive() && !radio->isChecked();
      if (!control->objectName().startsWith(u"ctl"_s) || !(control->focusPolicy() & Qt::TabFocus) ||
          skipped)
        continue;
      QVERIFY2(walk.count(control) == 1, qPrintable(control->objectName()));
    }
    QCOMPARE(walk[1]->objectName(), u"ctlKey2_1"_s);
    QCOMPARE(walk[3]->objectName(), u"ctlKey1_2"_s);
    QCOMPARE(walk.last()->objectName(), u"ctlResults"_s);
  }

  void EscapeLeavesWithoutPlacementAndAnEmptyStoreOpensNothing() {
    {
      SearchDialog dialog(*state_);
      QVERIFY(dialog.Open());
      dialog.show();
      QTest::keyClick(Child<QLineEdit>(dialog, QStringLiteral("ctlKey2_3")), Qt::Key_Escape);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(std::string(state_->settings.GetView(keys::kSearchPlacement)),
               std::string("118,128,1103,714"));
    }
    Write("csv_total/TotalData_kanri_csvdata.csv", "\"物件番号\",\n\n\n");
    SearchDialog dialog(*state_);
    QVERIFY(!dialog.Open());
    QCOMPARE(desktop_->Texts().size(), std::size_t{1});
  }
};

QTEST_MAIN(SearchDialogTest)
#include "search_dialog_test.moc"
