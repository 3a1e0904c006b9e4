// The local search window's list with 200,000 rows on the offscreen platform: opening (data
// read, stations, first search, list filled and painted), scrolling page by page, jumping to
// the end, and a numeric column sorted by its heading, each with the window painted after it.
//   search_window_list [rows]     prints one line per step
//   search_window_list --home DIR SELECTIVE THIRD
//                                 the window over the management files of the program folder
//                                 DIR, past data on: opening with the first search (every
//                                 record), the longest time it went without handling its
//                                 events while it loaded, a typed search of the key SELECTIVE
//                                 and of THIRD (UTF-8), the sort by price of every record and
//                                 the jump to the last row; one line "<step> <ms> ms" each
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "bench/property_lines.h"
#include "bench/store_data.h"
#include "foundation/environment.h"
#include "foundation/platform/platform.h"
#include "foundation/settings_keys.h"
#include "store/csv_layout.h"
#include "store/csv_writer.h"
#include "store/program_state.h"
#include "ui/default_settings.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/search_dialog.h"

using namespace kestrova;

namespace {

// Runs the step and paints the window as the screen would; milliseconds.
double Timed(QWidget& window, const std::function<void()>& step) {
  const auto start = std::chrono::steady_clock::now();
  step();
  window.repaint();
  QApplication::processEvents();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The window over a program folder's management files, as an agent meets it at scale.
int HomeSteps(const std::string& home, const char* selective, const char* third) {
  ProgramState state;
  QtDesktop desktop;
  state.desktop = &desktop;
  BuildEnvironment(state.environment, {platform::ProgramPath(home) + "\\kestrova"});
  ApplyDefaultSettings(state.settings, state.environment);
  LoadLayouts(state);
  state.settings.Set(keys::kSearchType, "2");
  state.settings.Set(keys::kSearchPastData, "1");
  state.settings.Set(keys::kSearchKeys, "");
  SearchDialog dialog(state);
  desktop.SetWindow(&dialog);
  auto* list = dialog.findChild<QTableView*>(QStringLiteral("ctlResults"));
  auto* key = dialog.findChild<QLineEdit*>(QStringLiteral("ctlKey1_1"));
  auto* search = dialog.findChild<QPushButton*>(QStringLiteral("ctl1"));
  if (list == nullptr || key == nullptr || search == nullptr) return 1;
  bool opened = false;
  desktop.ResetPumpStats();
  const double open = Timed(dialog, [&] {
    opened = dialog.Open();
    dialog.show();
  });
  if (!opened) return 1;
  const double gap =
      std::chrono::duration<double, std::milli>(desktop.pumpStats().longestGap).count();
  const int all = list->model()->rowCount();
  auto typed = [&](const char* text) {
    return Timed(dialog, [&] {
      key->setText(QString::fromUtf8(text));
      search->click();
    });
  };
  const double selectiveMs = typed(selective);
  const int selectiveRows = list->model()->rowCount();
  const double thirdMs = typed(third);
  const int thirdRows = list->model()->rowCount();
  typed("");
  const int price = 4;  // "価格(万円)", an N column of the shipped layout
  const double sort = Timed(dialog, [&] { list->horizontalHeader()->sectionClicked(price); });
  const double last = Timed(dialog, [&] { list->scrollToBottom(); });
  std::printf("open %.0f ms %d rows\n", open, all);
  std::printf("loadgap %.0f ms %d dispatches\n", gap, desktop.pumpStats().dispatches);
  std::printf("selective %.0f ms %d rows\n", selectiveMs, selectiveRows);
  std::printf("third %.0f ms %d rows\n", thirdMs, thirdRows);
  std::printf("sort %.0f ms %d rows\n", sort, list->model()->rowCount());
  std::printf("last %.1f ms\n", last);
  dialog.reject();
  desktop.SetWindow(nullptr);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (argc == 5 && std::string(argv[1]) == "--home") {
    QApplication application(argc, argv);
    return HomeSteps(argv[2], argv[3], argv[4]);
  }
  const int rows = argc > 1 ? std::atoi(argv[1]) : 200000;
  QApplication application(argc, argv);
  ProgramState state;
  const std::string native = bench::MakeBenchFolder(state, "kestrova-searchlist");
  ApplyDefaultSettings(state.settings, state.environment);
  state.settings.Set(keys::kSearchType, "2");
  std::ofstream(native + "/dat/TotalData.txt", std::ios::binary)
      << bench::GeneratePropertyLines(rows, 1);
  if (WriteTotalCsv(state) != 0) return 1;

  {
    SearchDialog dialog(state);
    auto* list = dialog.findChild<QTableView*>(QStringLiteral("ctlResults"));
    bool opened = false;
    std::printf("open, first search, list painted : %8.1f ms\n", Timed(dialog, [&] {
                  opened = dialog.Open();
                  dialog.show();
                }));
    if (!opened) return 1;
    std::printf("rows shown                       : %8d\n", list->model()->rowCount());
    QScrollBar* bar = list->verticalScrollBar();
    double pages = 0;
    for (int i = 0; i < 100; ++i)
      pages += Timed(dialog, [&] { bar->triggerAction(QAbstractSlider::SliderPageStepAdd); });
    std::printf("one page down (mean of 100)      : %8.2f ms\n", pages / 100);
    std::printf("jump to the last row             : %8.2f ms\n",
                Timed(dialog, [&] { list->scrollToBottom(); }));
    const int price = 4;  // "価格(万円)", an N column of the shipped layout
    std::printf("sort by price (heading click)    : %8.1f ms\n",
                Timed(dialog, [&] { list->horizontalHeader()->sectionClicked(price); }));
    std::printf("sort again, reversed             : %8.1f ms\n",
                Timed(dialog, [&] { list->horizontalHeader()->sectionClicked(price); }));
    dialog.reject();
  }
  std::filesystem::remove_all(native);
  return 0;
}
