// Small system services: start-up check, shell open, folder picker, base64 and the keyed
// scramble, MD5 as hex, clipboard, UTF-8 conversion and bounded copies.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class Desktop;

// Writes the system's name; 0, or -1 when the system is not one the program runs on.
int GetSystemName(std::string& name);

// Result of the start-up check.
struct EnvironmentCheck {
  int code = 0;         // 0 fine; 1 the process must end with exit code 1
  std::string message;  // cp932, shown before ending
};
// On this platform: the program folder must be writable.
EnvironmentCheck CheckEnvironment(std::string_view programFolder);

// 1 when the desktop accepted the request, else 0.
int ShellOpen(Desktop& desktop, std::string_view file);
// 1 and the chosen path (cut to resultSize - 1 bytes) or 2 when cancelled.
int GetOpenFolderName(Desktop& desktop, std::string_view initialFolder, std::string& result,
                      std::string_view title = {});
// Places the text on the clipboard; always 0.
int InetMemToClip(Desktop& desktop, std::string_view text);

std::string Base64Encode(std::string_view data);
// false for a text whose length is not a multiple of 4; groups with a foreign character skipped.
bool Base64Decode(std::string_view text, std::string& decoded);

// Keyed byte scramble, then base64; Unscramble reverses it. false when the text is not base64.
std::string Scramble(std::string_view text, std::string_view key);
bool Unscramble(std::string_view text, std::string_view key, std::string& plain);

// 32 lowercase hex digits of the MD5 digest.
std::string MdText(std::string_view data);
// false when the file cannot be opened.
bool MdFile(std::string_view path, std::string& hex);

// UTF-8 to cp932 the way pages from the listing service are converted: no validation,
// a leading byte-order mark dropped, a character without a cp932 form becomes " ".
std::string Utf8ToAnsi(std::string_view text);

// One argument as CommandLineToArgvW (and the C runtime) read it back: as it is when it holds
// no blank or quote, else quoted, with the backslashes before a quote and at the end doubled.
std::string QuoteWindowsArgument(std::string_view argument);
// The arguments quoted and joined by blanks: the command line of CreateProcessW.
std::string WindowsCommandLine(const std::vector<std::string>& arguments);

// At most n bytes, NUL-padded to n (the result has length <= n).
std::string CopyN(std::string_view source, std::size_t n);
// Whole characters only, at most n bytes.
std::string CopyNChars(std::string_view source, std::size_t n);

}  // namespace kestrova
