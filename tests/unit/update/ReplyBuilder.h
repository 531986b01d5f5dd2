// Builds update replies for the tests: records, their Base64 text and the "*" in front.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tc::test {

inline std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    const std::size_t left = bytes.size() - at;
    const auto byte = [&](std::size_t i) { return i < left ? static_cast<std::uint8_t>(bytes[at + i]) : 0u; };
    const std::uint32_t group = byte(0) << 16 | byte(1) << 8 | byte(2);
    text += kAlphabet[group >> 18 & 63];
    text += kAlphabet[group >> 12 & 63];
    text += left > 1 ? kAlphabet[group >> 6 & 63] : '=';
    text += left > 2 ? kAlphabet[group & 63] : '=';
  }
  return text;
}

inline std::string LittleEndian(std::uint32_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
          static_cast<char>(value >> 24)};
}

// One record with the length its value has, or another one.
inline std::string Record(std::uint8_t type, std::string_view value) {
  return static_cast<char>(type) + LittleEndian(static_cast<std::uint32_t>(value.size())) + std::string(value);
}
inline std::string RecordWithLength(std::uint8_t type, std::uint32_t length, std::string_view value) {
  return static_cast<char>(type) + LittleEndian(length) + std::string(value);
}

inline std::string VersionRecord(std::uint32_t version) { return Record(1, LittleEndian(version)); }
inline std::string AddressRecord(std::string_view address) { return Record(3, address); }

inline std::string Body(std::string_view records) { return "*" + Base64(records); }

inline std::string ValidBody(std::uint32_t version, std::string_view address) {
  return Body(VersionRecord(version) + AddressRecord(address));
}

}  // namespace tc::test
