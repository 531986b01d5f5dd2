// The internet port over WinINet: one handle object per HINTERNET, closed when it goes.
#include "platform/win32/Win32Http.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <limits>

#include "platform/win32/Win32Text.h"

namespace tc {

namespace {

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  ~InternetHandle() { InternetCloseHandle(handle_); }
  HINTERNET Get() const { return handle_; }

 private:
  HINTERNET handle_;
};

class Win32HttpRequest final : public HttpRequest {
 public:
  explicit Win32HttpRequest(HINTERNET handle) : handle_(handle) {}
  std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t capacity) override {
    DWORD read = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(capacity, std::numeric_limits<DWORD>::max()));
    if (!InternetReadFile(handle_.Get(), buffer, asked, &read)) return std::nullopt;
    return read;
  }

 private:
  InternetHandle handle_;
};

class Win32HttpSession final : public HttpSession {
 public:
  explicit Win32HttpSession(HINTERNET handle) : handle_(handle) {}
  std::unique_ptr<HttpRequest> OpenUrl(const std::u16string& url, const std::u16string& headers,
                                       std::uint32_t flags) override {
    HINTERNET request = InternetOpenUrlW(handle_.Get(), Wide(url), headers.empty() ? nullptr : Wide(headers),
                                         static_cast<DWORD>(headers.size()), flags, 0);
    if (!request) return nullptr;
    return std::make_unique<Win32HttpRequest>(request);
  }

 private:
  InternetHandle handle_;
};

}  // namespace

std::unique_ptr<HttpSession> Win32Http::OpenSession(const std::u16string& agent, HttpProxy proxy) {
  static_assert(static_cast<DWORD>(HttpProxy::Preconfigured) == INTERNET_OPEN_TYPE_PRECONFIG);
  HINTERNET connection = InternetOpenW(Wide(agent), static_cast<DWORD>(proxy), nullptr, nullptr, 0);
  if (!connection) return nullptr;
  return std::make_unique<Win32HttpSession>(connection);
}

}  // namespace tc
