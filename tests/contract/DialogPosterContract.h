// The dialog poster contract: posts from another thread reach the handler in order, and none after the end.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/Ui.h"

namespace tc {

struct PosterHost {
  std::function<std::unique_ptr<Ui>()> make;
  // Arranges for the posts to the next dialog to be handed to its handler, as its message loop would.
  std::function<void(Ui&, const std::u16string& caption)> letPostsArrive;
};

class DialogPosterContract : public ::testing::TestWithParam<PosterHost> {};

}  // namespace tc
