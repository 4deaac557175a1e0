#include "anchors.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(Anchors, ControlsKeepTheirEdgesWhenTheParentGrows) {
  const QSize design{1080, 568};
  struct Case {
    const char* name;
    QRect control;
    Anchors anchors;
    QSize parent;
    QRect expected;
  };
  const Case cases[] = {
      {"top left stays", {10, 20, 30, 40}, kAnchorTopLeft, {1280, 700}, {10, 20, 30, 40}},
      {"all four stretches", {1, 0, 668, 395}, kAnchorAll, {1280, 700}, {1, 0, 868, 527}},
      {"right side moves, height stretches",
       {665, 0, 414, 395},
       kAnchorTopRightBottom,
       {1280, 700},
       {865, 0, 414, 527}},
      {"bottom strip moves down and widens",
       {1, 396, 1079, 152},
       kAnchorLeftRightBottom,
       {1280, 700},
       {1, 528, 1279, 152}},
      {"bottom right corner moves both ways",
       {903, 5, 140, 21},
       kAnchorRightBottom,
       {1280, 700},
       {1103, 137, 140, 21}},
      {"bottom left moves down only",
       {642, 502, 70, 27},
       kAnchorLeftBottom,
       {1280, 700},
       {642, 634, 70, 27}},
      {"no horizontal anchor floats by half",
       {100, 0, 50, 10},
       {false, true, false, false},
       {1280, 568},
       {200, 0, 50, 10}},
      {"design size changes nothing", {1, 0, 668, 395}, kAnchorAll, design, {1, 0, 668, 395}},
      {"shrinking below zero stops at zero",
       {1, 0, 668, 395},
       kAnchorAll,
       {300, 100},
       {1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(anchored_rect(c.control, design, c.parent, c.anchors), c.expected);
  }
}

}  // namespace
}  // namespace tarvo
