// LineFile: the lines of a large text file, kept as the file holds them. The file is mapped
// (or read once where it cannot be) and only where each line starts and how long it is are
// noted, so a file of hundreds of megabytes costs no copy and no per-line allocation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class MessagePump;

class LineFile {
 public:
  LineFile() = default;
  LineFile(const LineFile&) = delete;
  LineFile& operator=(const LineFile&) = delete;
  ~LineFile();

  // Every line of the file at the cp932 path, line ends dropped (CR LF, a lone CR and a lone
  // LF each end one line), as TextList::LoadLines reads them: a NUL byte stands as a space.
  // A missing file holds no lines. The pump runs between parts of a large file.
  void Load(const std::string& path, MessagePump* pump = nullptr);
  void Clear();

  int Count() const { return static_cast<int>(starts_.size()); }
  std::string_view View(int index) const {
    return text_.substr(starts_[static_cast<std::size_t>(index)],
                        lengths_[static_cast<std::size_t>(index)]);
  }
  // The whole file; a line's View lies inside it.
  std::string_view Text() const { return text_; }
  // The line whose text or line end holds this offset of Text(); -1 before the first line.
  int LineAt(std::size_t offset) const;

 private:
  std::string_view mapped_;  // the mapping, when the file is mapped
  std::string copy_;         // the file's bytes, when it is read (or holds a NUL)
  std::string_view text_;
  std::vector<std::size_t> starts_;
  std::vector<std::uint32_t> lengths_;
};

}  // namespace kestrova
