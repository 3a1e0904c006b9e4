#include "foundation/dbus_message.h"

#include <cstdio>

namespace kestrova {

namespace {

enum FieldCode : std::uint8_t {
  kPath = 1,
  kInterface = 2,
  kMember = 3,
  kErrorName = 4,
  kReplySerial = 5,
  kDestination = 6,
  kSender = 7,
  kSignature = 8,
};

void StringField(DbusWriter& out, FieldCode code, char type, const std::string& value) {
  if (value.empty()) return;
  out.Align(8);
  out.Byte(code);
  out.Signature(std::string(1, type));
  if (type == 'g') {
    out.Signature(value);
  } else {
    out.String(value);
  }
}

std::uint32_t ReadUint32(std::string_view bytes, std::size_t at, bool little) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    const auto byte = static_cast<std::uint8_t>(bytes[at + (little ? i : 3 - i)]);
    value |= static_cast<std::uint32_t>(byte) << (8 * i);
  }
  return value;
}

std::size_t Aligned(std::size_t at, std::size_t n) { return (at + n - 1) / n * n; }

// A call of a well-known service, whose object path is its name with "/" for ".".
DbusHeader CallHeader(std::uint32_t serial, const std::string& service, const char* member) {
  DbusHeader header;
  header.serial = serial;
  header.path = "/" + service;
  for (char& c : header.path)
    if (c == '.') c = '/';
  header.interface = service;
  header.member = member;
  header.destination = service;
  return header;
}

}  // namespace

void DbusWriter::Align(std::size_t n) {
  while (bytes_.size() % n != 0) bytes_ += '\0';
}

void DbusWriter::Uint32(std::uint32_t value) {
  Align(4);
  for (int i = 0; i < 4; ++i) bytes_ += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void DbusWriter::String(std::string_view text) {
  Uint32(static_cast<std::uint32_t>(text.size()));
  bytes_.append(text);
  bytes_ += '\0';
}

void DbusWriter::Signature(std::string_view text) {
  Byte(static_cast<std::uint8_t>(text.size()));
  bytes_.append(text);
  bytes_ += '\0';
}

std::size_t DbusWriter::BeginArray(std::size_t elementAlign) {
  Uint32(0);
  const std::size_t lengthAt = bytes_.size() - 4;
  // The padding to the first element follows the length even when there is no element, and
  // does not count in it.
  Align(elementAlign);
  arrayStart_ = bytes_.size();
  return lengthAt;
}

void DbusWriter::EndArray(std::size_t lengthAt) {
  const auto length = static_cast<std::uint32_t>(bytes_.size() - arrayStart_);
  for (int i = 0; i < 4; ++i) bytes_[lengthAt + i] = static_cast<char>((length >> (8 * i)) & 0xFF);
}

bool DbusReader::Uint32(std::uint32_t& value) {
  at_ = Aligned(at_, 4);
  if (at_ + 4 > bytes_.size()) return false;
  value = ReadUint32(bytes_, at_, true);
  at_ += 4;
  return true;
}

bool DbusReader::String(std::string& text) {
  std::uint32_t length = 0;
  if (!Uint32(length) || at_ + length + 1 > bytes_.size()) return false;
  text.assign(bytes_.substr(at_, length));
  at_ += length + 1;
  return true;
}

std::string DbusMessage(const DbusHeader& header, std::string_view body) {
  DbusWriter out;
  out.Byte('l');
  out.Byte(static_cast<std::uint8_t>(header.type));
  out.Byte(header.flags);
  out.Byte(1);  // protocol version
  out.Uint32(static_cast<std::uint32_t>(body.size()));
  out.Uint32(header.serial);
  const std::size_t fields = out.BeginArray(8);
  StringField(out, kPath, 'o', header.path);
  StringField(out, kInterface, 's', header.interface);
  StringField(out, kMember, 's', header.member);
  StringField(out, kErrorName, 's', header.errorName);
  if (header.replySerial != 0) {
    out.Align(8);
    out.Byte(kReplySerial);
    out.Signature("u");
    out.Uint32(header.replySerial);
  }
  StringField(out, kDestination, 's', header.destination);
  StringField(out, kSender, 's', header.sender);
  StringField(out, kSignature, 'g', header.signature);
  out.EndArray(fields);
  out.Align(8);
  return out.bytes() + std::string(body);
}

std::size_t ParseDbusMessage(std::string_view buffer, DbusHeader& header, std::string& body) {
  constexpr std::size_t kBad = std::string_view::npos;
  if (buffer.size() < 16) return 0;
  if (buffer[0] != 'l' && buffer[0] != 'B') return kBad;
  const bool little = buffer[0] == 'l';
  const std::uint32_t bodyLength = ReadUint32(buffer, 4, little);
  const std::uint32_t fieldsLength = ReadUint32(buffer, 12, little);
  // The bus refuses messages over 128 MB; anything near that here is a broken stream.
  if (bodyLength > (1u << 27) || fieldsLength > (1u << 26)) return kBad;
  const std::size_t fieldsEnd = 16 + fieldsLength;
  const std::size_t total = Aligned(fieldsEnd, 8) + bodyLength;
  if (buffer.size() < total) return 0;
  header = DbusHeader();
  header.type = static_cast<DbusType>(buffer[1]);
  header.flags = static_cast<std::uint8_t>(buffer[2]);
  header.serial = ReadUint32(buffer, 8, little);
  std::size_t at = 16;
  while (at < fieldsEnd) {
    at = Aligned(at, 8);
    if (at + 3 > fieldsEnd) return kBad;
    const auto code = static_cast<std::uint8_t>(buffer[at]);
    const auto signatureLength = static_cast<std::uint8_t>(buffer[at + 1]);
    if (signatureLength != 1) return kBad;  // every header field is a single basic type
    const char type = buffer[at + 2];
    at += 4;
    std::string* text = code == kPath          ? &header.path
                        : code == kInterface   ? &header.interface
                        : code == kMember      ? &header.member
                        : code == kErrorName   ? &header.errorName
                        : code == kDestination ? &header.destination
                        : code == kSender      ? &header.sender
                        : code == kSignature   ? &header.signature
                                               : nullptr;
    if (type == 'g') {
      if (at >= fieldsEnd) return kBad;
      const auto length = static_cast<std::uint8_t>(buffer[at]);
      if (at + 1 + length + 1 > fieldsEnd) return kBad;
      if (text != nullptr) text->assign(buffer.substr(at + 1, length));
      at += 1 + length + 1;
    } else if (type == 's' || type == 'o') {
      at = Aligned(at, 4);
      if (at + 4 > fieldsEnd) return kBad;
      const std::uint32_t length = ReadUint32(buffer, at, little);
      if (length > fieldsEnd || at + 4 + length + 1 > fieldsEnd) return kBad;
      if (text != nullptr) text->assign(buffer.substr(at + 4, length));
      at += 4 + length + 1;
    } else if (type == 'u') {
      at = Aligned(at, 4);
      if (at + 4 > fieldsEnd) return kBad;
      if (code == kReplySerial) header.replySerial = ReadUint32(buffer, at, little);
      at += 4;
    } else {
      return kBad;
    }
  }
  body.assign(buffer.substr(Aligned(fieldsEnd, 8), bodyLength));
  return total;
}

std::string DbusAuthExternal(unsigned long userId) {
  // The user id in decimal, its characters in hex.
  const std::string id = std::to_string(userId);
  std::string hex;
  char two[3];
  for (unsigned char c : id) {
    std::snprintf(two, sizeof two, "%02x", c);
    hex += two;
  }
  return "AUTH EXTERNAL " + hex + "\r\n";
}

std::string HelloCall(std::uint32_t serial) {
  return DbusMessage(CallHeader(serial, "org.freedesktop.DBus", "Hello"), {});
}

std::string NotifyCall(std::uint32_t serial, std::string_view appName, std::string_view summary,
                       std::string_view body) {
  DbusWriter out;
  out.String(appName);
  out.Uint32(0);           // replaces no earlier notice
  out.String("kestrova");  // the icon of the installed program
  out.String(summary);
  out.String(body);
  out.EndArray(out.BeginArray(4));  // no actions
  out.EndArray(out.BeginArray(8));  // no hints
  out.Int32(-1);                    // the service's own time-out
  DbusHeader header = CallHeader(serial, "org.freedesktop.Notifications", "Notify");
  header.signature = "susssasa{sv}i";
  return DbusMessage(header, out.bytes());
}

}  // namespace kestrova
