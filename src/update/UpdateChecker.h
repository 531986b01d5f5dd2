// One query of the update endpoint: the program's version goes out, the newest version and its address come back.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Environment.h"
#include "platform/Http.h"

namespace tc {

// 1.1.1.0, one byte per dotted part from the most significant; sent in the query and compared with the reply.
constexpr std::uint32_t OwnVersion = 0x01010100;

// INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI:
// always the server's answer, never a cached one, and no dialog of the internet library.
constexpr std::uint32_t kUpdateRequestFlags = 0x84000300;

inline constexpr char16_t kUpdateAgent[] = u"WebUpdateChecker";
inline constexpr char16_t kUpdateHeaders[] = u"Content-type: text/plain";

class UpdateChecker {
 public:
  explicit UpdateChecker(std::u16string baseAddress, std::uint32_t ownVersion = OwnVersion,
                         std::u16string source = u"program");

  // The base address with the version and source as its query.
  std::u16string RequestAddress() const;

  // Blocks for the whole request. True when the reply was valid and its address may be opened; only then do
  // ServerVersion and DownloadUrl hold its values.
  bool CheckForUpdates(Http& http, Environment& environment);

  std::uint32_t ServerVersion() const { return serverVersion_; }
  const std::u16string& DownloadUrl() const { return downloadUrl_; }

 private:
  std::uint32_t ownVersion_;
  std::u16string baseAddress_;
  std::u16string source_;
  std::uint32_t serverVersion_ = 0;
  std::u16string downloadUrl_;
};

}  // namespace tc
