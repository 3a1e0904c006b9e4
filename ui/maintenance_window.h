// The maintenance window's logic without a toolkit: rebuilding the detail information from the
// saved detail pages, rebuilding the total CSV files, deleting logs, backups and per-run CSV
// files, and editing the retention and the two search orders.
#pragma once

#include <string>
#include <string_view>

#include "ui/command_result.h"

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
  int splitOnCut = 1;     // 1060 "取りこぼし時に分割": search a cut result again in parts
  std::string statusLine;  // 1009, read-only: progress and result texts
};

// The buttons of the maintenance window, by control id.
enum class MaintenanceCommand : int {
  kRebuildDetail = 1000,    // ① "htmlから詳細情報を再構成"
  kRebuildCsv = 1001,       // ② "CSV再構成"
  kDeleteFiles = 1002,      // ③ "ログファイル等の削除"
  kPresetSaleShort = 1008,  // sale order: land, flats, houses
  kPresetSaleFull = 1010,   // sale order: the five types
  kPresetRentShort = 1011,  // rent order: land, flats, houses
  kPresetRentFull = 1012,   // rent order: the five types
};

// What the maintenance window shows: the Qt dialog, the console of headless mode, a test
// recorder.
class MaintenanceView {
 public:
  virtual ~MaintenanceView() = default;
  // Controls into fields (the user's edits); a view without controls leaves them.
  virtual void ReadFields(MaintenanceFields& fields) = 0;
  // Fields into controls. Operation ① calls this once per saved page with the status line
  // "i/count ..." and lets the desktop pump its messages after each call.
  virtual void ShowFields(const MaintenanceFields& fields) = 0;
  virtual void SetTitle(std::string_view title) = 0;
};

// The window's logic: owns its fields, runs its commands on the program state and shows the
// outcome through the view. Long work keeps the window alive through the state's desktop pump.
class MaintenanceWindow {
 public:
  MaintenanceWindow(ProgramState& state, MaintenanceView& view);

  MaintenanceFields& Fields() { return fields_; }
  void ReadFields() { view_.ReadFields(fields_); }
  void ShowFields() { view_.ShowFields(fields_); }

  // Opening: the title, the three boxes ticked, the three edits from the settings.
  void Open();
  // A button of the window; kUnknown for an id that is none of them, kRefused (with a message)
  // while another command of the window is still running.
  CommandResult Command(MaintenanceCommand id);
  bool busy() const { return busy_; }
  // The close box: stores the three edits as typed and the split box (the settings file is written
  // by the main window's close).
  void Close();
  // Leaving the window: the close box and Enter keep what was typed (Close), Escape leaves
  // without keeping. false while a command runs: the window stays.
  bool Leave(bool keep);

  // Operation ①: parses every saved ".html" page below "\\pdf" into the detail store, showing
  // "i/count ..." after each page and "count/count ...作成完了！" at the end, then writes the
  // detail store when it changed.
  void RebuildDetailInformation();
  // Operation ②: the two total CSV files from "\\dat\\TotalData.txt".
  void RebuildCsvFiles();
  // Operation ③: deletes the files the ticked boxes name; returns how many were listed (a file
  // that cannot be deleted is counted and stays).
  int DeleteDataFiles();
  // Sets the edit of a preset button; the other buttons do nothing here.
  void PresetSearchOrder(MaintenanceCommand button);

 private:
  CommandResult RunCommand(MaintenanceCommand id);
  void ShowStatus(std::string text);

  ProgramState& state_;
  MaintenanceView& view_;
  MaintenanceFields fields_;
  bool busy_ = false;
};

// The search-order text a preset button sets, or nullptr for another button.
const std::string* PresetText(MaintenanceCommand button);

}  // namespace kestrova
