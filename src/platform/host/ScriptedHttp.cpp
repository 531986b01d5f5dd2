// An internet in memory: replies by exact address, failures on demand, and a record of every request and handle.
#include "platform/host/ScriptedHttp.h"

#include <algorithm>

namespace tc {

namespace {

class ScriptedHttpRequest final : public HttpRequest {
 public:
  ScriptedHttpRequest(ScriptedHttp& http, const ScriptedHttp::Reply& reply) : http_(http), reply_(reply) {
    ++http_.openHandles;
  }
  ~ScriptedHttpRequest() override { --http_.openHandles; }

  std::optional<std::size_t> Read(std::uint8_t* buffer, std::size_t capacity) override {
    http_.readSizes.push_back(capacity);
    if (reply_.failingRead == reads_++) return std::nullopt;
    const std::size_t length = std::min({capacity, reply_.chunk, reply_.body.size() - at_});
    std::copy_n(reply_.body.data() + at_, length, buffer);
    at_ += length;
    return length;
  }

 private:
  ScriptedHttp& http_;
  ScriptedHttp::Reply reply_;
  std::size_t at_ = 0;
  std::size_t reads_ = 0;
};

}  // namespace

class ScriptedHttpSession final : public HttpSession {
 public:
  explicit ScriptedHttpSession(ScriptedHttp& http) : http_(http) { ++http_.openHandles; }
  ~ScriptedHttpSession() override { --http_.openHandles; }

  std::unique_ptr<HttpRequest> OpenUrl(const std::u16string& url, const std::u16string& headers,
                                       std::uint32_t flags) override {
    http_.requests.push_back({url, headers, flags});
    const auto found = http_.replies_.find(url);
    if (found == http_.replies_.end()) return nullptr;
    if (found->second.whileSending) found->second.whileSending();
    return std::make_unique<ScriptedHttpRequest>(http_, found->second);
  }

 private:
  ScriptedHttp& http_;
};

std::unique_ptr<HttpSession> ScriptedHttp::OpenSession(const std::u16string& agent, HttpProxy proxy) {
  agents.push_back(agent);
  proxies.push_back(proxy);
  if (sessionsFail) return nullptr;
  return std::make_unique<ScriptedHttpSession>(*this);
}

std::u16string ScriptedHttp::DecodeAnsi(std::string_view bytes) {
  // 0x80-0x9F of Windows-1252; the five bytes it leaves unassigned keep their own value, as Windows maps them.
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::u16string text;
  for (char c : bytes) {
    const auto byte = static_cast<std::uint8_t>(c);
    text.push_back(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : static_cast<char16_t>(byte));
  }
  return text;
}

}  // namespace tc
