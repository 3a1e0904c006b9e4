#include "ui/maintenance_window.h"

#include <cstdio>

#include "foundation/desktop.h"
#include "foundation/files.h"
#include "foundation/message_pump.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "foundation/text_list.h"
#include "service/detail_page_parser.h"
#include "service/search_split.h"
#include "store/csv_writer.h"
#include "store/detail_files.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

const std::string& WindowTitle() { return SJIS("ﾒﾝﾃﾅﾝｽ"); }

// "%d/%d ..." with the two counts.
std::string Progress(int done, int count) {
  char text[48];
  std::snprintf(text, sizeof text, "%d/%d ...", done, count);
  return text;
}

// Deletes every non-empty path of the list; a failure leaves the file where it is.
void RemoveListed(const TextList& paths) {
  for (int i = 0; i < paths.Count(); ++i) {
    if (!paths.View(i).empty()) RemoveFile(paths.View(i));
  }
}

}  // namespace

const std::string* PresetText(MaintenanceCommand button) {
  switch (button) {
    case MaintenanceCommand::kPresetSaleShort: {
      static const std::string text = "1,1,1,3;1,1,2,";
      return &text;
    }
    case MaintenanceCommand::kPresetSaleFull: {
      static const std::string text = "1,1,1,4;1,1,3,5;1,1,2,";
      return &text;
    }
    case MaintenanceCommand::kPresetRentShort: {
      static const std::string text = "1,3,1,3;1,3,2,";
      return &text;
    }
    case MaintenanceCommand::kPresetRentFull: {
      static const std::string text = "1,3,1,4;1,3,3,5;1,3,2,";
      return &text;
    }
    default:
      return nullptr;
  }
}

MaintenanceWindow::MaintenanceWindow(ProgramState& state, MaintenanceView& view)
    : state_(state), view_(view) {}

void MaintenanceWindow::Open() {
  view_.SetTitle(WindowTitle());
  fields_.csvFolder = 1;
  fields_.backups = 1;
  fields_.logs = 1;
  fields_.saleOrder = std::string(state_.settings.GetView(keys::kSaleOrder));
  fields_.rentOrder = std::string(state_.settings.GetView(keys::kRentOrder));
  fields_.retention = std::string(state_.settings.GetView(keys::kRetentionMonths));
  fields_.splitOnCut = SplitOnCut(state_.settings) ? 1 : 0;
  ShowFields();
}

CommandResult MaintenanceWindow::Command(MaintenanceCommand id) {
  // Operation ① pumps window messages after every page, so a second button press would start
  // a second operation inside the first, e.g. a deletion under the rebuild's walk.
  if (busy_) {
    state_.desktop->Message(SJIS("他の処理を実行中です。終了してから操作してください"),
                            WindowTitle(), MessageIcon::kWarning, MessageButtons::kOk);
    return CommandResult::kRefused;
  }
  busy_ = true;
  const CommandResult result = RunCommand(id);
  busy_ = false;
  return result;
}

CommandResult MaintenanceWindow::RunCommand(MaintenanceCommand id) {
  switch (id) {
    case MaintenanceCommand::kRebuildDetail:
      RebuildDetailInformation();
      return CommandResult::kRan;
    case MaintenanceCommand::kRebuildCsv:
      RebuildCsvFiles();
      return CommandResult::kRan;
    case MaintenanceCommand::kDeleteFiles:
      DeleteDataFiles();
      return CommandResult::kRan;
    case MaintenanceCommand::kPresetSaleShort:
    case MaintenanceCommand::kPresetSaleFull:
    case MaintenanceCommand::kPresetRentShort:
    case MaintenanceCommand::kPresetRentFull:
      PresetSearchOrder(id);
      return CommandResult::kRan;
  }
  return CommandResult::kUnknown;
}

void MaintenanceWindow::ShowStatus(std::string text) {
  fields_.statusLine = std::move(text);
  ShowFields();
}

void MaintenanceWindow::RebuildDetailInformation() {
  ReadFields();
  TextList pages;
  ListFiles(state_.PathOf("\\pdf"), ".html", pages, kListFilesFiles, 0, state_.desktop);
  const int count = pages.Count();
  for (int i = 0; i < count; ++i) {
    ParseDetailPage(state_, pages.Get(i));
    // The counter is the 0-based index of the page just parsed.
    ShowStatus(Progress(i, count));
    PumpMessages(state_.desktop, 100);
  }
  // Written now rather than only at close, so that a crash later in the run does not lose
  // what may have taken a long walk over the saved pages to rebuild.
  const bool saved = SaveChangedDetailFiles(state_);
  std::string done = Progress(count, count) + SJIS("作成完了！");
  // A failed write keeps the store marked changed, so the close tries again; the user is told.
  if (!saved) done += SJIS(" SyousaiInfo.datを保存できませんでした。");
  ShowStatus(std::move(done));
  PumpMessages(state_.desktop, 100);
}

void MaintenanceWindow::RebuildCsvFiles() {
  const int result = WriteTotalCsv(state_);
  // On failure the old CSV files stay as they were; saying they were updated would be false.
  ShowStatus(result == 0 ? SJIS("CSV情報を更新しました。")
                         : SJIS("CSV情報を更新できませんでした。"));
}

int MaintenanceWindow::DeleteDataFiles() {
  ReadFields();
  TextList paths;
  // Without a program folder the data paths would name folders at the file-system root.
  if (!state_.ProgramFolder().empty()) {
    auto list = [&](const char* folder, const char* pattern) {
      ListFiles(state_.PathOf(folder), pattern, paths, kListFilesFiles, 0, state_.desktop);
    };
    if (fields_.csvFolder) list("\\csv", "");
    if (fields_.backups) list("\\dat", "backup_");
    if (fields_.logs) list("\\Log", "");
  }
  RemoveListed(paths);
  const int count = paths.Count();
  char text[32];
  std::snprintf(text, sizeof text, "(%d", count);
  ShowStatus(SJIS("ﾛｸﾞを削除しました") + text + SJIS("件)"));
  return count;
}

void MaintenanceWindow::PresetSearchOrder(MaintenanceCommand button) {
  const std::string* text = PresetText(button);
  if (!text) return;
  ReadFields();
  const bool sale = button == MaintenanceCommand::kPresetSaleShort ||
                    button == MaintenanceCommand::kPresetSaleFull;
  (sale ? fields_.saleOrder : fields_.rentOrder) = *text;
  ShowFields();
}

void MaintenanceWindow::Close() {
  ReadFields();
  state_.settings.Set(keys::kRetentionMonths, fields_.retention);
  state_.settings.Set(keys::kSaleOrder, fields_.saleOrder);
  state_.settings.Set(keys::kRentOrder, fields_.rentOrder);
  state_.settings.Set(keys::kSplitOnCut, fields_.splitOnCut != 0 ? "1" : "0");
}

bool MaintenanceWindow::Leave(bool keep) {
  // While operation ① pumps messages the window must not go away under it.
  if (busy_) return false;
  if (keep) Close();
  return true;
}

}  // namespace kestrova
