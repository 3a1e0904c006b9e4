// The D-Bus wire format, as far as a desktop notification needs it: method calls built, the
// answers' headers read. The socket and the authentication are the platform's
// (platform/posix_notice.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova {

enum class DbusType : std::uint8_t { kMethodCall = 1, kReturn = 2, kError = 3, kSignal = 4 };

struct DbusHeader {
  DbusType type = DbusType::kMethodCall;
  std::uint8_t flags = 0;
  std::uint32_t serial = 0;
  std::uint32_t replySerial = 0;  // answers only
  std::string path, interface, member, errorName, destination, sender, signature;
};

// Values in the order of a signature; each aligned as the format wants, counted from the start
// of the body (which itself starts on a multiple of 8 in the message).
class DbusWriter {
 public:
  void Uint32(std::uint32_t value);
  void Int32(std::int32_t value) { Uint32(static_cast<std::uint32_t>(value)); }
  void String(std::string_view text);  // also an object path
  void Signature(std::string_view text);
  // An array whose elements align on elementAlign; End closes the one Begin returned.
  std::size_t BeginArray(std::size_t elementAlign);
  void EndArray(std::size_t lengthAt);
  void Align(std::size_t n);
  const std::string& bytes() const { return bytes_; }
  void Byte(std::uint8_t value) { bytes_ += static_cast<char>(value); }

 private:
  std::string bytes_;
  std::size_t arrayStart_ = 0;
};

// Reads the values DbusWriter writes, little-endian; false once the bytes ran out.
class DbusReader {
 public:
  explicit DbusReader(std::string_view bytes) : bytes_(bytes) {}
  bool Uint32(std::uint32_t& value);
  bool String(std::string& text);

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

// One whole message, little-endian.
std::string DbusMessage(const DbusHeader& header, std::string_view body);
// The first message of buffer: its length with its header and body, 0 while it is not all
// there, or npos for bytes that are no message.
std::size_t ParseDbusMessage(std::string_view buffer, DbusHeader& header, std::string& body);

// The text of the EXTERNAL authentication for this user id.
std::string DbusAuthExternal(unsigned long userId);

// The Notify call of the freedesktop notification service, text in UTF-8.
std::string NotifyCall(std::uint32_t serial, std::string_view appName, std::string_view summary,
                       std::string_view body);
// The bus's Hello, which every connection sends first.
std::string HelloCall(std::uint32_t serial);

}  // namespace kestrova
