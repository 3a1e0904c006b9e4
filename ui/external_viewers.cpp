#include "ui/external_viewers.h"

#include <cstdio>

#include "foundation/platform/platform.h"
#include "foundation/settings_keys.h"
#include "foundation/sjis.h"
#include "foundation/system_utils.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/csv_writer.h"
#include "store/error_log.h"
#include "store/program_state.h"
#include "store/property_record.h"

namespace kestrova {

std::string HexEscape(std::string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(text.size() * 3);
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    escaped += '%';
    escaped += kDigits[byte >> 4];
    escaped += kDigits[byte & 0x0F];
  }
  return escaped;
}

int FindAssociatedProgram(std::string_view extension, std::string& commandTemplate) {
  commandTemplate.clear();
  const std::string program = platform::FindProgramFor(extension);
  if (program.empty()) return -1;
  commandTemplate = "\"" + platform::ProgramPath(program) + "\" \"%PARAM%\"";
  return 0;
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  // A cp932 trail byte is 0x40 or above: never a blank or a double quote.
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

bool LaunchWithParam(ProgramState& state, std::string_view parameter) {
  if (parameter.size() > kMaxLocationBytes) return false;
  std::string commandTemplate;
  if (FindAssociatedProgram(".html", commandTemplate) != 0) return false;
  std::vector<std::string> words = SplitCommandLine(commandTemplate);
  if (words.empty()) return false;
  const std::string escaped = HexEscape(parameter);
  const std::string address(state.settings.GetView(keys::kMapAddress));
  for (std::string& word : words) {
    ReplaceAllInPlace(word, "%PARAM%", address);
    ReplaceAllInPlace(word, "%PARAM%", parameter);
    ReplaceAllInPlace(word, "%PARAM_SJISHEX%", escaped);
  }
  const std::string program = std::move(words.front());
  words.erase(words.begin());
  return state.desktop->StartProgram(program, words);
}

bool ExportCompatibleCsv(ProgramState& state, const std::set<std::string>& numbers) {
  TextList lines;
  lines.LoadLines(state.PathOf("\\dat\\TotalData.txt"), 1, state.desktop);
  TextList kept;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string_view line = lines.View(i);
    if (numbers.count(std::string(RecordField(line, kFieldNumber))) != 0) kept.Add(line);
  }
  const std::string path =
      state.PathOf(SJIS("\\csv_total\\TotalData_csvdata(検索管理データより).csv"));
  if (WriteCsv(state, kept, path, state.csvLayout) != 0) {
    LogWriteFailure(state, kCsvWriteFailed, path);
    state.desktop->Message(SJIS("書き込みできませんでした: ") + platform::DisplayPath(path),
                           "Kestrova", MessageIcon::kWarning, MessageButtons::kOk);
    return false;
  }
  ShellOpen(*state.desktop, state.PathOf("\\csv_total"));
  return true;
}

}  // namespace kestrova
