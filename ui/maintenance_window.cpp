#include "ui/maintenance_window.h"

#include <cstdio>

#include "foundation/files.h"
#include "foundation/message_pump.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "service/detail_page_parser.h"
#include "store/csv_writer.h"
#include "store/detail_files.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

// "%d/%d ..." with the two counts.
std::string Progress(int done, int count) {
  char text[48];
  std::snprintf(text, sizeof text, "%d/%d ...", done, count);
  return text;
}

void ShowStatus(MaintenanceView& view, std::string text) {
  view.Fields().statusLine = std::move(text);
  view.ShowFields();
}

// Deletes every non-empty path of the list; a failure leaves the file where it is.
void RemoveListed(const TextList& paths) {
  for (int i = 0; i < paths.Count(); ++i) {
    if (!paths.View(i).empty()) RemoveFile(paths.View(i));
  }
}

}  // namespace

const std::string* PresetText(int button) {
  switch (button) {
    case kPresetSaleShort: {
      static const std::string text = "1,1,1,3;1,1,2,";
      return &text;
    }
    case kPresetSaleFull: {
      static const std::string text = "1,1,1,4;1,1,3,5;1,1,2,";
      return &text;
    }
    case kPresetRentShort: {
      static const std::string text = "1,3,1,3;1,3,2,";
      return &text;
    }
    case kPresetRentFull: {
      static const std::string text = "1,3,1,4;1,3,3,5;1,3,2,";
      return &text;
    }
    default:
      return nullptr;
  }
}

void OpenMaintenance(ProgramState& state, MaintenanceView& view) {
  MaintenanceFields& f = view.Fields();
  f.csvFolder = 1;
  f.backups = 1;
  f.logs = 1;
  f.saleOrder = std::string(state.settings.GetView(keys::kSaleOrder));
  f.rentOrder = std::string(state.settings.GetView(keys::kRentOrder));
  f.retention = std::string(state.settings.GetView(keys::kRetentionMonths));
  view.ShowFields();
}

void RebuildDetailInformation(ProgramState& state, MaintenanceView& view) {
  view.ReadFields();
  TextList pages;
  ListFiles(state.PathOf("\\pdf"), ".html", pages, kListFilesFiles, 0, state.desktop);
  const int count = pages.Count();
  for (int i = 0; i < count; ++i) {
    ParseDetailPage(state, pages.Get(i));
    // The counter is the 0-based index of the page just parsed.
    ShowStatus(view, Progress(i, count));
    PumpMessages(state.desktop, 100);
  }
  // Written now rather than only at close, so that a crash later in the run does not lose
  // what may have taken a long walk over the saved pages to rebuild.
  SaveChangedDetailFiles(state);
  std::string done = Progress(count, count) + SJIS("作成完了！");
  // A failed write keeps the store marked changed, so the close tries again; the user is told.
  if (state.detailStore.changed()) done += SJIS(" SyousaiInfo.datを保存できませんでした。");
  ShowStatus(view, std::move(done));
  PumpMessages(state.desktop, 100);
}

void RebuildCsvFiles(ProgramState& state, MaintenanceView& view) {
  const int result = WriteTotalCsv(state);
  // On failure the old CSV files stay as they were; saying they were updated would be false.
  ShowStatus(view, result == 0 ? SJIS("CSV情報を更新しました。")
                               : SJIS("CSV情報を更新できませんでした。"));
}

int DeleteDataFiles(ProgramState& state, MaintenanceView& view) {
  view.ReadFields();
  const MaintenanceFields& f = view.Fields();
  TextList paths;
  // Without a program folder the data paths would name folders at the file-system root.
  if (!state.ProgramFolder().empty()) {
    if (f.csvFolder) ListFiles(state.PathOf("\\csv"), "", paths, kListFilesFiles, 0, state.desktop);
    if (f.backups)
      ListFiles(state.PathOf("\\dat"), "backup_", paths, kListFilesFiles, 0, state.desktop);
    if (f.logs) ListFiles(state.PathOf("\\Log"), "", paths, kListFilesFiles, 0, state.desktop);
  }
  RemoveListed(paths);
  const int count = paths.Count();
  char text[32];
  std::snprintf(text, sizeof text, "(%d", count);
  ShowStatus(view, SJIS("ﾛｸﾞを削除しました") + text + SJIS("件)"));
  return count;
}

void PresetSearchOrder(MaintenanceView& view, int button) {
  const std::string* text = PresetText(button);
  if (!text) return;
  view.ReadFields();
  MaintenanceFields& f = view.Fields();
  (button == kPresetSaleShort || button == kPresetSaleFull ? f.saleOrder : f.rentOrder) = *text;
  view.ShowFields();
}

void CloseMaintenance(ProgramState& state, MaintenanceView& view) {
  view.ReadFields();
  const MaintenanceFields& f = view.Fields();
  state.settings.Set(keys::kRetentionMonths, f.retention);
  state.settings.Set(keys::kSaleOrder, f.saleOrder);
  state.settings.Set(keys::kRentOrder, f.rentOrder);
}

}  // namespace kestrova
