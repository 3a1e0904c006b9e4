// Report-style list views with owner data, and where a resizable window stood and how wide its
// list columns were (kept in the settings as "left,top,width,height" and "w1,w2,...").
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace kestrova {

class SettingsStore;

// Columns with these UTF-8 headings and widths (pixels at 96 DPI), full-row selection.
void SetUpReportList(HWND list, const std::vector<const char*>& headings, int width);
// The selected rows, in list order.
std::vector<int> SelectedRows(HWND list);

void RestorePlacement(HWND window, const SettingsStore& settings, std::string_view key);
void SavePlacement(HWND window, SettingsStore& settings, std::string_view key);
void RestoreColumnWidths(HWND list, const SettingsStore& settings, std::string_view key);
void SaveColumnWidths(HWND list, SettingsStore& settings, std::string_view key);
// What the close box keeps of a window with a list: where the window stands, the column widths.
void SaveListWindow(HWND window, HWND list, SettingsStore& settings, std::string_view placementKey,
                    std::string_view widthsKey);

}  // namespace kestrova
