// TextList: a growable list of cp932 texts packed in one buffer with an offset array.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class MessagePump;

// Flags of TextList::Add.
inline constexpr int kAddReplace = 0x04;  // with a position: point that entry at the new text
inline constexpr int kAddReserve =
    0x08;  // reserve 10 bytes so the entry can be overwritten in place
// Flags of TextList::Remove.
inline constexpr int kRemoveTakeOut = 0x02;  // also take the entry out of the list
// Flags of TextList::Sort.
inline constexpr int kSortDescending = 0x04;
inline constexpr int kSortFoldCase = 0x10;
// Flags of TextList::Split.
inline constexpr int kSplitFoldCase = 0x04;       // 0x08 does the same
inline constexpr int kSplitAppend = 0x10;         // keep the existing entries
inline constexpr int kSplitKeepDelimiter = 0x20;  // each token keeps its closing delimiter

inline constexpr int kAppend = -1;  // position of TextList::Add: append

class TextList {
 public:
  TextList();
  TextList(std::string_view text, std::string_view delimiters, int flags = 0, char separator = 0);
  TextList(const TextList&) = delete;
  TextList& operator=(const TextList&) = delete;
  TextList(TextList&&) noexcept;
  TextList& operator=(TextList&&) noexcept;
  ~TextList();

  // length 0 adds the whole text; a shorter length adds only the first length bytes.
  // position kAppend appends; otherwise inserts there (or replaces with kAddReplace).
  int Add(std::string_view text, int length = 0, int position = kAppend, int flags = 0);
  // Entry index (negative counts from the end); out of range gives the empty text, never null.
  // The pointer stays valid until the buffer grows or the list is cleared.
  const char* Get(int index) const;
  std::string_view View(int index) const;
  int Count() const { return count_; }
  int Find(int from, std::string_view text) const;
  // For a list in ascending unsigned-byte order: index of the entry or -1; position receives
  // where text is or would be inserted.
  int FindSorted(std::string_view text, int* position) const;
  // Overwrites the bytes of an entry added with kAddReserve (or at least as long) in place.
  // The caller guarantees the room; used by SettingsStore.
  void OverwriteInPlace(int index, std::string_view text);
  int Remove(int index, int flags = 0);
  void Sort(int flags = 0, MessagePump* pump = nullptr);
  void CopyTo(TextList& other) const;
  int Split(std::string_view text, std::string_view delimiters, int flags = 0, char separator = 0);
  // Appends every line of the file (line ends dropped when strip != 0); a missing file adds
  // nothing. A NUL byte ends no line and no file: it is stored as a space.
  void LoadLines(const std::string& path, int strip = 1, MessagePump* pump = nullptr);
  // Appends every line of a text held in memory.
  void LoadLinesFromText(std::string_view text, int strip = 1);
  // withLineEnds = 1: each entry followed by CR LF. Written atomically; false when not written.
  [[nodiscard]] bool SaveLines(const std::string& path, int withLineEnds = 1) const;
  // The bytes SaveLines would write.
  std::string JoinLines(int withLineEnds = 1) const;
  void Clear();
  // Makes room for this many more bytes of text (each entry takes its length + 1) and entries,
  // so that a list filled in one go grows once.
  void Reserve(std::size_t bytes, int entries);
  std::vector<std::string> ToVector() const;

 private:
  void GrowOffsets();
  void GrowBuffer(std::size_t needed);

  char* buffer_ = nullptr;
  std::int32_t bufferCapacity_ = 0;
  std::int32_t* offsets_ = nullptr;
  std::int32_t offsetsCapacity_ = 0;
  std::int32_t count_ = 0;
  std::int32_t used_ = 0;
};

}  // namespace kestrova
