// LineReader: a whole file or a memory text with a cursor, read line by line or written and
// saved with the file times it was opened with.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kestrova {

class MessagePump;
class Clock;

// Three file times in nanoseconds since 1970 (UTC); 0 when unknown.
struct FileTimes {
  std::int64_t creation = 0;
  std::int64_t lastWrite = 0;
  std::int64_t lastAccess = 0;
};

struct LineReader {
  std::string data;              // "fr"/"mw": the bytes; "mr" readers copy on first write
  const char* memory = nullptr;  // "mr": the caller's text, not owned
  std::size_t memoryLength = 0;
  std::size_t cursor = 0;  // offset of the read/write position
  std::size_t end = 0;     // offset one past the valid data
  std::string path = "NON";
  std::string mode;  // "fr", "mr" or "mw"
  FileTimes times;
  std::string line;  // where ReadLine leaves the line
  MessagePump* pump = nullptr;

  const char* Start() const { return memory ? memory : data.data(); }
  std::string_view Text() const { return {Start(), end}; }
  const std::string& Line() const { return line; }
};

using LineReaderPtr = std::unique_ptr<LineReader>;

// "fr": source is a path, read whole; "mr": source is the caller's text (must outlive the
// reader); "mw": source is a decimal initial capacity. Null for an unreadable file or a bad mode.
LineReaderPtr Open(std::string_view source, std::string_view mode, MessagePump* pump = nullptr,
                   const Clock* clock = nullptr);
// Next line into reader->line; 0 at the end, else bytes stored + 1. A NUL byte does not end
// the data; inside a line it becomes a space. strip != 0 drops the line end, otherwise it is
// stored as one "\n".
int ReadLine(LineReader* reader, int strip = 1);
// Writes text at the cursor; toLF != 0 turns CR LF and CR into LF, toLF = 0 turns a bare LF
// into CR LF.
void WriteText(LineReader* reader, std::string_view text, int toLF = 0);
void WriteBytes(LineReader* reader, std::string_view bytes);
// Writes the bytes as they are (atomically) and stamps the recorded times. false if not written.
[[nodiscard]] bool Save(const LineReader* reader, const std::string& path);
// Writes the data as CR LF text lines and stamps the recorded times; -1 if not created, else 0.
[[nodiscard]] int SaveText(const LineReader* reader, const std::string& path);
// Data holding a NUL byte is taken as UTF-16LE and converted to cp932 in place.
void WideToAnsi(LineReader* reader);
void Close(LineReaderPtr& reader);

}  // namespace kestrova
