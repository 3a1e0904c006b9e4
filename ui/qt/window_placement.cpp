#include "ui/qt/window_placement.h"

#include <QHeaderView>
#include <QTableView>
#include <QWidget>
#include <vector>

#include "foundation/settings_store.h"

namespace kestrova {

void RestorePlacement(QWidget& window, const SettingsStore& settings, std::string_view key) {
  WindowRect rect;
  if (!RestorePlacement(settings, key, rect) || rect.width <= 0 || rect.height <= 0) return;
  window.resize(rect.width, rect.height);
  window.move(rect.left, rect.top);
}

void SavePlacement(const QWidget& window, SettingsStore& settings, std::string_view key) {
  const QRect frame = window.frameGeometry();
  SavePlacement({frame.left(), frame.top(), window.width(), window.height()}, settings, key);
}

void RestoreColumnWidths(QTableView& view, const SettingsStore& settings, std::string_view key) {
  const std::vector<int> widths = RestoreColumnWidths(settings, key);
  const int columns = view.horizontalHeader()->count();
  for (int i = 0; i < columns && i < static_cast<int>(widths.size()); ++i) {
    if (widths[i] > 0) view.setColumnWidth(i, widths[i]);
  }
}

void SaveColumnWidths(const QTableView& view, SettingsStore& settings, std::string_view key) {
  std::vector<int> widths;
  for (int i = 0; i < view.horizontalHeader()->count(); ++i) widths.push_back(view.columnWidth(i));
  SaveColumnWidths(widths, settings, key);
}

}  // namespace kestrova
