// Where a resizable window stood and how wide its list columns were, kept in the settings as
// "left,top,width,height" and "w1,w2,...".
#pragma once

#include <string_view>

class QWidget;
class QTableView;

namespace kestrova {

class SettingsStore;
class SettingKey;

// Moves and sizes the window's frame to the placement it opens at (the saved one when it fits
// on a screen now, else the default); SavePlacement keeps the frame's rectangle.
void RestorePlacement(QWidget& window, const SettingsStore& settings, const SettingKey& key);
void SavePlacement(const QWidget& window, SettingsStore& settings, std::string_view key);
// Widths beyond the view's columns are ignored; columns beyond the widths keep theirs.
void RestoreColumnWidths(QTableView& view, const SettingsStore& settings, std::string_view key);
void SaveColumnWidths(const QTableView& view, SettingsStore& settings, std::string_view key);

}  // namespace kestrova
