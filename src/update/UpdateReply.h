// The update endpoint's reply: "*" and Base64 of type-length-value records naming the newest version and its address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tc {

constexpr std::size_t kUpdateReplyChunk = 256;
constexpr std::size_t kUpdateReplyLimit = 1u << 20;

constexpr std::uint8_t kVersionRecord = 1;
constexpr std::uint8_t kAddressRecord = 3;

struct UpdateReply {
  std::uint32_t version = 0;  // packed like OwnVersion
  std::string address;        // bytes in the system's ANSI code page
};

// The body as it arrives: each chunk is checked at once, so that a wrong or endless reply stops the read early.
class UpdateReplyBody {
 public:
  // False when the body so far doesn't start with "*" or has grown past the limit; the read must stop.
  bool Append(const std::uint8_t* bytes, std::size_t length);
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Strict Base64 (RFC 4648, standard alphabet), group by group: any group of four may end in "=" or "==";
// nullopt on any other character.
std::optional<std::string> DecodeBase64(std::string_view text);

// The records must fill the bytes exactly and hold one version and one address record; others are skipped.
std::optional<UpdateReply> ParseUpdateRecords(std::string_view bytes);

// A whole body, "*" included.
std::optional<UpdateReply> DecodeUpdateReply(std::string_view body);

// Whether the shell may be handed the address: http:// or https:// with a host part, and nothing that could
// end the address early on a command line (control characters, spaces, double quotes).
bool IsWebAddress(std::u16string_view address);

}  // namespace tc
