// The maintenance window's logic without a toolkit: rebuilding the detail information from the
// saved detail pages, rebuilding the total CSV files, deleting logs, backups and per-run CSV
// files, and editing the retention and the two search orders.
#pragma once

#include <string>

namespace kestrova {

struct ProgramState;

// The controls of the maintenance window (cp932 texts; check boxes 1 ticked, 0 cleared).
struct MaintenanceFields {
  int csvFolder = 1;      // 1055 "CSVフォルダ": include "\\csv" in the deletion
  int backups = 1;        // 1056 "ﾊﾞｯｸｱｯﾌﾟﾃﾞｰﾀ": include "\\dat\\*backup_*"
  int logs = 1;           // 1013 "ﾛｸﾞ": include "\\Log"
  std::string retention;  // 1033 "//ini/設定2/データ保持期間"
  std::string saleOrder;  // 1059 "//ini/設定2/検索順序売買(検索)"
  std::string rentOrder;  // 1035 "//ini/設定2/検索順序賃貸(検索)"
  std::string statusLine;  // 1009
};

// The window the operations work on. ReadFields copies the controls into Fields(), ShowFields
// copies Fields() back into the controls; headless mode keeps the fields and does nothing else.
class MaintenanceView {
 public:
  virtual ~MaintenanceView() = default;
  virtual MaintenanceFields& Fields() = 0;
  virtual void ReadFields() = 0;
  virtual void ShowFields() = 0;
};

// Button ids of the four search-order presets.
inline constexpr int kPresetSaleShort = 1008;
inline constexpr int kPresetSaleFull = 1010;
inline constexpr int kPresetRentShort = 1011;
inline constexpr int kPresetRentFull = 1012;

// Opening: ticks the three boxes, fills the three edits from the settings, shows the fields.
void OpenMaintenance(ProgramState& state, MaintenanceView& view);
// Operation 1: parses every saved ".html" page below "\\pdf" into the detail store, showing
// "i/count ..." after each page and "count/count ...作成完了！" at the end, then writes the
// detail store when it changed.
void RebuildDetailInformation(ProgramState& state, MaintenanceView& view);
// Operation 2: the two total CSV files from "\\dat\\TotalData.txt".
void RebuildCsvFiles(ProgramState& state, MaintenanceView& view);
// Operation 3: deletes the files the ticked boxes name; returns how many were listed
// (a file that cannot be deleted is counted and stays).
int DeleteDataFiles(ProgramState& state, MaintenanceView& view);
// Sets the edit of a preset button (1008, 1010: sale; 1011, 1012: rent); others do nothing.
void PresetSearchOrder(MaintenanceView& view, int button);
// The close box: stores the three edits as typed (the settings file is written by the main
// window's close). Leaving by Enter or Esc does not call this, so nothing is stored then.
void CloseMaintenance(ProgramState& state, MaintenanceView& view);

// The search-order text a preset button sets, or nullptr for another id.
const std::string* PresetText(int button);

}  // namespace kestrova
