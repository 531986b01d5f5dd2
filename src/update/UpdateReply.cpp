// The update endpoint's reply: read limits, strict Base64, the record walk, and which addresses may be opened.
#include "update/UpdateReply.h"

#include "base/Text.h"

namespace tc {

namespace {

// 0-63 for the alphabet, -1 for anything else ("=" included).
int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

bool UpdateReplyBody::Append(const std::uint8_t* bytes, std::size_t length) {
  bytes_.append(reinterpret_cast<const char*>(bytes), length);
  return !bytes_.empty() && bytes_.front() == '*' && bytes_.size() <= kUpdateReplyLimit;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t at = 0; at < text.size(); at += 4) {
    const int a = Base64Value(text[at]);
    const int b = Base64Value(text[at + 1]);
    if (a < 0 || b < 0) return std::nullopt;
    const char third = text[at + 2];
    const char fourth = text[at + 3];
    const int c = Base64Value(third);
    const int d = Base64Value(fourth);
    // Each group is judged alone, so texts encoded apart and joined stay valid: "xx==" and "xxx=" anywhere.
    if (c < 0 && !(third == '=' && fourth == '=')) return std::nullopt;
    if (d < 0 && fourth != '=') return std::nullopt;
    out.push_back(static_cast<char>(a << 2 | b >> 4));
    if (c >= 0) out.push_back(static_cast<char>((b & 0xF) << 4 | c >> 2));
    if (d >= 0) out.push_back(static_cast<char>((c & 0x3) << 6 | d));
  }
  return out;
}

std::optional<UpdateReply> ParseUpdateRecords(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  UpdateReply reply;
  bool haveVersion = false;
  bool haveAddress = false;
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 5) return std::nullopt;
    const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i])); };
    const std::uint8_t type = static_cast<std::uint8_t>(byte(at));
    const std::uint32_t raw = byte(at + 1) | byte(at + 2) << 8 | byte(at + 3) << 16 | byte(at + 4) << 24;
    // A signed length: the top bit set is a negative length.
    if (raw > 0x7FFFFFFFu) return std::nullopt;
    const std::size_t length = raw;
    at += 5;
    if (length > bytes.size() - at) return std::nullopt;
    const std::string_view value = bytes.substr(at, length);
    at += length;
    if (type == kVersionRecord) {
      if (haveVersion || length != 4) return std::nullopt;
      reply.version = byte(at - 4) | byte(at - 3) << 8 | byte(at - 2) << 16 | byte(at - 1) << 24;
      haveVersion = true;
    } else if (type == kAddressRecord) {
      if (haveAddress) return std::nullopt;
      reply.address.assign(value);
      haveAddress = true;
    }
  }
  if (!haveVersion || !haveAddress) return std::nullopt;
  return reply;
}

std::optional<UpdateReply> DecodeUpdateReply(std::string_view body) {
  if (body.empty() || body.front() != '*' || body.size() > kUpdateReplyLimit) return std::nullopt;
  const std::optional<std::string> bytes = DecodeBase64(body.substr(1));
  if (!bytes) return std::nullopt;
  return ParseUpdateRecords(*bytes);
}

bool IsWebAddress(std::u16string_view address) {
  std::size_t schemeLength = 0;
  if (address.size() > 7 && EqualsIgnoreCase(address.substr(0, 7), u"http://")) {
    schemeLength = 7;
  } else if (address.size() > 8 && EqualsIgnoreCase(address.substr(0, 8), u"https://")) {
    schemeLength = 8;
  } else {
    return false;
  }
  if (address[schemeLength] == u'/') return false;  // no host
  for (char16_t c : address) {
    if (c <= u' ' || c == 0x7F || c == u'"') return false;
  }
  return true;
}

}  // namespace tc
