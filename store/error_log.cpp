#include "store/error_log.h"

#include <cstdio>

#include "foundation/dates.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "store/program_state.h"

namespace kestrova {

std::string FormatErrorLine(std::string_view time, int code, std::string_view text) {
  char number[16];
  std::snprintf(number, sizeof number, "%5d", code);
  std::string line(time);
  line += '\t';
  line += number;
  line += '\t';
  line += text;
  return line;
}

void LogError(ProgramState& state, int code, std::string_view text) {
  // Texts from pages and options: no control byte reaches the log, where it could pass for a
  // line end or a terminal's escape sequence when the log is read.
  state.errorList.Add(FormatErrorLine(Now(*state.clock), code, VisibleText(text)));
}

void LogWriteFailure(ProgramState& state, int code, std::string_view path) {
  LogError(state, code, SJIS("書き込みできませんでした: ") + platform::DisplayPath(path));
  ++state.failedWrites;
}

}  // namespace kestrova
