// The posts to one scripted dialog: any thread may post, the test delivers them; closed once the dialog has ended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/Ui.h"

namespace tc {

class ScriptedPoster final : public DialogPoster {
 public:
  void Post(int message, std::intptr_t value) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!closed_) posts_.emplace_back(message, value);
  }
  // The oldest post not yet delivered.
  std::optional<std::pair<int, std::intptr_t>> Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_ || posts_.empty()) return std::nullopt;
    auto post = posts_.front();
    posts_.pop_front();
    return post;
  }
  std::size_t Waiting() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return posts_.size();
  }
  // What is waiting then is dropped, as the system drops the messages of a window that is gone.
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    posts_.clear();
  }

 private:
  mutable std::mutex mutex_;
  bool closed_ = false;
  std::deque<std::pair<int, std::intptr_t>> posts_;
};

}  // namespace tc
