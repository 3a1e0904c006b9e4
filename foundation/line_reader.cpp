#include "foundation/line_reader.h"

#include <chrono>

#include "foundation/dates.h"
#include "foundation/files.h"
#include "foundation/message_pump.h"
#include "foundation/platform/platform.h"
#include "foundation/text_functions.h"

namespace kestrova {

namespace {

std::int64_t NowFileTime(const Clock* clock) {
  if (clock) return static_cast<std::int64_t>(clock->Current()) * 1000000000LL;
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// An "mr" reader takes a private copy before its first write; the caller's text is never written.
void MakeWritable(LineReader* r) {
  if (!r->memory) return;
  r->data.assign(r->memory, r->memoryLength);
  r->memory = nullptr;
  r->mode = "mw";
}

void Put(LineReader* r, std::string_view bytes) {
  MakeWritable(r);
  if (r->data.size() < r->cursor + bytes.size()) r->data.resize(r->cursor + bytes.size());
  r->data.replace(r->cursor, bytes.size(), bytes);
  r->cursor += bytes.size();
  if (r->cursor > r->end) r->end = r->cursor;
}

}  // namespace

LineReaderPtr Open(std::string_view source, std::string_view mode, MessagePump* pump,
                   const Clock* clock) {
  auto r = std::make_unique<LineReader>();
  r->pump = pump;
  r->mode = std::string(mode);
  if (mode == "fr") {
    if (!IsFolder(source) && ReadWholeFile(source, r->data, &r->times)) {
      r->path = std::string(source);
      r->end = r->data.size();
      return r;
    }
    return nullptr;
  }
  if (mode == "mr" || mode == "mw") {
    std::int64_t now = NowFileTime(clock);
    r->times = {now, now, now};
    if (mode == "mr") {
      r->memory = source.data();
      r->memoryLength = source.size();
      r->end = source.size();
    } else {
      int capacity = ToInt(source);
      r->data.reserve(capacity < 10000 ? 10000 : static_cast<std::size_t>(capacity));
    }
    return r;
  }
  return nullptr;
}

int ReadLine(LineReader* r, int strip) {
  if (!r) return 0;
  PumpMessages(r->pump, 1);
  r->line.clear();
  const char* s = r->Start();
  if (r->cursor >= r->end) return 0;
  // A NUL inside the data is no end: the lines after it are as much the file's as those before
  // it. Inside a line it reads as a space, so the line stays one C text.
  std::size_t i = r->cursor;
  while (i < r->end && s[i] != '\r' && s[i] != '\n') ++i;
  r->line.assign(s + r->cursor, i - r->cursor);
  ReplaceNuls(r->line.data(), r->line.size());
  int stored = static_cast<int>(r->line.size());
  if (i < r->end && (s[i] == '\r' || s[i] == '\n')) {
    i += (s[i] == '\r' && i + 1 < r->end && s[i + 1] == '\n') ? 2 : 1;
    if (!strip) r->line += '\n';
    ++stored;
  }
  r->cursor = i;
  return stored + 1;
}

void WriteText(LineReader* r, std::string_view text, int toLF) {
  if (!r || text.empty()) return;
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (toLF) {
      if (c == '\r') {
        out += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      } else {
        out += c;
      }
    } else if (c == '\n' && (i == 0 || text[i - 1] != '\r')) {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  Put(r, out);
}

void WriteBytes(LineReader* r, std::string_view bytes) {
  if (!r || bytes.empty()) return;
  Put(r, bytes);
}

bool Save(const LineReader* r, const std::string& path) {
  if (!r) return false;
  if (!WriteFileAtomic(path, r->Text())) return false;
  SetFileTimes(path, r->times);
  return true;
}

int SaveText(const LineReader* r, const std::string& path) {
  if (!r) return -1;
  std::string_view data = r->Text();
  std::size_t nul = data.find('\0');
  if (nul != std::string_view::npos) data = data.substr(0, nul);
  std::string out;
  out.reserve(data.size() + data.size() / 16);
  for (std::size_t i = 0; i < data.size(); ++i) {
    char c = data[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < data.size() && data[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  if (!WriteFileAtomic(path, out)) return -1;
  SetFileTimes(path, r->times);
  return 0;
}

void WideToAnsi(LineReader* r) {
  if (!r) return;
  std::string_view data = r->Text();
  if (data.find('\0') == std::string_view::npos) return;
  std::string out;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                          (static_cast<unsigned char>(data[i + 1]) << 8));
    if (unit == 0) break;
    std::string bytes = platform::Cp932FromUnit(unit);
    out += bytes.empty() ? std::string("?") : bytes;
  }
  // An unconvertible byte-order mark comes out as "?" and is dropped.
  if (!out.empty() && out[0] == '?') out.erase(0, 1);
  r->memory = nullptr;
  r->data = std::move(out);
  r->cursor = 0;
  r->end = r->data.size();
}

void Close(LineReaderPtr& r) { r.reset(); }

}  // namespace kestrova
