#include "ui/result_actions.h"

#include <algorithm>
#include <set>

#include "foundation/environment.h"
#include "foundation/files.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "foundation/text_functions.h"
#include "service/search_downloads.h"
#include "store/error_log.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

int ColumnOf(const CsvLayout& layout, std::string_view source) {
  for (int i = 0; i < layout.Columns(); ++i)
    if (layout.sources.View(i) == source) return i;
  return -1;
}

// The list columns an action reads; -1 for one the layout lacks (its cells read as empty).
struct ActionColumns {
  int location;
  int number;
  int type;
  bool Complete() const { return location >= 0 && number >= 0 && type >= 0; }
};

// "<program folder>\\pdf\\<property folder>\\<number><extension>", or empty when the row's
// names cannot be file names of the program folder (or are missing).
std::string PropertyFile(const ProgramState& state, const SearchResults& rows, int row,
                         const ActionColumns& columns, std::string_view extension) {
  const std::string_view typeCode = TypeCodeOf(rows.Cell(row, columns.type));
  const std::string_view location = rows.Cell(row, columns.location);
  const std::string_view number = rows.Cell(row, columns.number);
  if (!IsSafePropertyPath(typeCode, location, number)) return {};
  return state.PathOf("\\pdf\\") + PropertyFolder(typeCode, location) + "\\" + std::string(number) +
         std::string(extension);
}

// The saved page refers to the service's style sheets, which the login keeps in "Tmp": the
// copy there finds them beside itself.
void OpenDetailPage(ProgramState& state, const std::string& page) {
  std::string text;
  if (!ReadWholeFile(page, text)) return;
  ReplaceAllInPlace(text, "/reinsip/css/", "./");
  const std::string temporary = state.PathOf("\\Tmp\\temp.html");
  if (!WriteFileAtomic(temporary, text, 0644, false)) {
    LogWriteFailure(state, kPageWriteFailed, temporary);
    state.desktop->Message(SJIS("書き込みできませんでした: ") + platform::DisplayPath(temporary),
                           "Kestrova", MessageIcon::kWarning, MessageButtons::kOk);
    return;
  }
  ShellOpen(*state.desktop, temporary);
}

}  // namespace

std::vector<std::string> RunResultAction(ProgramState& state, const SearchResults& rows,
                                         const std::vector<int>& selected, ResultAction action) {
  const CsvLayout& layout = state.kanriLayout;
  const ActionColumns columns{ColumnOf(layout, SJIS("$所在地$")),
                              ColumnOf(layout, SJIS("物件番号")),
                              ColumnOf(layout, SJIS("物件種別"))};
  const bool pdfAction =
      action == ResultAction::kOpenPdf || action == ResultAction::kCopyPdfToDesktop;
  if (pdfAction && !columns.Complete()) {
    state.desktop->Message(SJIS("物件種別,$所在地$,物件番号 がない為、処理できません"), "Kestrova",
                           MessageIcon::kWarning, MessageButtons::kOk);
    return {};
  }

  std::vector<int> order;
  for (int row : selected)
    if (row >= 0 && row < rows.RowCount()) order.push_back(row);
  std::sort(order.begin(), order.end());
  order.erase(std::unique(order.begin(), order.end()), order.end());

  // Made before any row is looked at, so it is there even when no PDF was found.
  std::string copyFolder;
  if (action == ResultAction::kCopyPdfToDesktop) {
    const std::string desktop = state.environment.GetId(kEnvDesktopDirectory);
    if (desktop.empty()) return {};
    copyFolder = desktop + "\\CopyPDF";
    (void)MakeFolder(copyFolder);
  }

  std::vector<std::string> dragFiles;
  std::set<std::string> numbers;
  for (int row : order) {
    switch (action) {
      case ResultAction::kOpenPdf:
      case ResultAction::kCopyPdfToDesktop:
      case ResultAction::kCollectDragFiles: {
        const std::string pdf = PropertyFile(state, rows, row, columns, ".pdf");
        if (pdf.empty() || !FileExists(pdf)) break;
        if (action == ResultAction::kOpenPdf) {
          ShellOpen(*state.desktop, pdf);
        } else if (action == ResultAction::kCopyPdfToDesktop) {
          const std::string copy =
              copyFolder + "\\" + std::string(rows.Cell(row, columns.number)) + ".pdf";
          (void)CopyFileTo(pdf, copy);
        } else {
          dragFiles.push_back(pdf);
        }
        break;
      }
      case ResultAction::kOpenDetailPage: {
        const std::string page = PropertyFile(state, rows, row, columns, ".html");
        if (!page.empty() && FileExists(page)) OpenDetailPage(state, page);
        break;
      }
      case ResultAction::kOpenLocation: {
        const std::string_view location = rows.Cell(row, columns.location);
        if (!location.empty()) LaunchWithParam(state, location);
        break;
      }
      case ResultAction::kExportCompatibleCsv: {
        const std::string_view number = rows.Cell(row, columns.number);
        if (!number.empty()) numbers.emplace(number);
        break;
      }
      case ResultAction::kCopyInfoToClipboard:
        break;
    }
  }

  if (action == ResultAction::kCopyInfoToClipboard)
    InetMemToClip(*state.desktop, ClipboardText(rows, order, layout.Columns()));
  if (action == ResultAction::kExportCompatibleCsv) ExportCompatibleCsv(state, numbers);
  return dragFiles;
}

const std::vector<ResultAction>& MenuActions() {
  static const std::vector<ResultAction> menu = {ResultAction::kOpenPdf,
                                                 ResultAction::kCopyPdfToDesktop,
                                                 ResultAction::kCopyInfoToClipboard,
                                                 ResultAction::kOpenDetailPage,
                                                 ResultAction::kExportCompatibleCsv,
                                                 ResultAction::kOpenLocation};
  return menu;
}

std::string_view ActionText(ResultAction action) {
  switch (action) {
    case ResultAction::kOpenPdf:
      return SJIS("PDFを開く");
    case ResultAction::kCopyPdfToDesktop:
      return SJIS("PDFをﾃﾞｽｸﾄｯﾌﾟへCopy");
    case ResultAction::kCopyInfoToClipboard:
      return SJIS("情報をクリップボードへCopy");
    case ResultAction::kOpenDetailPage:
      return SJIS("詳細HTMLを開く");
    case ResultAction::kOpenLocation:
      return SJIS("所在地を開く");
    case ResultAction::kExportCompatibleCsv:
      return SJIS("互換CSV出力");
    case ResultAction::kCollectDragFiles:
      break;
  }
  return {};
}

std::vector<std::string> SearchWindow::RunAction(ResultAction action) {
  ReadFields();
  return RunResultAction(state_, results_, fields_.selected, action);
}

void SearchWindow::DoubleClick() {
  ReadFields();
  const int index = fields_.state.doubleClick;
  if (index < static_cast<int>(ResultAction::kOpenPdf) ||
      index > static_cast<int>(ResultAction::kOpenLocation))
    return;
  RunResultAction(state_, results_, fields_.selected, static_cast<ResultAction>(index));
}

}  // namespace kestrova
