// The internet port: one GET of an address, its body read in chunks; every handle closes when its object goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tc {

enum class HttpProxy : std::uint32_t {
  Preconfigured = 0,  // INTERNET_OPEN_TYPE_PRECONFIG: the system's proxy settings
};

// An open request (InternetOpenUrlW); destroying it closes its handle.
class HttpRequest {
 public:
  virtual ~HttpRequest() = default;
  // InternetReadFile of up to `capacity` bytes: the number read, 0 at the end of the body, nullopt on a failure.
  virtual std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t capacity) = 0;
};

// An internet handle (InternetOpenW); destroying it closes its handle. Its requests are destroyed before it.
class HttpSession {
 public:
  virtual ~HttpSession() = default;
  // Sends the GET with the extra header lines and the request flags; nullptr when it fails.
  virtual std::unique_ptr<HttpRequest> OpenUrl(const std::u16string& url, const std::u16string& headers,
                                               std::uint32_t flags) = 0;
};

class Http {
 public:
  virtual ~Http() = default;
  // nullptr when the library can't be opened.
  virtual std::unique_ptr<HttpSession> OpenSession(const std::u16string& agent, HttpProxy proxy) = 0;
};

}  // namespace tc
