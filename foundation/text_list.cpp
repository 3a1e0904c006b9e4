#include "foundation/text_list.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "foundation/files.h"
#include "foundation/message_pump.h"
#include "foundation/platform/platform.h"
#include "foundation/text_functions.h"

namespace kestrova {

namespace {

constexpr std::int32_t kInitialBuffer = 5000;
constexpr std::int32_t kInitialOffsets = 200;
const char kEmpty[1] = {0};

}  // namespace

// The buffers are made on the first Add, so that an unused list costs nothing.
TextList::TextList() = default;

TextList::TextList(std::string_view text, std::string_view delimiters, int flags, char separator)
    : TextList() {
  Split(text, delimiters, flags, separator);
}

TextList::TextList(TextList&& other) noexcept
    : buffer_(other.buffer_),
      bufferCapacity_(other.bufferCapacity_),
      offsets_(other.offsets_),
      offsetsCapacity_(other.offsetsCapacity_),
      count_(other.count_),
      used_(other.used_) {
  other.buffer_ = nullptr;
  other.offsets_ = nullptr;
  other.bufferCapacity_ = other.offsetsCapacity_ = other.count_ = other.used_ = 0;
}

TextList& TextList::operator=(TextList&& other) noexcept {
  if (this != &other) {
    std::free(buffer_);
    std::free(offsets_);
    buffer_ = other.buffer_;
    offsets_ = other.offsets_;
    bufferCapacity_ = other.bufferCapacity_;
    offsetsCapacity_ = other.offsetsCapacity_;
    count_ = other.count_;
    used_ = other.used_;
    other.buffer_ = nullptr;
    other.offsets_ = nullptr;
    other.bufferCapacity_ = other.offsetsCapacity_ = other.count_ = other.used_ = 0;
  }
  return *this;
}

TextList::~TextList() {
  std::free(buffer_);
  std::free(offsets_);
}

void TextList::GrowOffsets() {
  if (offsets_ == nullptr) {
    offsetsCapacity_ = kInitialOffsets;
    offsets_ =
        static_cast<std::int32_t*>(std::malloc((offsetsCapacity_ + 2) * sizeof(std::int32_t)));
    return;
  }
  if (count_ < offsetsCapacity_ - 5) return;
  std::int32_t capacity = offsetsCapacity_ * 10;
  offsets_ =
      static_cast<std::int32_t*>(std::realloc(offsets_, (capacity + 2) * sizeof(std::int32_t)));
  offsetsCapacity_ = capacity;
}

void TextList::GrowBuffer(std::size_t needed) {
  if (buffer_ == nullptr) {
    bufferCapacity_ = kInitialBuffer;
    buffer_ = static_cast<char*>(std::malloc(bufferCapacity_ + 2));
  }
  long long capacity = bufferCapacity_;
  while (static_cast<long long>(used_) + static_cast<long long>(needed) >= capacity - 10)
    capacity *= 10;
  if (capacity == bufferCapacity_) return;
  buffer_ = static_cast<char*>(std::realloc(buffer_, static_cast<std::size_t>(capacity) + 2));
  if (capacity >= (8 << 20))
    platform::AdviseLargeBuffer(buffer_, static_cast<std::size_t>(capacity));
  bufferCapacity_ = static_cast<std::int32_t>(std::min<long long>(capacity, 0x7ffffff0LL));
}

int TextList::Add(std::string_view text, int length, int position, int flags) {
  // A text taken from this list's own buffer must survive the buffer growing.
  std::string own;
  if (buffer_ && text.data() >= buffer_ && text.data() < buffer_ + bufferCapacity_ + 2) {
    own.assign(text);
    text = own;
  }
  if (length > 0 && static_cast<std::size_t>(length) < text.size()) text = text.substr(0, length);
  std::size_t room = text.size() + 1;
  if ((flags & kAddReserve) && text.size() < 10) room = 11;
  GrowOffsets();
  GrowBuffer(room);
  std::int32_t at = used_;
  // An empty view may have no data at all (std::string_view()), which memcpy must not get.
  if (!text.empty()) std::memcpy(buffer_ + at, text.data(), text.size());
  std::memset(buffer_ + at + text.size(), 0, room - text.size());
  used_ += static_cast<std::int32_t>(room);
  if (position < 0 || position > count_) {
    offsets_[count_++] = at;
  } else if (flags & kAddReplace) {
    if (position < count_) {
      offsets_[position] = at;
    } else {
      offsets_[count_++] = at;
    }
  } else {
    std::memmove(offsets_ + position + 1, offsets_ + position,
                 static_cast<std::size_t>(count_ - position) * sizeof(std::int32_t));
    offsets_[position] = at;
    ++count_;
  }
  return count_;
}

const char* TextList::Get(int index) const {
  if (index < 0) index += count_;
  if (count_ == 0) return kEmpty;
  if (index < 0 || index >= count_) return kEmpty;
  return buffer_ + offsets_[index];
}

std::string_view TextList::View(int index) const { return Get(index); }

int TextList::Find(int from, std::string_view text) const {
  for (int i = std::max(from, 0); i < count_; ++i) {
    if (View(i) == text) return i;
  }
  return -1;
}

namespace {

int CompareBytes(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace

namespace {

// CompareBytes against an entry in place: the entry ends at its NUL, so no length is needed.
int CompareToEntry(std::string_view text, const char* entry) {
  const auto* e = reinterpret_cast<const unsigned char*>(entry);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto t = static_cast<unsigned char>(text[i]);
    if (e[i] == 0) return 1;  // the entry is a prefix of the text
    if (t != e[i]) return t < e[i] ? -1 : 1;
  }
  return e[text.size()] == 0 ? 0 : -1;
}

}  // namespace

int TextList::FindSorted(std::string_view text, int* position) const {
  int lower = 0;
  int upper = count_;
  int dummy = 0;
  if (!position) position = &dummy;
  while (upper - lower > 4) {
    int middle = lower + (upper - lower) / 2;
    int c = CompareToEntry(text, buffer_ + offsets_[middle]);
    if (c == 0) {
      *position = middle;
      return middle;
    }
    if (c < 0) {
      upper = middle + 1;
    } else {
      lower = middle;
    }
  }
  for (int i = lower; i < upper; ++i) {
    int c = CompareBytes(text, View(i));
    if (c == 0) {
      *position = i;
      return i;
    }
    if (c < 0) {
      *position = i;
      return -1;
    }
  }
  *position = upper;
  return -1;
}

void TextList::OverwriteInPlace(int index, std::string_view text) {
  if (index < 0 || index >= count_) return;
  char* at = buffer_ + offsets_[index];
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  at[text.size()] = 0;
}

int TextList::Remove(int index, int flags) {
  if (index < 0 || index >= count_) return -1;
  buffer_[offsets_[index]] = 0;
  if (flags & kRemoveTakeOut) {
    std::memmove(offsets_ + index, offsets_ + index + 1,
                 static_cast<std::size_t>(count_ - index - 1) * sizeof(std::int32_t));
    --count_;
  }
  return 0;
}

void TextList::Sort(int flags, MessagePump* pump) {
  if (count_ < 2) return;
  std::int32_t* begin = offsets_;
  std::int32_t* end = offsets_ + count_;
  long long comparisons = 0;
  auto tick = [&]() {
    if (++comparisons % 10000 == 0) PumpMessages(pump, 10);
  };
  if (flags & kSortFoldCase) {
    // Fold once per entry rather than once per comparison.
    std::vector<std::string> folded(static_cast<std::size_t>(count_));
    std::vector<std::int32_t> order(static_cast<std::size_t>(count_));
    for (int i = 0; i < count_; ++i) {
      folded[static_cast<std::size_t>(i)] = FoldCase(View(i));
      order[static_cast<std::size_t>(i)] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
      tick();
      return CompareBytes(folded[static_cast<std::size_t>(a)],
                          folded[static_cast<std::size_t>(b)]) < 0;
    });
    std::vector<std::int32_t> sorted(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) sorted[i] = offsets_[order[i]];
    std::copy(sorted.begin(), sorted.end(), begin);
  } else {
    const char* base = buffer_;
    std::stable_sort(begin, end, [&](std::int32_t a, std::int32_t b) {
      tick();
      return std::strcmp(base + a, base + b) < 0;
    });
  }
  if (flags & kSortDescending) std::reverse(begin, end);
}

void TextList::CopyTo(TextList& other) const {
  for (int i = 0; i < count_; ++i) other.Add(View(i));
}

int TextList::Split(std::string_view text, std::string_view delimiters, int flags, char separator) {
  if (text.empty() || delimiters.empty()) {
    Clear();
    return 0;
  }
  // The alternatives: divided by the separator (";" unless the list begins with ";", which makes
  // the whole text one delimiter). Empty alternatives are ignored: they would match everywhere.
  std::vector<std::string_view> alternatives;
  alternatives.reserve(4);
  if (separator == 0 && delimiters[0] == ';') {
    alternatives.push_back(delimiters);
  } else {
    char sep = separator ? separator : ';';
    std::size_t start = 0;
    for (std::size_t i = 0; i <= delimiters.size(); ++i) {
      if (i == delimiters.size() || delimiters[i] == sep) {
        if (i > start) alternatives.push_back(delimiters.substr(start, i - start));
        start = i + 1;
      }
    }
  }
  if (alternatives.empty()) {
    Clear();
    return 0;
  }
  const bool fold = (flags & (kSplitFoldCase | 0x08)) != 0;
  std::string foldedText;
  std::vector<std::string> foldedAlternatives;
  std::string_view subject = text;
  if (fold) {
    foldedText = FoldCase(text);
    subject = foldedText;
    for (auto& a : alternatives) {
      foldedAlternatives.push_back(FoldCase(a));
    }
    for (std::size_t k = 0; k < alternatives.size(); ++k) alternatives[k] = foldedAlternatives[k];
  }
  // A text taken from this list's own buffer must survive the list being cleared and refilled.
  std::string own;
  if (buffer_ && text.data() >= buffer_ && text.data() < buffer_ + bufferCapacity_ + 2) {
    own.assign(text);
    text = own;
    if (!fold) subject = text;
  }
  if (!(flags & kSplitAppend)) Clear();
  const bool keep = (flags & kSplitKeepDelimiter) != 0;
  std::size_t tokenStart = 0;
  std::size_t i = 0;
  auto close = [&](std::size_t tokenEnd) { Add(text.substr(tokenStart, tokenEnd - tokenStart)); };
  if (alternatives.size() == 1 && alternatives[0].size() == 1 &&
      !IsLeadByte(static_cast<unsigned char>(alternatives[0][0])) &&
      static_cast<unsigned char>(alternatives[0][0]) < 0x40) {
    // One ASCII delimiter below 0x40 can never be a trail byte: a plain byte search is exact.
    const char d = alternatives[0][0];
    for (;;) {
      std::size_t at = subject.find(d, i);
      if (at == std::string_view::npos) break;
      close(keep ? at + 1 : at);
      tokenStart = i = at + 1;
    }
    close(subject.size());
    return count_;
  }
  while (i < subject.size()) {
    bool matched = false;
    for (const auto& a : alternatives) {
      if (subject.compare(i, a.size(), a) == 0) {
        std::size_t after = i + a.size();
        close(keep ? after : i);
        tokenStart = i = after;
        matched = true;
        break;
      }
    }
    if (!matched) i += CharLength(subject, i);
  }
  close(subject.size());
  return count_;
}

void TextList::LoadLinesFromText(std::string_view text, int strip) {
  // A NUL is no end of the text: it becomes a space and every line after it is kept.
  std::string copy;
  if (text.find('\0') != std::string_view::npos) {
    copy.assign(text);
    ReplaceNuls(copy.data(), copy.size());
    text = copy;
  }
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    std::size_t next;
    std::size_t j = FindLineEnd(text, i, &next);
    if (strip || j == n) {
      Add(text.substr(i, j - i));
    } else {
      std::string line(text.substr(i, j - i));
      line += '\n';
      Add(line);
    }
    i = next;
  }
}

void TextList::LoadLines(const std::string& path, int strip, MessagePump* pump) {
  if (!strip || IsFolder(path)) {
    std::string bytes;
    if (ReadWholeFile(path, bytes)) LoadLinesFromText(bytes, strip);
    PumpMessages(pump, 1);
    return;
  }
  long long size = FileSize(path);
  if (size < 0) return;
  // The file is read straight into the text buffer and its line ends become the entries' NULs,
  // so a large file costs one read and no copy.
  GrowBuffer(static_cast<std::size_t>(size) + 16);
  char* data = buffer_ + used_;
  long long got = ReadFileInto(path, data, static_cast<std::size_t>(size));
  if (got < 0) return;
  std::size_t n = static_cast<std::size_t>(got);
  ReplaceNuls(data, n);
  data[n] = 0;
  const std::string_view text(data, n);
  std::size_t i = 0;
  while (i < n) {
    std::size_t next;
    std::size_t j = FindLineEnd(text, i, &next);
    data[j] = 0;
    GrowOffsets();
    offsets_[count_++] = used_ + static_cast<std::int32_t>(i);
    i = next;
  }
  used_ += static_cast<std::int32_t>(n + 1);
  PumpMessages(pump, 1);
}

std::string TextList::JoinLines(int withLineEnds) const {
  std::string out;
  out.reserve(static_cast<std::size_t>(used_) + static_cast<std::size_t>(count_) * 2);
  for (int i = 0; i < count_; ++i) {
    out.append(View(i));
    if (withLineEnds) out.append("\r\n");
  }
  return out;
}

bool TextList::SaveLines(const std::string& path, int withLineEnds) const {
  AtomicFileWriter file(path);
  for (int i = 0; i < count_; ++i) {
    file.Write(View(i));
    if (withLineEnds) file.Write("\r\n");
  }
  return file.Commit();
}

void TextList::Reserve(std::size_t bytes, int entries) {
  const long long capacity = static_cast<long long>(used_) + static_cast<long long>(bytes) + 16;
  if (buffer_ == nullptr) GrowBuffer(0);
  if (capacity > bufferCapacity_ && capacity < 0x7ffffff0LL) {
    buffer_ = static_cast<char*>(std::realloc(buffer_, static_cast<std::size_t>(capacity) + 2));
    if (capacity >= (8 << 20))
      platform::AdviseLargeBuffer(buffer_, static_cast<std::size_t>(capacity));
    bufferCapacity_ = static_cast<std::int32_t>(capacity);
  }
  if (entries <= 0) return;
  GrowOffsets();
  const long long wanted = static_cast<long long>(count_) + entries + 8;
  if (wanted <= offsetsCapacity_) return;
  offsets_ = static_cast<std::int32_t*>(
      std::realloc(offsets_, (static_cast<std::size_t>(wanted) + 2) * sizeof(std::int32_t)));
  offsetsCapacity_ = static_cast<std::int32_t>(wanted);
}

void TextList::Clear() {
  count_ = 0;
  used_ = 0;
}

std::vector<std::string> TextList::ToVector() const {
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(count_));
  for (int i = 0; i < count_; ++i) out.emplace_back(View(i));
  return out;
}

}  // namespace kestrova
