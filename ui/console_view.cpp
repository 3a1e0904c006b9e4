#include "ui/console_view.h"

#include "foundation/sjis.h"
#include "foundation/text_functions.h"

namespace kestrova {

void ConsoleMainWindowView::SearchProgress(int done, int total) {
  done_ = done;
  total_ = total;
}

void ConsoleMainWindowView::ShowFields(const MainFields& fields) {
  if (fields.statusLine != status_) {
    status_ = fields.statusLine;
    if (total_ > 0 && done_ <= total_ && !status_.empty() && status_[0] == '(') {
      // A search form's status: prefix the running count of the run's forms.
      Print(SJIS("検索 ") + std::to_string(done_) + "/" + std::to_string(total_) + " " + status_);
    } else if (!status_.empty()) {
      Print(status_);
    }
  }
  // The fee box is what the fee check is for; a search shows it too, once per login.
  if (fields.fee != fee_) {
    fee_ = fields.fee;
    if (!fee_.empty()) Print(SJIS("前日までの利用料：") + fee_);
  }
  if (fields.logBox != log_) {
    log_ = fields.logBox;
    // "_" only clears the box between the rows of a page.
    if (!log_.empty() && log_ != "_") Print(log_);
  }
}

void ConsoleMainWindowView::Print(const std::string& cp932) {
  std::string line = Utf8(VisibleText(cp932, true));
  std::string out;
  out.reserve(line.size() + 8);
  for (char c : line) {
    if (c == '\r') continue;
    out += c;
    if (c == '\n') out += "  ";
  }
  std::fprintf(out_, "%s\n", out.c_str());
  std::fflush(out_);
}

void ConsoleMaintenanceView::ShowFields(const MaintenanceFields& fields) {
  if (fields.statusLine == shown_) return;
  const auto now = std::chrono::steady_clock::now();
  // A page count ("i/count ...") may be skipped; the completion and the other results never.
  const bool counting = fields.statusLine.find("...") != std::string::npos &&
                        fields.statusLine.find(SJIS("完了")) == std::string::npos;
  if (counting && now - last_ < std::chrono::milliseconds(250)) return;
  last_ = now;
  shown_ = fields.statusLine;
  std::fprintf(out_, "%s\n", Utf8(VisibleText(shown_)).c_str());
  std::fflush(out_);
}

}  // namespace kestrova
