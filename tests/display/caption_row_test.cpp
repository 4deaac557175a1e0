#include "display/caption_row.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// The four buttons of the lower panel: 856 to 1075 at the design widths.
const std::vector<int> kDesign = {51, 50, 50, 50};

std::vector<CaptionSlot> slots(const std::vector<int>& needed) {
  std::vector<CaptionSlot> s;
  for (std::size_t i = 0; i < needed.size(); ++i) s.push_back({kDesign[i], needed[i]});
  return s;
}

TEST(CaptionRow, PlacesButtonsSoTheirCaptionsFit) {
  struct Case {
    const char* name;
    std::vector<int> needed;
    std::optional<std::vector<int>> left;
    std::vector<int> width;
  };
  const Case cases[] = {
      {"short captions keep the design",
       {30, 30, 35, 30},
       {{856, 913, 969, 1025}},
       {51, 50, 50, 50}},
      {"one long caption grows leftwards",
       {30, 30, 58, 30},
       {{848, 905, 961, 1025}},
       {51, 50, 58, 50}},
      {"too long for the design widths: captions only",
       {36, 40, 76, 56},
       {{849, 891, 937, 1019}},
       {36, 40, 76, 56}},
      {"too long even then", {60, 60, 90, 70}, std::nullopt, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto row = place_caption_row(slots(c.needed), 1075, 843, 6);
    ASSERT_EQ(row.has_value(), c.left.has_value());
    if (!row) continue;
    EXPECT_EQ(row->left, *c.left);
    EXPECT_EQ(row->width, c.width);
  }
}

TEST(CaptionRow, TitleColumnTakesWhatItsWidestCaptionNeeds) {
  struct Case {
    int widest;
    ColumnSplit split;
  };
  const Case cases[] = {
      {30, {43, 903, 140}},  // the design split
      {80, {80, 940, 103}},  // a long title narrows the values
      {200, {99, 959, 84}},  // the values keep their narrowest width
  };
  for (const Case& c : cases) {
    const ColumnSplit s = split_title_column(854, 1043, 6, 43, c.widest, 84);
    EXPECT_EQ(s.title_width, c.split.title_width) << c.widest;
    EXPECT_EQ(s.value_left, c.split.value_left) << c.widest;
    EXPECT_EQ(s.value_width, c.split.value_width) << c.widest;
  }
}

}  // namespace
}  // namespace tarvo
