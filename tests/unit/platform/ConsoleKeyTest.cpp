// The key that closes the kept console: one the user means, never a modifier on the way to another window.
#include <gtest/gtest.h>

#include "platform/ConsoleKey.h"

namespace tc {
namespace {

TEST(ConsoleKey, OnlyAKeyThatTypesOrEnterEscapeOrSpaceClosesTheKeptConsole) {
  const struct {
    bool down;
    std::uint16_t key;
    char16_t typed;
    bool closes;
  } cases[] = {{true, 'A', u'a', true},   {false, 'A', u'a', false}, {true, 0x0D, u'\r', true},
               {true, 0x1B, 0x1B, true},  {true, ' ', u' ', true},     {true, 'E', u'\u20AC', true},  // AltGr+E
               {true, 0x10, 0, false},    {true, 0x11, 0, false},      {true, 0x12, 0, false},  // Shift, Ctrl, Alt
               {true, 0x5B, 0, false},    {true, 0x09, u'\t', false},  {true, 0x70, 0, false},  // Windows, Tab, F1
               {true, 'A', 0x01, false}};                                                     // Ctrl+A
  for (const auto& c : cases) EXPECT_EQ(ClosesKeptConsole(c.down, c.key, c.typed), c.closes) << c.key << c.down;
}

}  // namespace
}  // namespace tc
