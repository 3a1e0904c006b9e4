#include "ui/run_history.h"

#include <vector>

#include "foundation/files.h"
#include "foundation/sjis.h"

namespace kestrova {

namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

// The non-empty lines of the file, CR LF or LF ended.
std::vector<std::string> LinesOf(const std::string& path) {
  std::string bytes;
  std::vector<std::string> lines;
  if (!ReadWholeFile(path, bytes)) return lines;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(std::move(line));
    at = end + 1;
  }
  return lines;
}

}  // namespace

std::string HistoryLine(const RunRecord& run) {
  std::string line = run.start + "\t" + run.end + "\t" + run.command;
  for (long long n :
       {static_cast<long long>(run.status), run.recordsBefore, run.recordsAfter, run.NewRecords(),
        static_cast<long long>(run.pagesFetched), static_cast<long long>(run.pdfsFetched),
        static_cast<long long>(run.dealsBefore), static_cast<long long>(run.dealsAfter),
        static_cast<long long>(run.errorLines), static_cast<long long>(run.cutSearches),
        static_cast<long long>(run.stopped ? 1 : 0)})
    line += "\t" + std::to_string(n);
  return line;
}

bool AppendHistoryLine(const std::string& path, std::string_view line) {
  std::vector<std::string> lines = LinesOf(path);
  lines.emplace_back(line);
  const std::size_t first =
      lines.size() > static_cast<std::size_t>(kHistoryLines) ? lines.size() - kHistoryLines : 0;
  std::string bytes;
  for (std::size_t i = first; i < lines.size(); ++i) bytes += lines[i] + "\r\n";
  return WriteFileAtomic(path, bytes);
}

std::string LastHistoryLine(const std::string& path) {
  std::vector<std::string> lines = LinesOf(path);
  return lines.empty() ? std::string() : lines.back();
}

std::string DescribeHistoryLine(std::string_view line) {
  const std::vector<std::string_view> f = SplitFields(line);
  if (f.size() < 14) return std::string(line);
  std::string text = std::string(f[0]) + " " + std::string(f[2]) + SJIS(" 終了コード ") +
                     std::string(f[3]) + SJIS("：新着 ") + std::string(f[6]) + SJIS(" 件");
  if (f[2].find("deals") != std::string_view::npos)
    text += SJIS("、成約 ") + std::string(f[9]) + SJIS("→") + std::string(f[10]) + SJIS(" 件");
  if (f[11] != "0") text += SJIS("、エラー ") + std::string(f[11]) + SJIS(" 行");
  if (f[13] == "1") text += SJIS("（中止）");
  return text;
}

std::string NoticeText(const RunRecord& run, bool deals) {
  const std::string head = "Kestrova: ";
  if (run.stopped) return head + SJIS("中止しました");
  if (run.status == 1 || run.status == 2) {
    const std::string why =
        run.failure.empty() ? SJIS("終了コード ") + std::to_string(run.status) : run.failure;
    return head + SJIS("取得に失敗しました（") + why + SJIS("）");
  }
  std::string text = head + SJIS("新着 ") + std::to_string(run.NewRecords()) + SJIS(" 件");
  if (deals) text += SJIS("、成約 ") + std::to_string(run.NewDeals()) + SJIS(" 件");
  if (run.status == 3) text += SJIS("（保存できなかったファイルがあります）");
  if (run.cutSearches > 0) text += SJIS("（100件で打ち切られた検索があります）");
  return text;
}

}  // namespace kestrova
