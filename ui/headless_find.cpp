#include "ui/headless_find.h"

#include <algorithm>
#include <array>

#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "store/program_state.h"
#include "ui/console_view.h"
#include "ui/search_window.h"

namespace kestrova {

namespace {

bool IsDate(const std::string& t) {
  if (t.size() != 10 || t[4] != '/' || t[7] != '/') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (t[i] < '0' || t[i] > '9') return false;
  }
  return true;
}

// The index of text in entries, or -1.
int IndexOf(const std::vector<std::string>& entries, const std::string& text) {
  auto at = std::find(entries.begin(), entries.end(), text);
  return at == entries.end() ? -1 : static_cast<int>(at - entries.begin());
}

// Every row as the clipboard copy has it, in UTF-8, converted a block of whole rows at a time
// so that a million rows never stand in memory as text. The rows stand in file order, current
// data first: the pages of each file behind the row written are given back as the rows go.
void WriteRows(const SearchResults& results, int columns, const ManagementData& data,
               std::FILE* rows) {
  constexpr std::size_t kBlock = 1 << 20;
  std::string text;
  text.reserve(kBlock + 4096);
  const std::array<const LineFile*, 2> files = {&data.current, &data.past};
  std::array<std::size_t, 2> released = {0, 0};
  auto passed = [&](std::string_view line) {
    for (std::size_t f = 0; f < files.size(); ++f) {
      const std::string_view whole = files[f]->Text();
      if (line.data() >= whole.data() && line.data() < whole.data() + whole.size()) {
        files[f]->ReleasePassed(static_cast<std::size_t>(line.data() - whole.data()), released[f]);
      }
    }
  };
  auto flush = [&] {
    const std::string utf8 = Utf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), rows);
    text.clear();
  };
  for (int row = 0; row < results.RowCount(); ++row) {
    results.AppendRowText(row, columns, text);
    passed(results.RawLine(row));
    if (text.size() >= kBlock) flush();
  }
  flush();
  std::fflush(rows);
}

}  // namespace

bool FindOptions::Any() const {
  return keys || from || to || type || plan || station || lists[0] || lists[1] || lists[2] ||
         past || unique;
}

int ParseFindOption(const std::vector<std::string>& args, std::size_t& i, FindOptions& options,
                    std::string& error) {
  const std::string& name = args[i];
  std::optional<std::string>* text = name == "--keys"      ? &options.keys
                                     : name == "--from"    ? &options.from
                                     : name == "--to"      ? &options.to
                                     : name == "--station" ? &options.station
                                     : name == "--list1"   ? &options.lists[0]
                                     : name == "--list2"   ? &options.lists[1]
                                     : name == "--list3"   ? &options.lists[2]
                                                           : nullptr;
  std::optional<int>* number = name == "--type"     ? &options.type
                               : name == "--plan"   ? &options.plan
                               : name == "--past"   ? &options.past
                               : name == "--unique" ? &options.unique
                                                    : nullptr;
  if (text == nullptr && number == nullptr) return 0;
  if (i + 1 >= args.size()) {
    error = name + " needs a value";
    return -1;
  }
  const std::string& value = args[++i];
  if (number != nullptr) {
    const int highest = (name == "--type" || name == "--plan") ? 2 : 1;
    if (value.size() != 1 || value[0] < '0' || value[0] > '0' + highest) {
      error = name + " takes 0" + (highest == 2 ? ", 1 or 2" : " or 1") + ", not " + value;
      return -1;
    }
    *number = value[0] - '0';
    return 1;
  }
  // An empty value is a choice too: no keys, no date, every station.
  if ((name == "--from" || name == "--to") && !value.empty() && !IsDate(value)) {
    error = name + " takes a date YYYY/MM/DD, not " + value;
    return -1;
  }
  const std::string cp932 = Sjis(value);
  if (Utf8(cp932) != value) {
    error = name + " holds a character that code page 932 cannot write: " + value;
    return -1;
  }
  if (name == "--keys" && std::count(value.begin(), value.end(), ';') > 8) {
    error = "--keys holds at most 9 keys";
    return -1;
  }
  *text = cp932;
  return 1;
}

std::string FindUsage() {
  return "  find options (each overrides the saved search for this run; the run saves it):\n"
         "      --keys \"k1;...;k9\"   the nine keys, column 1 rows 1-3 first;\n"
         "                           columns are AND-ed, the rows of a column OR-ed\n"
         "      --from YYYY/MM/DD    --to YYYY/MM/DD   update date range (empty: open)\n"
         "      --type 0|1|2         sale, rent, both      --plan 0|1|2   with plan, without, "
         "both\n"
         "      --station TEXT       a station of the current data\n"
         "      --list1..3 ENTRY     an entry of key list 1-3, as if chosen there\n"
         "      --past 0|1           include past data     --unique 0|1   hide duplicates\n"
         "    rows on standard output, TAB after every cell; last line of standard error: the\n"
         "    window title with shown/walked counts; exit 1 when there is no management data, 2\n"
         "    for a station or key-list entry that is not there\n";
}

int RunFind(ProgramState& state, const FindOptions& options, std::FILE* rows, std::FILE* console,
            std::string& title) {
  ConsoleSearchView view;
  SearchWindow window(state, view);
  // The stations are gathered only to find the one asked for.
  // One search, its rows written in file order: the data's pages are given back as each pass
  // goes by.
  if (!window.Load(options.station && !options.station->empty(), true)) return 1;
  SearchFields& fields = window.Fields();
  SearchState& s = fields.state;
  if (options.keys) s.keys = SplitSearchKeys(*options.keys);
  if (options.from) s.startDate = *options.from;
  if (options.to) s.endDate = *options.to;
  if (options.type) s.type = *options.type;
  if (options.plan) s.plan = *options.plan;
  if (options.past) s.pastData = *options.past;
  if (options.unique) s.hideDuplicates = *options.unique;
  if (options.station) {
    fields.station = options.station->empty() ? 0 : IndexOf(fields.stations, *options.station);
    if (fields.station < 0) {
      std::fprintf(console, "kestrova: no station \"%s\" in the current data\n",
                   Utf8(VisibleText(*options.station)).c_str());
      return 2;
    }
  }
  for (std::size_t list = 0; list < 3; ++list) {
    if (!options.lists[list]) continue;
    fields.keyListSelection[list] = IndexOf(fields.keyLists[list], *options.lists[list]);
    if (fields.keyListSelection[list] < 0) {
      std::fprintf(console, "kestrova: no entry \"%s\" in key list %d\n",
                   Utf8(VisibleText(*options.lists[list])).c_str(), static_cast<int>(list) + 1);
      return 2;
    }
  }
  window.RunSearch();
  WriteRows(window.Results(), window.Layout().Columns(), window.Data(), rows);
  window.Close();
  title = view.Title();
  return 0;
}

}  // namespace kestrova
