// An internet in memory: replies by exact address, failures on demand, and a record of every request and handle.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Http.h"

namespace tc {

class ScriptedHttp final : public Http {
 public:
  struct Reply {
    Reply(std::string body, std::size_t chunk = 4096, std::optional<std::size_t> failingRead = std::nullopt,
          std::function<void()> whileSending = nullptr)
        : body(std::move(body)), chunk(chunk), failingRead(failingRead), whileSending(std::move(whileSending)) {}

    std::string body;
    // Bytes handed out per read, at most what the reader asks for; servers rarely fill every buffer.
    std::size_t chunk = 4096;
    // The read that fails (0 the first), if any.
    std::optional<std::size_t> failingRead;
    // Runs while the request is being sent, as a user acting meanwhile would.
    std::function<void()> whileSending;
  };

  struct Request {
    std::u16string url;
    std::u16string headers;
    std::uint32_t flags = 0;
  };

  // An address without a reply behaves as a server that can't be reached.
  void Serve(const std::u16string& url, Reply reply) { replies_.insert_or_assign(url, std::move(reply)); }

  std::unique_ptr<HttpSession> OpenSession(const std::u16string& agent, HttpProxy proxy) override;

  bool sessionsFail = false;

  std::vector<std::u16string> agents;  // one per connection opened
  std::vector<HttpProxy> proxies;
  std::vector<Request> requests;       // every request sent, also those that failed
  std::vector<std::size_t> readSizes;  // what each read asked for
  int openHandles = 0;                 // connections and requests not closed yet

 private:
  friend class ScriptedHttpSession;
  std::map<std::u16string, Reply> replies_;
};

}  // namespace tc
