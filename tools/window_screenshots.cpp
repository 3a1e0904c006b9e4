// Pictures of the windows for the documentation, taken on the offscreen platform: the main
// window after start-up, the main window during a property search against kestrova-sim, the
// login ID prompt, the About dialog, the code lookup with its first results, the maintenance
// window after rebuilding the CSV files of that search, and the local search window over what
// that search fetched (sorted, and with its row menu open).
//   window_screenshots OUTPUT_FOLDER
// The offscreen platform draws no window frame, so each picture gets a plain title bar with
// the window's icon and title on top.
#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/online_data.h"
#include "foundation/dates.h"
#include "foundation/platform/platform.h"
#include "store/program_state.h"
#include "tests/e2e/headless_run.h"
#include "tests/sim/sim_process.h"
#include "ui/main_window.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/code_lookup_dialog.h"
#include "ui/qt/input_dialog.h"
#include "ui/qt/main_window_dialog.h"
#include "ui/qt/maintenance_dialog.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/search_dialog.h"

namespace {

using namespace kestrova;

// Hands every pump to the picture taker, which grabs the window once the run is well under way.
class GrabbingDesktop final : public QtDesktop {
 public:
  void Pump(int n) override {
    QtDesktop::Pump(n);
    if (onPump) onPump();
  }
  std::function<void()> onPump;
};

bool SavePicture(const QWidget& window, const QPixmap& content, const QString& file) {
  const int bar = 26;
  QPixmap framed(content.width() + 2, content.height() + bar + 1);
  framed.fill(QColor(0x60, 0x70, 0x80));
  QPainter painter(&framed);
  painter.fillRect(1, 1, content.width(), bar - 1, QColor(0x2b, 0x57, 0x9a));
  painter.drawPixmap(6, 5, window.windowIcon().pixmap(16, 16));
  QFont font = window.font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(28, 1, content.width() - 30, bar - 1), Qt::AlignVCenter,
                   window.windowTitle());
  painter.drawPixmap(1, bar, content);
  painter.end();
  if (!framed.save(file)) {
    std::fprintf(stderr, "window_screenshots: cannot write %s\n", qPrintable(file));
    return false;
  }
  std::printf("%s %dx%d\n", qPrintable(file), framed.width(), framed.height());
  return true;
}

// A window of fixed size is grabbed at its size hint; a sizable one (fit = false) as placed.
bool Save(QWidget& window, const QString& file, bool fit = true) {
  if (fit) window.adjustSize();
  return SavePicture(window, window.grab(), file);
}

// The local search window over the home's management file, sorted by price, then with the
// row menu open over three selected rows (the menu is a window of its own, painted in).
bool SaveSearchWindow(ProgramState& state, QWidget* parent, const QString& out) {
  SearchDialog search(state, parent);
  if (!search.Open()) return false;
  search.show();
  search.findChild<QAbstractButton*>(QStringLiteral("ctlType2"))->click();  // 売買 and 賃貸
  auto* list = search.findChild<QTableView*>(QStringLiteral("ctlResults"));
  QAbstractItemModel* rows = list->model();
  for (int column = 0; column < rows->columnCount(); ++column) {
    if (rows->headerData(column, Qt::Horizontal).toString() == QStringLiteral(u"価格(万円)"))
      list->horizontalHeader()->sectionClicked(column);
  }
  bool ok = Save(search, out + QStringLiteral("search-window.png"), false);

  for (int row : {1, 2, 4}) {
    list->selectionModel()->select(rows->index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  const QPoint click = list->visualRect(rows->index(4, 2)).center();
  QTimer::singleShot(0, &search, [&] {
    QWidget* menu = QApplication::activePopupWidget();
    QPixmap content = search.grab();
    if (menu != nullptr) {
      QPainter painter(&content);
      const QRect place(menu->pos() - search.mapToGlobal(QPoint(0, 0)), menu->size());
      painter.drawPixmap(place.topLeft(), menu->grab());
      painter.setPen(QColor(0x60, 0x70, 0x80));
      painter.drawRect(place.adjusted(0, 0, -1, -1));
      painter.end();
      menu->close();
    }
    ok &= menu != nullptr && SavePicture(search, content, out + QStringLiteral("search-menu.png"));
  });
  list->customContextMenuRequested(click);
  search.reject();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  QApplication application(argc, argv);
  QApplication::setWindowIcon(ProgramIcon());
  const QString out = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
  bool ok = true;

  {  // First start: the defaults, no login ID yet given.
    test::TempFolder home;
    bench::MakeProgramHome(home.native(), "");
    FixedClock clock("2011/05/08 14:30:00");
    ProgramState state;
    QtDesktop desktop;
    state.clock = &clock;
    state.desktop = &desktop;
    MainWindowDialog dialog(state, SystemTransportFactory());
    dialog.StartUp({platform::ProgramPath(home.native()) + "\\kestrova"}, {"12345678", ""});
    dialog.show();
    ok &= Save(dialog, out + QStringLiteral("main-window.png"));

    InputDialog input({LoginIdPrompt(), std::string()});
    input.show();
    ok &= Save(input, out + QStringLiteral("input-dialog.png"));
    AboutDialog about(state);
    about.show();
    ok &= Save(about, out + QStringLiteral("about-dialog.png"));
    CodeLookupDialog lookup(state);
    lookup.Open();
    lookup.show();
    ok &= Save(lookup, out + QStringLiteral("code-lookup.png"), false);
    dialog.window().Close();
  }

  test::SimProcess sim;
  if (!sim.Start({"--seed", "1"})) {
    std::fprintf(stderr, "window_screenshots: kestrova-sim did not start\n");
    return 1;
  }
  {  // A property search under way.
    test::TempFolder home;
    bench::MakeProgramHome(home.native(), test::SettingsFor(sim));
    FixedClock clock("2011/05/08 14:30:00");
    ProgramState state;
    GrabbingDesktop desktop;
    state.clock = &clock;
    state.desktop = &desktop;
    MainWindowDialog dialog(state, SystemTransportFactory());
    dialog.StartUp({platform::ProgramPath(home.native()) + "\\kestrova"}, {"demo", ""});
    dialog.show();
    bool grabbed = false;
    desktop.onPump = [&] {
      const QString count = dialog.findChild<QLineEdit*>(QStringLiteral("ctl1045"))->text();
      const QString log =
          dialog.findChild<QWidget*>(QStringLiteral("ctl1010"))->property("plainText").toString();
      if (grabbed || count.toInt() < 2 || !log.contains(QStringLiteral("取得中"))) return;
      grabbed = true;
      ok &= Save(dialog, out + QStringLiteral("main-window-running.png"));
    };
    dialog.findChild<QPushButton*>(QStringLiteral("ctl1000"))->click();
    ok &= grabbed;
    MaintenanceDialog maintenance(state);
    maintenance.show();
    maintenance.findChild<QPushButton*>(QStringLiteral("ctl1001"))->click();
    ok &= Save(maintenance, out + QStringLiteral("maintenance-window.png"));
    ok &= SaveSearchWindow(state, &dialog, out);
    dialog.window().Close();
  }
  return ok ? 0 : 1;
}
