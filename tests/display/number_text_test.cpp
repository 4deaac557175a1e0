#include "display/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/rounding.h"

namespace tarvo {
namespace {

TEST(NumberText, ScaledValuesInGeneralForm) {
  struct Case {
    std::int64_t value;
    const char* separator;
    const char* text;
  };
  const Case cases[] = {
      {123450, ".", "12.345"},
      {-5000, ".", "-0.5"},
      {25000, ".", "2.5"},
      {500000, ".", "50"},
      {12345, ",", "1,2345"},
      {0, ".", "0"},
      {1, ".", "0.0001"},
      {-1, ".", "-0.0001"},
      {-500000, ".", "-50"},
      {10001, ".", "1.0001"},
      {99999999990000, ".", "9999999999"},
      // More than 15 significant digits are rounded away.
      {1234567890123456, ".", "123456789012.346"},
      {9999999999999999, ".", "1000000000000"},
      {-1234567890123449, ".", "-123456789012.345"},
      {std::numeric_limits<std::int64_t>::max(), ".", "922337203685478"},
      {std::numeric_limits<std::int64_t>::min(), ".", "-922337203685478"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(scaled_number_text(c.value, c.separator), c.text) << c.value;
  }
}

TEST(NumberRounding, HalfUpTruncatesNegatives) {
  struct Case {
    double x;
    std::int32_t rounded;
  };
  const Case cases[] = {
      {2.5, 3},
      {2.4999, 2},
      {0.5, 1},
      {0.0, 0},
      {-0.4, 0},
      {-0.5, 0},
      {-2.5, -2},
      {-2.7, -2},
      {198.5, 199},
      {4669.0, 4669},
      {1e12, std::numeric_limits<std::int32_t>::max()},
      {-1e12, std::numeric_limits<std::int32_t>::min()},
      {std::nan(""), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(round_half_up(c.x), c.rounded) << c.x;
}

}  // namespace
}  // namespace tarvo
