// Paths and folder walks: splitting a cp932 path, matching names, listing a folder tree, and
// which names may become a path component. The disk is reached through the file layer
// (platform/posix_files.cpp, platform/win32_files.cpp).
#include "foundation/files.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/message_pump.h"
#include "foundation/platform/folder_walk.h"
#include "foundation/platform/platform.h"
#include "foundation/platform/write_faults.h"
#include "foundation/text_functions.h"
#include "foundation/text_list.h"

namespace kestrova {

PathParts SplitPath(std::string_view path) {
  PathParts p;
  if (path.empty()) return p;
  if (path.size() == 1) {
    p.root = std::string(path) + ":\\";  // a drive letter alone
  } else if (path.size() == 2 && path[1] == ':') {
    p.root = std::string(path) + "\\";
  } else {
    // Each component keeps its separator; "\\\\" and "//" count as one separator.
    TextList parts(path, "\\\\;//;\\;/", kSplitKeepDelimiter);
    const int n = parts.Count();
    if (n == 1) {
      p.fileName = parts.Get(0);  // no separator at all: a bare file name
    } else {
      p.root = parts.Get(0);
      for (int i = 1; i < n - 1; ++i) p.folders += parts.Get(i);
      p.fileName = parts.Get(n - 1);
    }
    const int dot = FindLastText(p.fileName, ".");
    if (dot >= 0) {
      p.baseName = p.fileName.substr(0, static_cast<std::size_t>(dot));
      p.extension = p.fileName.substr(static_cast<std::size_t>(dot));
    } else {
      p.baseName = p.fileName;
    }
  }
  p.folderPath = p.root + p.folders;
  p.pathWithoutExtension = p.folderPath + p.baseName;
  p.fileName = p.baseName + p.extension;
  return p;
}

int MatchesAny(std::string_view name, const TextList& patterns, MessagePump* pump) {
  PumpMessages(pump, 1);
  if (patterns.Count() == 0 || patterns.View(0).empty()) return 1;
  const std::string folded = FoldCase(name);
  for (int i = 0; i < patterns.Count(); ++i) {
    std::string_view p = patterns.View(i);
    if (!p.empty() && FindText(folded, FoldCase(p)) != std::string_view::npos) return 1;
  }
  return 0;
}

void ListFiles(std::string_view folder, std::string_view patternText, TextList& list, int flags,
               int depth, MessagePump* pump) {
  (void)flags;  // the program lists files only
  std::string base(folder);
  StripSuffix(base, "\\");
  TextList patterns;
  if (!patternText.empty()) patterns.Split(ReplaceAll(patternText, "*", ""), ";");
  if (base.size() != 2 && FileExists(base) && !IsFolder(base)) {
    // The path names a file: that file alone is listed, when it matches.
    if (MatchesAny(SplitPath(base).fileName, patterns, pump)) list.Add(base);
    return;
  }
  platform::WalkFiles(base, depth, [&](const std::string& path, const std::string& name) {
    if (MatchesAny(name, patterns, pump)) list.Add(path);
  });
}

bool IsStaleTemporary(std::string_view name) {
  // WriteFileAtomic writes "<target>.tmp<pid>-<counter>" beside its target.
  const std::size_t at = name.rfind(".tmp");
  if (at == std::string_view::npos || at == 0) return false;
  std::string_view rest = name.substr(at + 4);
  const std::size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size()) return false;
  auto digits = [](std::string_view t) {
    return t.size() <= 18 && t.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (!digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1))) return false;
  return !platform::ProcessIsRunning(std::stoll(std::string(rest.substr(0, dash))));
}

int RemoveStaleTemporaries(std::string_view folder, int depth) {
  int removed = 0;
  platform::WalkFiles(folder, depth, [&](const std::string& path, const std::string& name) {
    if (IsStaleTemporary(name) && RemoveFile(path)) ++removed;
  });
  return removed;
}

bool AtomicFileWriter::Flush() {
  ok_ = ok_ && WriteOut(buffer_);
  buffer_.clear();
  return ok_;
}

bool AtomicFileWriter::Write(std::string_view bytes) {
  if (!ok_) return false;
  if (buffer_.size() + bytes.size() <= kBuffer) {
    buffer_.append(bytes);
    return true;
  }
  // A large piece goes to the file as it is, after what was gathered before it.
  if (!Flush()) return false;
  ok_ = WriteOut(bytes);
  return ok_;
}

bool ForEachLineOfFile(std::string_view path, const std::function<bool(std::string_view)>& visit) {
  constexpr std::size_t kChunk = 256 << 10;
  // What is left of a chunk (a line not yet ended) moves to the front before the next read; a
  // line longer than the buffer doubles it.
  std::size_t capacity = 2 * kChunk;
  std::unique_ptr<char[]> buffer(new char[capacity]);
  std::size_t have = 0;
  long long offset = 0;
  for (;;) {
    if (capacity - have < kChunk) {
      std::unique_ptr<char[]> larger(new char[capacity * 2]);
      std::memcpy(larger.get(), buffer.get(), have);
      buffer = std::move(larger);
      capacity *= 2;
    }
    char* data = buffer.get();
    const long long got = ReadFileInto(path, data + have, kChunk, offset);
    if (got < 0) return offset == 0 && !FileExists(path);
    offset += got;
    ReplaceNuls(data + have, static_cast<std::size_t>(got));
    have += static_cast<std::size_t>(got);
    const bool last = static_cast<std::size_t>(got) < kChunk;
    // Only whole lines before the end: up to the last line end, leaving a CR at the very end,
    // which may be the first half of a CR LF.
    std::size_t whole = have;
    if (!last) {
      const std::size_t end = have > 0 && data[have - 1] == '\r' ? have - 1 : have;
      const std::size_t lineEnd = std::string_view(data, end).find_last_of("\r\n");
      whole = lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
    }
    const std::string_view text(data, whole);
    std::size_t i = 0;
    while (i < text.size()) {
      std::size_t next;
      const std::size_t end = FindLineEnd(text, i, &next);
      if (!visit(text.substr(i, end - i))) return true;
      i = next;
    }
    if (last) return true;
    std::memmove(data, data + whole, have - whole);
    have -= whole;
  }
}

namespace {

std::vector<std::string>& WriteFaults() {
  static std::vector<std::string> faults;
  return faults;
}

constexpr bool IsTrailByte(unsigned char c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

}  // namespace

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    // A double-byte character may carry 0x5C or 0x7C as its trail byte without being a
    // backslash or a bar. Only a real trail byte is skipped: a lead byte followed by "/" or a
    // control character is no character, and the "/" would still reach the file system.
    if (IsLeadByte(c) && i + 1 < name.size() &&
        IsTrailByte(static_cast<unsigned char>(name[i + 1]))) {
      ++i;
      continue;
    }
    if (c < 0x20 || c == 0x7F) return false;
    switch (c) {
      case '\\':
      case '/':
      case ':':
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|':
        return false;
      default:
        break;
    }
  }
  return true;
}

void FailWritesTo(std::string_view pathPart) {
  if (!pathPart.empty()) WriteFaults().emplace_back(pathPart);
}

void ClearWriteFaults() { WriteFaults().clear(); }

bool platform::WriteFaultAt(std::string_view path) {
  for (const std::string& part : WriteFaults()) {
    if (path.find(part) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace kestrova
