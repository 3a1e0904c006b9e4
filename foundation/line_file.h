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
  // With releasePassed, a pass over a mapped file in file order gives back the pages it has read
  // (ReleasePassed, and Load itself as it finds the lines), so that a run reading the file once
  // or twice never holds all of it in memory; a page read again comes back from the file cache.
  void Load(const std::string& path, MessagePump* pump = nullptr, bool releasePassed = false);
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
  // A pass in file order has read Text() up to offset: with releasePassed, once that is a step
  // past released, the pages between are given back and released moves on. The caller starts
  // released at where its pass starts.
  void ReleasePassed(std::size_t offset, std::size_t& released) const {
    if (releasePassed_ && offset >= released + kReleaseStep) Release(offset, released);
  }

 private:
  static constexpr std::size_t kReleaseStep = 1 << 20;
  void Release(std::size_t offset, std::size_t& released) const;

  std::string_view mapped_;  // the mapping, when the file is mapped
  std::string copy_;         // the file's bytes, when it is read (or holds a NUL)
  std::string_view text_;
  std::vector<std::size_t> starts_;
  std::vector<std::uint32_t> lengths_;
  bool releasePassed_ = false;
};

}  // namespace kestrova
