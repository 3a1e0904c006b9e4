#include "ui/console_view.h"

#include "foundation/sjis.h"

namespace kestrova {

void ConsoleView::SearchProgress(int done, int total) {
  done_ = done;
  total_ = total;
}

void ConsoleView::ShowFields(const MainFields& fields) {
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

void ConsoleView::Print(const std::string& cp932) {
  std::string line = Utf8(cp932);
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

}  // namespace kestrova
