// What a Windows executable's headers say about it without running it.
#include "formats/ExecutableHeader.h"

#include <array>

namespace tc {

namespace {

std::uint16_t Little16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t Little32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

// The signature and IMAGE_FILE_HEADER, then the optional header up to and with Subsystem, which lies at the
// same offset in the 32- and the 64-bit form.
constexpr std::size_t kFileHeaderEnd = 24;
constexpr std::size_t kSubsystemOffset = kFileHeaderEnd + 68;

}  // namespace

std::optional<ExecutableHeader> ReadExecutableHeader(Files& files, const std::u16string& executable) {
  const auto reader = files.OpenForReading(executable);
  if (!reader) return std::nullopt;
  std::array<std::uint8_t, 64> dos{};  // IMAGE_DOS_HEADER; e_lfanew is its last field
  if (reader->ReadAt(0, dos.data(), dos.size()) != dos.size() || dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
  const std::uint64_t pe = Little32(&dos[0x3C]);
  std::array<std::uint8_t, kSubsystemOffset + 2> headers{};
  const auto read = reader->ReadAt(pe, headers.data(), headers.size());
  if (!read || *read < 6) return std::nullopt;
  if (headers[0] != 'P' || headers[1] != 'E' || headers[2] != 0 || headers[3] != 0) return std::nullopt;
  ExecutableHeader header;
  header.machine = Little16(&headers[4]);
  const std::uint16_t optionalHeaderSize = Little16(&headers[20]);
  if (*read == headers.size() && optionalHeaderSize >= kSubsystemOffset + 2 - kFileHeaderEnd) {
    header.subsystem = Little16(&headers[kSubsystemOffset]);
  }
  return header;
}

}  // namespace tc
