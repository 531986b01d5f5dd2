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

}  // namespace tc
