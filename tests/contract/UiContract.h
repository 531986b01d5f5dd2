// The dialog contract: one small dialog with every kind of control, run on each user-interface host.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/Ui.h"

namespace tc {

struct UiHost {
  std::function<std::unique_ptr<Ui>()> make;
  // Arranges for the next dialog to be ended by its timer, as time passing would.
  std::function<void(Ui&, const std::u16string& caption, int timer)> letTimerFire;
};

class UiContract : public ::testing::TestWithParam<UiHost> {};

}  // namespace tc
