// Fuzz target for update replies: the decoder agrees with a plain model, and only web addresses pass.
// Build: clang++ -std=c++20 -fsanitize=fuzzer,address,undefined -I src -I tests tests/fuzz/UpdateReplyFuzz.cpp
//        src/update/UpdateReply.cpp src/base/Text.cpp
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "update/UpdateReply.h"

#include "FuzzCheck.h"
#include "unit/update/ReplyBuilder.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// A second decoder, written bit by bit rather than by shifts of whole groups. Each group of four stands alone:
// it may end in "=" or "==", and the bits its padding leaves over are dropped.
std::optional<std::string> ModelDecode(const std::string& text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  for (std::size_t group = 0; group < text.size(); group += 4) {
    const std::string four = text.substr(group, 4);
    const std::size_t pad = four.compare(2, 2, "==") == 0 ? 2 : four.back() == '=' ? 1 : 0;
    std::uint32_t bits = 0;
    int count = 0;
    for (std::size_t i = 0; i < 4 - pad; ++i) {
      const char* found = __builtin_strchr(kAlphabet, four[i]);
      if (four[i] == '\0' || !found) return std::nullopt;
      bits = bits << 6 | static_cast<std::uint32_t>(found - kAlphabet);
      count += 6;
      if (count >= 8) {
        count -= 8;
        out.push_back(static_cast<char>(bits >> count & 0xFF));
      }
    }
  }
  return out;
}

struct ModelReply {
  bool valid = false;
  std::uint32_t version = 0;
  std::string address;
};

ModelReply ModelRecords(const std::string& bytes) {
  ModelReply reply;
  int versions = 0;
  int addresses = 0;
  std::size_t at = 0;
  if (bytes.empty()) return reply;
  while (at != bytes.size()) {
    if (at + 5 > bytes.size()) return reply;
    std::int64_t length = 0;
    for (int i = 4; i >= 1; --i) length = length << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    if (length >= 0x80000000LL) return reply;  // negative as a signed 32-bit number
    const int type = static_cast<std::uint8_t>(bytes[at]);
    if (static_cast<std::uint64_t>(length) > bytes.size() - at - 5) return reply;
    const std::string value = bytes.substr(at + 5, static_cast<std::size_t>(length));
    if (type == 1) {
      if (++versions > 1 || value.size() != 4) return reply;
      for (int i = 3; i >= 0; --i) reply.version = reply.version << 8 | static_cast<std::uint8_t>(value[i]);
    } else if (type == 3) {
      if (++addresses > 1) return reply;
      reply.address = value;
    }
    at += 5 + static_cast<std::size_t>(length);
  }
  reply.valid = versions == 1 && addresses == 1;
  return reply;
}

void CheckAgainstModel(const std::string& body) {
  const std::optional<tc::UpdateReply> reply = tc::DecodeUpdateReply(body);
  ModelReply model;
  if (!body.empty() && body[0] == '*' && body.size() <= tc::kUpdateReplyLimit) {
    if (const std::optional<std::string> bytes = ModelDecode(body.substr(1))) model = ModelRecords(*bytes);
  }
  CHECK(reply.has_value() == model.valid);
  if (reply) {
    CHECK(reply->version == model.version);
    CHECK(reply->address == model.address);
  }
}

void CheckBase64(const std::string& text) {
  const std::optional<std::string> decoded = tc::DecodeBase64(text);
  const std::optional<std::string> model = ModelDecode(text);
  // The model takes any leftover bits; the decoder too, so both agree on every text.
  CHECK(decoded.has_value() == model.has_value());
  if (decoded) {
    CHECK(*decoded == *model);
    CHECK(tc::DecodeBase64(tc::test::Base64(*decoded)) == decoded);
  }
}

void CheckAddress(const std::string& bytes) {
  std::u16string address;
  for (char c : bytes) address.push_back(static_cast<std::uint8_t>(c));
  if (!tc::IsWebAddress(address)) return;
  const std::u16string lower = [&] {
    std::u16string s = address.substr(0, 8);
    for (char16_t& c : s) c = c >= u'A' && c <= u'Z' ? c + 32 : c;
    return s;
  }();
  const std::size_t host = lower.rfind(u"http://", 0) == 0 ? 7 : 8;
  CHECK(host == 7 || lower.rfind(u"https://", 0) == 0);
  CHECK(address.size() > host && address[host] != u'/');
  for (char16_t c : address) CHECK(c > u' ' && c != u'"' && c != 0x7F);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 4) {
    case 0:  // the input is the body as it came
      CheckAgainstModel(rest);
      break;
    case 1:  // the input is the records: encoded here, so that the walk is reached every time
      CheckAgainstModel("*" + tc::test::Base64(rest));
      if (const auto reply = tc::DecodeUpdateReply("*" + tc::test::Base64(rest))) CheckAddress(reply->address);
      break;
    case 2:
      CheckBase64(rest);
      break;
    case 3: {  // the body in chunks of the input's choosing: each check as it arrives
      tc::UpdateReplyBody body;
      std::size_t at = 1;
      std::size_t total = 0;
      while (at < size) {
        const std::size_t length = std::min<std::size_t>(data[at] % 17, size - at - 1);
        const bool more = body.Append(data + at + 1, length);
        total += length;
        CHECK(body.Bytes().size() == total);
        CHECK(more == (total != 0 && body.Bytes()[0] == '*'));
        at += 1 + length;
        if (!more) break;
      }
      CheckAddress(rest);
      break;
    }
  }
  return 0;
}
