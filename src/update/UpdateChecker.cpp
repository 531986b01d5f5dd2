// One query of the update endpoint, read in small chunks and checked as it arrives.
#include "update/UpdateChecker.h"

#include <utility>

#include "base/Text.h"
#include "update/UpdateReply.h"

namespace tc {

UpdateChecker::UpdateChecker(std::u16string baseAddress, std::uint32_t ownVersion, std::u16string source)
    : ownVersion_(ownVersion), baseAddress_(std::move(baseAddress)), source_(std::move(source)) {}

std::u16string UpdateChecker::RequestAddress() const {
  return Format(u"%s?version=%u.%u.%u.%u&source=%s",
                {baseAddress_, ownVersion_ >> 24, ownVersion_ >> 16 & 0xFF, ownVersion_ >> 8 & 0xFF,
                 ownVersion_ & 0xFF, source_});
}

bool UpdateChecker::CheckForUpdates(Http& http, Environment& environment) {
  serverVersion_ = 0;
  downloadUrl_.clear();
  const std::unique_ptr<HttpSession> connection = http.OpenSession(kUpdateAgent, HttpProxy::Preconfigured);
  if (!connection) return false;
  // Declared after the connection, so it is closed first on every path.
  const std::unique_ptr<HttpRequest> request = connection->OpenUrl(RequestAddress(), kUpdateHeaders, kUpdateRequestFlags);
  if (!request) return false;

  UpdateReplyBody body;
  std::uint8_t chunk[kUpdateReplyChunk];
  // Bounded: every turn adds at least one byte, and the body stops at its limit.
  while (true) {
    const std::optional<std::size_t> read = request->Read(chunk, sizeof chunk);
    if (!read || *read > sizeof chunk) return false;
    if (*read == 0) break;
    if (!body.Append(chunk, *read)) return false;
  }
  const std::optional<UpdateReply> reply = DecodeUpdateReply(body.Bytes());
  if (!reply) return false;
  std::u16string address = environment.DecodeAnsi(reply->address);
  // Whoever answers the request must not choose what the shell runs: an address that is to be opened, as that of
  // a newer version is, must be a web address. Any other is never opened and may hold anything.
  if (reply->version > ownVersion_ && !IsWebAddress(address)) return false;
  serverVersion_ = reply->version;
  downloadUrl_ = std::move(address);
  return true;
}

}  // namespace tc
