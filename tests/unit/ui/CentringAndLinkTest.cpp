// Where dialogs open, and how a link's look follows the mouse.
#include <gtest/gtest.h>

#include "ui/Centring.h"
#include "ui/LinkHover.h"

namespace tc {
namespace {

struct CentringCase {
  const char* what;
  Rect dialog;
  std::optional<Rect> reference;
  Rect workArea;
  Point expected;
};

TEST(CentringTest, CentresOnTheReferenceOrTheWorkAreaAndKeepsInsideTheWorkArea) {
  const Rect screen{0, 0, 1280, 984};   // a task bar below
  const Rect lowered{0, 40, 1280, 984};  // a task bar above
  const CentringCase cases[] = {
      {"on its owner", {0, 0, 400, 300}, Rect{100, 100, 600, 500}, screen, {200, 200}},
      {"no owner, or owner hidden or minimised", {0, 0, 400, 300}, std::nullopt, screen, {440, 342}},
      {"work area not at the origin", {0, 0, 400, 300}, std::nullopt, lowered, {440, 382}},
      {"odd sizes round towards the top left", {0, 0, 401, 301}, Rect{0, 0, 600, 500}, screen, {99, 99}},
      {"owner near the left and top edges", {0, 0, 400, 300}, Rect{-300, -200, 200, 100}, screen, {0, 0}},
      {"owner near the right and bottom edges", {0, 0, 400, 300}, Rect{1200, 900, 300, 200}, screen, {880, 684}},
      {"below a top task bar", {0, 0, 400, 300}, Rect{0, 0, 400, 100}, lowered, {0, 40}},
      {"larger than the work area, no owner", {0, 0, 1600, 1200}, std::nullopt, lowered, {0, 40}},
      // Pushed back from the right edge it would start off the screen: the left and top edges win.
      {"larger than the work area, on an owner", {0, 0, 1600, 1200}, Rect{800, 500, 100, 100}, screen, {0, 0}},
      {"owner on another monitor to the right", {0, 0, 400, 300}, Rect{1400, 100, 600, 500}, screen, {880, 200}},
  };
  for (const CentringCase& c : cases) {
    const Point at = CentredPosition(c.dialog, c.reference, c.workArea);
    EXPECT_EQ(at.x, c.expected.x) << c.what;
    EXPECT_EQ(at.y, c.expected.y) << c.what;
  }
}

TEST(LinkHoverTest, TheLookChangesOnceOnArrivalAndOnceOnLeaving) {
  LinkHover hover;
  EXPECT_FALSE(hover.LooksHovered(true));
  EXPECT_TRUE(hover.MouseMoved());   // start tracking, repaint
  EXPECT_FALSE(hover.MouseMoved());  // further moves change nothing
  EXPECT_TRUE(hover.LooksHovered(true));
  EXPECT_TRUE(hover.MouseLeft());
  EXPECT_FALSE(hover.MouseLeft());
  EXPECT_FALSE(hover.LooksHovered(true));
}

TEST(LinkHoverTest, ADisabledLinkNeverLooksHovered) {
  LinkHover hover;
  hover.MouseMoved();
  EXPECT_FALSE(hover.LooksHovered(false));
  EXPECT_TRUE(hover.LooksHovered(true));  // enabled again while the mouse is still over it
}

}  // namespace
}  // namespace tc
