// The local search window's list with 200,000 rows on the offscreen platform: opening (data
// read, stations, first search, list filled and painted), scrolling page by page, jumping to
// the end, and a numeric column sorted by its heading, each with the window painted after it.
//   search_window_list [rows]     prints one line per step
#include <QApplication>
#include <QHeaderView>
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
#include "foundation/settings_keys.h"
#include "store/csv_writer.h"
#include "store/program_state.h"
#include "ui/default_settings.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
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
