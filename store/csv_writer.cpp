#include "store/csv_writer.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "foundation/files.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "store/field_resolution.h"
#include "store/program_state.h"

namespace kestrova {

std::string NormaliseDate(std::string_view text) {
  std::string copy = RemovePattern(text, "(*)", "");
  char out[32];
  TextList slash(copy, "/");
  if (slash.Count() == 3) {
    std::snprintf(out, sizeof out, "%04d/%02d/%02d", ToInt(slash.View(0)), ToInt(slash.View(1)),
                  ToInt(slash.View(2)));
    return out;
  }
  std::string_view first = slash.View(0);
  if (!first.empty() && (first[0] == '1' || first[0] == '2')) {
    TextList parts(copy, SJIS("年;月;日"));
    int month = ToInt(parts.View(1));
    int day = ToInt(parts.View(2));
    std::snprintf(out, sizeof out, "%04d/%02d/%02d", ToInt(parts.View(0)), month > 0 ? month : 1,
                  day > 0 ? day : 1);
    return out;
  }
  TextList parts(copy, SJIS("月;年;"));
  std::string_view eraPiece = parts.View(0);
  int eraYear = eraPiece.size() > 4 ? ToInt(eraPiece.substr(4)) : 0;
  if (eraYear <= 0) return {};
  int month = ToInt(parts.View(1));
  if (month < 1 || month > 12) month = 1;
  static const std::pair<const char*, int> kEras[] = {
      {"平成", 1988}, {"昭和", 1925}, {"大正", 1911}, {"明治", 1867}};
  std::string_view era = text.substr(0, 4);
  for (const auto& [name, offset] : kEras) {
    if (era == Sjis(name)) {
      std::snprintf(out, sizeof out, "%04d/%02d/01", eraYear + offset, month);
      return out;
    }
  }
  return {};
}

void FormatValue(std::string_view value, std::string_view type, const CsvLayout& layout,
                 std::string& out) {
  const char kind = type.empty() ? '\0' : type[0];
  std::string_view rest = type.empty() ? type : type.substr(1);
  switch (kind) {
    case 'S': {
      std::string_view shown = value.empty() ? rest : value;
      out += '"';
      // A quote inside the value is doubled, so a spreadsheet reads the cell intact.
      for (char c : shown) {
        out += c;
        if (c == '"') out += '"';
      }
      out += '"';
      break;
    }
    case 'N':
      if (value.empty()) {
        out.append(rest);
      } else {
        for (std::size_t i = 0; i < value.size(); i += CharLength(value, i)) {
          char c = value[i];
          if (CharLength(value, i) == 1 && ((c >= '0' && c <= '9') || c == '.')) out += c;
        }
      }
      break;
    case 'D':
      out += NormaliseDate(value);
      break;
    default:
      out.append(value);
      break;
  }
  out.append(layout.separator);
}

std::string BuildCsv(const ProgramState& state, const TextList& records, const CsvLayout& layout) {
  std::string out;
  for (int j = 0; j < layout.Columns(); ++j) {
    out += '"';
    out.append(layout.headings.View(j));
    out += '"';
    out.append(layout.separator);
  }
  out += "\r\n";
  for (std::size_t i = 0; i < layout.blankText.size(); ++i) out += "\r\n";
  // Each column's spec is compiled once per type's column-name list, on first use.
  std::vector<std::unique_ptr<CompiledSpec>> compiled(static_cast<std::size_t>(10 * layout.Columns()));
  const std::string comma = ",";
  const std::string ideographicComma = SJIS("、");
  TextList fields, detail, deal;
  out.reserve(out.size() + static_cast<std::size_t>(records.Count()) * static_cast<std::size_t>(layout.Columns()) * 8);
  for (int r = 0; r < records.Count(); ++r) {
    std::string_view line = records.View(r);
    if (line.empty()) continue;
    fields.Split(line, "\t");
    std::string_view type = fields.View(1);
    if (type.empty()) continue;
    const int list = state.headerLists.IndexForType(type);
    const TextList& names = state.headerLists.lists[list];
    LoadExtras(state, names, fields, detail, deal);
    for (int j = 0; j < layout.Columns(); ++j) {
      auto& spec = compiled[static_cast<std::size_t>(list * layout.Columns() + j)];
      if (!spec) spec = std::make_unique<CompiledSpec>(layout.sources.View(j), names, state.detailHeader.lines);
      std::string value = spec->Resolve(fields, detail, deal);
      if (value.find(',') != std::string::npos) ReplaceAllInPlace(value, comma, ideographicComma);
      FormatValue(value, layout.types.View(j), layout, out);
    }
    out += "\r\n";
  }
  return out;
}

bool WriteCsv(const ProgramState& state, const TextList& records, const std::string& path,
              const CsvLayout& layout) {
  return WriteFileAtomic(path, BuildCsv(state, records, layout));
}

namespace {

void WriteFromStoreFile(const ProgramState& state, const char* source, const char* csvName,
                        const char* kanriName) {
  TextList records;
  records.LoadLines(state.PathOf(source));
  WriteCsv(state, records, state.PathOf(csvName), state.csvLayout);
  WriteCsv(state, records, state.PathOf(kanriName), state.kanriLayout);
}

}  // namespace

void WriteTotalCsv(const ProgramState& state) {
  WriteFromStoreFile(state, "\\dat\\TotalData.txt", "\\csv_total\\TotalData_csvdata.csv",
                     "\\csv_total\\TotalData_kanri_csvdata.csv");
}

void WritePastCsv(const ProgramState& state) {
  WriteFromStoreFile(state, "\\dat\\TotalData_Kako.txt", "\\csv_total\\TotalData_kako_csvdata.csv",
                     "\\csv_total\\TotalData_kanri_kako_csvdata.csv");
}

}  // namespace kestrova
