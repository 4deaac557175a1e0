#include "window_placement.h"

#include <gtest/gtest.h>

#include <QRect>

namespace tarvo {
namespace {

// A side window goes where it covers nothing of the main window, trying the
// right, the left, below and above in turn; only where none has room does it
// cover part of the main window, as little as it can.
TEST(WindowPlacement, SideWindowsGoBesideTheMainWindow) {
  struct Case {
    const char* name;
    QRect main;
    QRect screen;
    QSize size;
    QRect expected;
  };
  const QRect wide(0, 0, 2560, 1400);
  const Case cases[] = {
      {"room on the right", {100, 100, 1100, 650}, wide, {640, 440}, {1200, 100, 640, 440}},
      {"right too narrow: left", {900, 100, 1100, 650}, wide, {640, 440}, {260, 100, 640, 440}},
      {"taller than the room below the top: slides up along the edge",
       {1200, 900, 1100, 450},
       wide,
       {640, 700},
       {560, 700, 640, 700}},
      {"no room beside: below",
       {300, 0, 1100, 650},
       {0, 0, 1700, 1200},
       {640, 440},
       {300, 650, 640, 440}},
      {"no room beside or below: above",
       {300, 500, 1100, 650},
       {0, 0, 1700, 1150},
       {640, 440},
       {300, 60, 640, 440}},
      {"no room anywhere: the least covered",
       {0, 0, 1100, 650},
       {0, 0, 1280, 800},
       {640, 440},
       {0, 360, 640, 440}},
      {"no room anywhere: a sliver of the left edge",
       {830, 400, 1100, 650},
       {0, 0, 2560, 1440},
       {900, 460},
       {0, 400, 900, 460}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(beside_rect(c.main, c.screen, c.size.width(), c.size.height()), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace tarvo
