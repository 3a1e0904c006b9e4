#include "store/csv_writer.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "foundation/files.h"
#include "foundation/message_pump.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"
#include "store/csv_layout.h"
#include "store/error_log.h"
#include "store/field_resolution.h"
#include "store/program_state.h"

namespace kestrova {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// printf's "%0*d" for any value: the sign counts towards the width, zeros follow it.
void AppendPadded(long long value, int width, std::string& out) {
  char digits[24];
  int n = 0;
  const bool negative = value < 0;
  unsigned long long u = negative ? 0ULL - static_cast<unsigned long long>(value)
                                  : static_cast<unsigned long long>(value);
  do {
    digits[n++] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (negative) out += '-';
  for (int k = n + (negative ? 1 : 0); k < width; ++k) out += '0';
  while (n > 0) out += digits[--n];
}

void AppendDate(long long year, long long month, long long day, std::string& out) {
  AppendPadded(year, 4, out);
  out += '/';
  AppendPadded(month, 2, out);
  out += '/';
  AppendPadded(day, 2, out);
}

// "dddd/dd/dd" in ASCII digits, which normalises to itself.
bool IsNormalDate(std::string_view t) {
  if (t.size() != 10 || t[4] != '/' || t[7] != '/') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (t[i] < '0' || t[i] > '9') return false;
  }
  return true;
}

void AppendNormalisedDate(std::string_view text, std::string& out) {
  if (IsNormalDate(text)) {
    out.append(text);
    return;
  }
  // Remarks in parentheses go first; '(' is below 0x40 and so never a trail byte.
  std::string removed;
  std::string_view copy = text;
  if (text.find('(') != npos) {
    removed = RemovePattern(text, "(*)", "");
    copy = removed;
  }
  std::string_view p[3];
  FirstPieces(copy, {"/"}, p, 3);
  // Exactly three pieces at "/" ('/' is never a trail byte either).
  if (!copy.empty() && std::count(copy.begin(), copy.end(), '/') == 2) {
    AppendDate(ToInt(p[0]), ToInt(p[1]), ToInt(p[2]), out);
    return;
  }
  if (!p[0].empty() && (p[0][0] == '1' || p[0][0] == '2')) {
    static const std::string kYear = Sjis("年"), kMonth = Sjis("月"), kDay = Sjis("日");
    FirstPieces(copy, {kYear, kMonth, kDay}, p, 3);
    const int month = ToInt(p[1]);
    const int day = ToInt(p[2]);
    AppendDate(ToInt(p[0]), month > 0 ? month : 1, day > 0 ? day : 1, out);
    return;
  }
  // A Japanese era date: the era from the text as given, the year after its two characters.
  static const std::string kMonth = Sjis("月"), kYear = Sjis("年");
  FirstPieces(copy, {kMonth, kYear}, p, 2);
  const int eraYear = p[0].size() > 4 ? ToInt(p[0].substr(4)) : 0;
  if (eraYear <= 0) return;
  int month = ToInt(p[1]);
  if (month < 1 || month > 12) month = 1;
  static const std::pair<std::string, int> kEras[] = {
      {Sjis("平成"), 1988}, {Sjis("昭和"), 1925}, {Sjis("大正"), 1911}, {Sjis("明治"), 1867}};
  const std::string_view era = text.substr(0, 4);
  for (const auto& [name, offset] : kEras) {
    if (era == name) {
      AppendDate(static_cast<long long>(eraYear) + offset, month, 1, out);
      return;
    }
  }
}

// A growing byte buffer written through a pointer: Room(n) gives a place for n more bytes, and
// SetEnd keeps what was written up to the given end.
class Bytes {
 public:
  char* Room(std::size_t n) {
    if (size_ + n > capacity_) Grow(size_ + n);
    return data_.get() + size_;
  }
  void SetEnd(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
  void Append(std::string_view text) {
    char* p = Room(text.size());
    if (!text.empty()) std::memcpy(p, text.data(), text.size());
    size_ += text.size();
  }
  std::string_view View() const { return {data_.get(), size_}; }
  std::size_t size() const { return size_; }
  void Clear() { size_ = 0; }

 private:
  void Grow(std::size_t needed) {
    std::size_t capacity = std::max<std::size_t>(needed, capacity_ * 2 + 4096);
    std::unique_ptr<char[]> data(new char[capacity]);
    if (size_) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// Copies text to p, which has room for twice its length; a double quote is doubled, and with
// replaceCommas a "," becomes "、". Both bytes are below 0x40, so neither can be the trail byte
// of a double-byte character. The end of what was written.
char* WriteEscaped(std::string_view text, bool doubleQuotes, bool replaceCommas, char* p) {
  const char* at = text.data();
  const char* const end = at + text.size();
  while (at < end) {
    const char* plain = at;
    while (plain < end && *plain != ',' && *plain != '"') ++plain;
    std::memcpy(p, at, static_cast<std::size_t>(plain - at));
    p += plain - at;
    if (plain == end) break;
    if (*plain == ',' && replaceCommas) {
      *p++ = '\x81';  // "、"
      *p++ = '\x41';
    } else if (*plain == '"' && doubleQuotes) {
      *p++ = '"';
      *p++ = '"';
    } else {
      *p++ = *plain;
    }
    at = plain + 1;
  }
  return p;
}

void AppendEscaped(std::string_view text, bool doubleQuotes, bool replaceCommas, Bytes& out) {
  out.SetEnd(WriteEscaped(text, doubleQuotes, replaceCommas, out.Room(2 * text.size())));
}

// dateScratch: working space of a date that needs normalising.
void AppendCell(std::string_view value, std::string_view type, std::string_view separator,
                bool replaceCommas, Bytes& out, std::string& dateScratch) {
  const char kind = type.empty() ? '\0' : type[0];
  const std::string_view rest = type.empty() ? type : type.substr(1);
  // A value or default at most doubles; a date is at most three numbers of 20 digits.
  char* p = out.Room(2 * value.size() + 2 * rest.size() + separator.size() + 96);
  switch (kind) {
    case 'S':
      *p++ = '"';
      p = value.empty() ? WriteEscaped(rest, true, false, p)
                        : WriteEscaped(value, true, replaceCommas, p);
      *p++ = '"';
      break;
    case 'N':
      // Commas and their replacement are dropped here anyway: only ASCII digits and "." stay.
      if (value.empty()) {
        std::memcpy(p, rest.data(), rest.size());
        p += rest.size();
      } else {
        for (std::size_t i = 0; i < value.size(); ++i) {
          const char c = value[i];
          if (IsLeadByte(static_cast<unsigned char>(c))) {
            ++i;  // with its trail byte
          } else if ((c >= '0' && c <= '9') || c == '.') {
            *p++ = c;
          }
        }
      }
      break;
    case 'D':
      if (IsNormalDate(value)) {
        std::memcpy(p, value.data(), value.size());
        p += value.size();
        break;
      }
      dateScratch.clear();
      if (replaceCommas && value.find(',') != npos) {
        AppendNormalisedDate(ReplaceAll(value, ",", SJIS("、")), dateScratch);
      } else {
        AppendNormalisedDate(value, dateScratch);
      }
      std::memcpy(p, dateScratch.data(), dateScratch.size());
      p += dateScratch.size();
      break;
    default:
      p = WriteEscaped(value, false, replaceCommas, p);
      break;
  }
  std::memcpy(p, separator.data(), separator.size());
  out.SetEnd(p + separator.size());
}

// The layout's columns compiled for one type's column-name list, on first use.
struct TypeColumns {
  bool ready = false;
  std::vector<CompiledSpec> specs;
  int numberColumn = -1;
  bool needsDetail = false;
  bool needsDeal = false;
};

void Compile(const ProgramState& state, const CsvLayout& layout, const TextList& names,
             TypeColumns& type) {
  type.ready = true;
  type.numberColumn = PropertyNumberColumn(names);
  type.specs.reserve(static_cast<std::size_t>(layout.Columns()));
  for (int j = 0; j < layout.Columns(); ++j) {
    type.specs.emplace_back(layout.sources.View(j), names, state.detailHeader.lines);
    type.needsDetail = type.needsDetail || type.specs.back().NeedsDetail();
    type.needsDeal = type.needsDeal || type.specs.back().NeedsDeal();
  }
}

constexpr int kPumpEvery = 4096;  // records between two looks at the window messages

}  // namespace

std::string NormaliseDate(std::string_view text) {
  std::string out;
  AppendNormalisedDate(text, out);
  return out;
}

void FormatValue(std::string_view value, std::string_view typeCode, const CsvLayout& layout,
                 std::string& out) {
  Bytes cell;
  std::string dateScratch;
  AppendCell(value, typeCode, layout.separator, false, cell, dateScratch);
  out.append(cell.View());
}

namespace {

// One layout's CSV text, record by record. The text gathers in out; with a file behind it, every
// full 256 KB go on to the file, so no CSV file is ever held whole in memory.
class CsvText {
 public:
  CsvText(const ProgramState& state, const CsvLayout& layout, AtomicFileWriter* file)
      : state_(state), layout_(layout), file_(file) {
    types_.reserve(static_cast<std::size_t>(layout.Columns()));
    for (int j = 0; j < layout.Columns(); ++j) types_.push_back(layout.types.View(j));
    for (int j = 0; j < layout.Columns(); ++j) {
      // A quote in a heading is doubled like one in a value, so the heading cell stays whole.
      out_.Append("\"");
      AppendEscaped(layout.headings.View(j), true, false, out_);
      out_.Append("\"");
      out_.Append(layout.separator);
    }
    out_.Append("\r\n");
    for (std::size_t i = 0; i < layout.blankText.size(); ++i) out_.Append("\r\n");
  }

  // The columns of a type's list, compiled on its first record.
  const TypeColumns& Columns(int list) {
    TypeColumns& type = perType_[list];
    if (!type.ready) Compile(state_, layout_, state_.headerLists.lists[list], type);
    return type;
  }

  void Add(const TypeColumns& type, const Pieces& fields, const Pieces& detail, const Pieces& deal,
           ResolveScratch& scratch) {
    for (std::size_t j = 0; j < types_.size(); ++j) {
      const std::string_view value = type.specs[j].Resolve(fields, detail, deal, scratch);
      AppendCell(value, types_[j], layout_.separator, true, out_, dateScratch_);
    }
    out_.Append("\r\n");
    if (file_ && out_.size() >= kChunk) {
      file_->Write(out_.View());
      out_.Clear();
    }
  }

  // The text not yet handed to the file: with no file, the whole CSV.
  std::string_view Rest() const { return out_.View(); }

 private:
  static constexpr std::size_t kChunk = 256 << 10;

  const ProgramState& state_;
  const CsvLayout& layout_;
  AtomicFileWriter* file_;
  std::vector<std::string_view> types_;
  TypeColumns perType_[10];
  Bytes out_;
  std::string dateScratch_;
};

// Every record goes through each text in one pass: a record is split, and its detail and
// closed-deal entries are looked up, once for all the layouts.
class RecordFeed {
 public:
  // pump: the window's messages are handled every so many records (none on a second thread).
  RecordFeed(const ProgramState& state, std::vector<CsvText*> texts, MessagePump* pump)
      : state_(state), pump_(pump), texts_(std::move(texts)), types_(texts_.size()) {}

  void Add(std::string_view record) {
    if (++records_ % kPumpEvery == 0) PumpMessages(pump_, 1);
    SplitPieces(record, '\t', fields_);
    const std::string_view typeText = PieceAt(fields_, 1);
    if (typeText.empty()) return;  // also every empty line
    const int list = state_.headerLists.IndexForType(typeText);
    bool needsDetail = false, needsDeal = false;
    for (std::size_t t = 0; t < texts_.size(); ++t) {
      types_[t] = &texts_[t]->Columns(list);
      needsDetail = needsDetail || types_[t]->needsDetail;
      needsDeal = needsDeal || types_[t]->needsDeal;
    }
    // The number column belongs to the type's list, the same for every layout.
    LoadExtras(state_, types_[0]->numberColumn, fields_, needsDetail ? &detail_ : nullptr,
               needsDeal ? &deal_ : nullptr);
    // The splits of the station and location columns serve every layout of the record.
    scratch_.NewRecord();
    for (std::size_t t = 0; t < texts_.size(); ++t)
      texts_[t]->Add(*types_[t], fields_, detail_, deal_, scratch_);
  }

  void Add(const TextList& records) {
    for (int r = 0; r < records.Count(); ++r) Add(records.View(r));
  }

 private:
  const ProgramState& state_;
  MessagePump* pump_;
  std::vector<CsvText*> texts_;
  std::vector<const TypeColumns*> types_;
  Pieces fields_, detail_, deal_;
  ResolveScratch scratch_;
  long long records_ = 0;
};

}  // namespace

std::string BuildCsv(const ProgramState& state, const TextList& records, const CsvLayout& layout) {
  CsvText text(state, layout, nullptr);
  RecordFeed(state, {&text}, state.desktop).Add(records);
  return std::string(text.Rest());
}

int WriteCsv(const ProgramState& state, const TextList& records, const std::string& path,
             const CsvLayout& layout) {
  AtomicFileWriter file(path);
  CsvText text(state, layout, &file);
  RecordFeed(state, {&text}, state.desktop).Add(records);
  file.Write(text.Rest());
  return file.Commit() ? 0 : -1;
}

namespace {

constexpr const char* kTotalFiles[] = {"\\dat\\TotalData.txt", "\\csv_total\\TotalData_csvdata.csv",
                                       "\\csv_total\\TotalData_kanri_csvdata.csv"};
constexpr const char* kPastFiles[] = {"\\dat\\TotalData_Kako.txt",
                                      "\\csv_total\\TotalData_kako_csvdata.csv",
                                      "\\csv_total\\TotalData_kanri_kako_csvdata.csv"};

// Both CSV files of a store file ({store file, CSV file, management CSV file}). Fill reads the
// store file, 256 KB at a time, and writes both temporary files in one pass over its records;
// Commit puts them in place. Fill touches nothing but its own files and what it reads of the
// state, so two of them can fill at once.
class StoreCsvFiles {
 public:
  StoreCsvFiles(const ProgramState& state, const char* const (&names)[3])
      : state_(state),
        source_(state.PathOf(names[0])),
        csvPath_(state.PathOf(names[1])),
        kanriPath_(state.PathOf(names[2])),
        csvFile_(csvPath_),
        kanriFile_(kanriPath_),
        csv_(state, state.csvLayout, &csvFile_),
        kanri_(state, state.kanriLayout, &kanriFile_) {}

  void Fill(MessagePump* pump) {
    RecordFeed feed(state_, {&csv_, &kanri_}, pump);
    (void)ForEachLineOfFile(source_, [&](std::string_view record) {
      feed.Add(record);
      return true;
    });
    csvFile_.Write(csv_.Rest());
    kanriFile_.Write(kanri_.Rest());
  }

  // 0 when both files were written; each that could not be is logged with its path, and the
  // other is still put in place.
  int Commit(ProgramState& state) {
    int result = 0;
    for (auto [file, path] : {std::pair{&csvFile_, &csvPath_}, {&kanriFile_, &kanriPath_}}) {
      if (file->Commit()) continue;
      LogWriteFailure(state, kCsvWriteFailed, *path);
      result = -1;
    }
    return result;
  }

 private:
  const ProgramState& state_;
  const std::string source_, csvPath_, kanriPath_;
  AtomicFileWriter csvFile_, kanriFile_;
  CsvText csv_, kanri_;
};

int WriteFromStoreFile(ProgramState& state, const char* const (&names)[3]) {
  StoreCsvFiles files(state, names);
  files.Fill(state.desktop);
  return files.Commit(state);
}

}  // namespace

int WriteTotalCsv(ProgramState& state) { return WriteFromStoreFile(state, kTotalFiles); }

int WritePastCsv(ProgramState& state) { return WriteFromStoreFile(state, kPastFiles); }

int WritePastAndTotalCsv(ProgramState& state) {
  StoreCsvFiles past(state, kPastFiles);
  StoreCsvFiles total(state, kTotalFiles);
  // The total files fill on a second thread while this one fills the past files and keeps the
  // window answering; without a second thread they fill here afterwards.
  std::future<void> totalFilled;
  try {
    totalFilled = std::async(std::launch::async, [&total] { total.Fill(nullptr); });
  } catch (const std::system_error&) {
  }
  past.Fill(state.desktop);
  if (totalFilled.valid()) {
    while (totalFilled.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
      PumpMessages(state.desktop, 1);
    totalFilled.get();
  } else {
    total.Fill(state.desktop);
  }
  // Put in place, and logged, in the order of old: past files first.
  const int pastResult = past.Commit(state);
  const int totalResult = total.Commit(state);
  return pastResult != 0 || totalResult != 0 ? -1 : 0;
}

}  // namespace kestrova
