#include "foundation/line_file.h"

#include <algorithm>

#include "foundation/files.h"
#include "foundation/message_pump.h"
#include "foundation/platform/platform.h"
#include "foundation/text_functions.h"

namespace kestrova {

LineFile::~LineFile() { Clear(); }

void LineFile::Clear() {
  platform::UnmapFile(mapped_);
  mapped_ = {};
  copy_ = std::string();
  text_ = {};
  starts_ = {};
  lengths_ = {};
  releasePassed_ = false;
}

void LineFile::Load(const std::string& path, MessagePump* pump, bool releasePassed) {
  Clear();
  mapped_ = platform::MapFile(platform::NativePath(path));
  text_ = mapped_;
  releasePassed_ = releasePassed && !mapped_.empty();
  // Notes where each line starts and how long it is; false when the text holds a NUL, which
  // is looked for a step ahead of the lines, in steps that follow each other, so that the
  // file is read once.
  auto findLines = [&] {
    // About 200 bytes a line; the pump runs after each 8 MB.
    constexpr std::size_t kPart = 8 << 20;
    starts_.clear();
    lengths_.clear();
    starts_.reserve(text_.size() / 160 + 16);
    lengths_.reserve(text_.size() / 160 + 16);
    std::size_t nextPump = kPart;
    std::size_t released = 0;
    std::size_t checked = 0;
    auto holdsNul = [&](std::size_t upTo) {
      const std::string_view step = text_.substr(checked, upTo - checked);
      checked = upTo;
      return step.find('\0') != std::string_view::npos;
    };
    for (std::size_t at = 0; at < text_.size();) {
      if (at >= checked && holdsNul(std::min(text_.size(), at + kReleaseStep))) return false;
      std::size_t next;
      const std::size_t end = FindLineEnd(text_, at, &next);
      starts_.push_back(at);
      lengths_.push_back(static_cast<std::uint32_t>(end - at));
      at = next;
      ReleasePassed(at, released);
      if (at >= nextPump) {
        PumpMessages(pump, 1);
        nextPump = at + kPart;
      }
    }
    PumpMessages(pump, 1);
    return !holdsNul(text_.size());
  };
  // A NUL in the file would end no line but stand as a space in it: such a file is copied, and
  // a copy is the process's own memory, whose pages cannot be given back.
  if (mapped_.empty() || !findLines()) {
    if (!mapped_.empty()) {
      copy_.assign(mapped_);
      platform::UnmapFile(mapped_);
      mapped_ = {};
    } else if (!ReadWholeFile(path, copy_)) {
      copy_.clear();
    }
    ReplaceNuls(copy_.data(), copy_.size());
    text_ = copy_;
    releasePassed_ = false;
    findLines();
  }
}

void LineFile::Release(std::size_t offset, std::size_t& released) const {
  // Up to a 64 KB boundary (a whole number of pages on every system), so that the next step
  // starts on a page boundary and no page is left behind between two steps.
  offset = std::min(offset, text_.size()) & ~std::size_t{0xFFFF};
  if (offset <= released) return;
  platform::ReleaseMappedPages(text_.substr(released, offset - released));
  released = offset;
}

int LineFile::LineAt(std::size_t offset) const {
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<int>(after - starts_.begin()) - 1;
}

}  // namespace kestrova
