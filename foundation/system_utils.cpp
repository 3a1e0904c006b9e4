#include "foundation/system_utils.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "foundation/desktop.h"
#include "foundation/files.h"
#include "foundation/md5.h"
#include "foundation/platform/platform.h"
#include "foundation/sjis.h"
#include "foundation/text_functions.h"

namespace kestrova {

int GetSystemName(std::string& name) {
  name = platform::SystemName();
  if (name.empty()) {
    name = SJIS("？？");
    return -1;
  }
  return 0;
}

EnvironmentCheck CheckEnvironment(std::string_view programFolder) {
  // Here there is no add-on to probe and no version to refuse; what the program needs is a
  // program folder it can write its data into.
  EnvironmentCheck check;
  if (!IsWritableFolder(programFolder)) {
    check.code = 1;
    check.message = SJIS("プログラムフォルダに書き込めません\r\n処理を中断します\r\n") +
                    std::string(programFolder);
  }
  return check;
}

int ShellOpen(Desktop& desktop, std::string_view file) { return desktop.ShellOpen(file) ? 1 : 0; }

int GetOpenFolderName(Desktop& desktop, std::string_view initialFolder, std::string& result,
                      std::string_view title) {
  std::string chosen;
  std::string caption = title.empty() ? SJIS("フォルダを選択してください") : std::string(title);
  if (desktop.PickFolder(initialFolder, caption, chosen) != 1 || chosen.empty()) return 2;
  result = chosen;
  return 1;
}

int InetMemToClip(Desktop& desktop, std::string_view text) {
  desktop.SetClipboardText(text);
  return 0;
}

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int AlphabetIndex(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// The working key of the scramble: every byte doubled once more on every pass over the key.
void DoubleKey(std::string& key) {
  for (char& c : key) c = static_cast<char>(static_cast<unsigned char>(c) << 1);
}

void ApplyKey(std::string& bytes, std::string_view key, int sign) {
  if (key.empty()) return;
  std::string work(key);
  DoubleKey(work);
  std::size_t i = 0;
  for (char& b : bytes) {
    if (i == work.size()) {
      DoubleKey(work);
      i = 0;
    }
    b = static_cast<char>(static_cast<unsigned char>(b) +
                          sign * static_cast<unsigned char>(work[i]));
    ++i;
  }
}

}  // namespace

std::string Base64Encode(std::string_view data) {
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < data.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(data[i]) << 16) |
                 (static_cast<unsigned char>(data[i + 1]) << 8) |
                 static_cast<unsigned char>(data[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  std::size_t rest = data.size() - i;
  if (rest > 0) {
    unsigned v = static_cast<unsigned char>(data[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(data[i + 1]) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool Base64Decode(std::string_view text, std::string& decoded) {
  decoded.clear();
  if (text.size() % 4 != 0) return false;
  for (std::size_t i = 0; i < text.size(); i += 4) {
    int v[4];
    int fill = 0;
    bool foreign = false;
    for (int k = 0; k < 4; ++k) {
      char c = text[i + k];
      if (c == '=' && i + 4 == text.size() && k >= 2) {
        v[k] = 0;
        ++fill;
      } else {
        v[k] = AlphabetIndex(c);
        if (v[k] < 0 || fill > 0) foreign = true;
      }
    }
    if (foreign) continue;  // a group holding a character outside the alphabet is skipped
    unsigned bits = (v[0] << 18) | (v[1] << 12) | (v[2] << 6) | v[3];
    decoded += static_cast<char>((bits >> 16) & 0xFF);
    if (fill < 2) decoded += static_cast<char>((bits >> 8) & 0xFF);
    if (fill < 1) decoded += static_cast<char>(bits & 0xFF);
  }
  return true;
}

std::string Scramble(std::string_view text, std::string_view key) {
  std::string bytes(text);
  ApplyKey(bytes, key, 1);
  return Base64Encode(bytes);
}

bool Unscramble(std::string_view text, std::string_view key, std::string& plain) {
  if (!Base64Decode(text, plain)) return false;
  ApplyKey(plain, key, -1);
  return true;
}

namespace {

std::string Hex(const std::array<std::uint8_t, 16>& digest) {
  std::string out;
  char two[3];
  for (std::uint8_t b : digest) {
    std::snprintf(two, sizeof two, "%02x", b);
    out += two;
  }
  return out;
}

}  // namespace

std::string MdText(std::string_view data) {
  Md5 md5;
  md5.Update(data);
  return Hex(md5.Finish());
}

bool MdFile(std::string_view path, std::string& hex) {
  // The native path is UTF-8 on every platform; as char8_t it reaches a Windows file by name.
  const std::string native = platform::NativePath(path);
  std::ifstream f(std::filesystem::path(std::u8string(native.begin(), native.end())),
                  std::ios::binary);
  if (!f) return false;
  Md5 md5;
  char block[8000];
  while (f.read(block, sizeof block) || f.gcount() > 0) {
    md5.Update(std::string_view(block, static_cast<std::size_t>(f.gcount())));
  }
  hex = Hex(md5.Finish());
  return true;
}

std::string Utf8ToAnsi(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  auto byte = [&](std::size_t i) -> unsigned {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;  // missing bytes count as 0
  };
  bool first = true;
  for (std::size_t i = 0; i < text.size();) {
    unsigned b0 = byte(i);
    char16_t unit;
    if (b0 < 0x80) {
      unit = static_cast<char16_t>(b0);
      i += 1;
    } else if ((b0 & 0xE0) == 0xC0) {
      unit = static_cast<char16_t>(((b0 & 0x1F) << 6) | (byte(i + 1) & 0x3F));
      i += 2;
    } else {
      unit = static_cast<char16_t>(((b0 & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) |
                                   (byte(i + 2) & 0x3F));
      i += 3;
    }
    if (first) {
      first = false;
      if (unit == 0xFEFF || unit == 0xFFFE) continue;
    }
    if (unit < 0x80) {
      out += static_cast<char>(unit);
      continue;
    }
    std::string bytes = platform::Cp932FromUnit(unit);
    out += bytes.empty() ? std::string(" ") : bytes;
  }
  return out;
}

std::string CopyN(std::string_view source, std::size_t n) {
  std::string out(source.substr(0, std::min(n, source.size())));
  std::size_t nul = out.find('\0');
  if (nul != std::string::npos) out.resize(nul);
  return out;
}

std::string CopyNChars(std::string_view source, std::size_t n) {
  source = source.substr(0, source.find('\0'));
  std::size_t i = 0;
  while (i < source.size()) {
    std::size_t len = CharLength(source, i);
    if (i + len > n) break;
    // A lead byte that ends a cut text has lost its trail byte: it is no character.
    if (len == 1 && IsLeadByte(static_cast<unsigned char>(source[i]))) break;
    i += len;
  }
  return std::string(source.substr(0, i));
}

std::string QuoteWindowsArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos)
    return std::string(argument);
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only before a quote: there each stands for half of its pair.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');  // before the closing quote
  return quoted + "\"";
}

std::string WindowsCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += ' ';
    line += QuoteWindowsArgument(argument);
  }
  return line;
}

}  // namespace kestrova
