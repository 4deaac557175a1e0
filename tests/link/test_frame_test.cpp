#include "link/test_frame.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

using Frame = std::array<std::uint8_t, 14>;

const Frame kDesignFrame = {0xA0, 0x00, 0x30, 0x00, 0x00, 0x04, 0x02,
                            0x05, 0x04, 0x00, 0x00, 0x00, 0x5B, 0x00};

Frame with_ff_from(Frame frame, std::size_t first) {
  for (std::size_t i = first; i < frame.size(); ++i) frame[i] = 0xFF;
  return frame;
}

TEST(HexPairToByte, ValuesTwoHexDigitsOnly) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"00", 0},   {"09", 9},  {"5B", 91}, {"5b", 91},  {"a0", 160},
      {"Ff", 255}, {"", -1},   {"5", -1},  {"123", -1}, {"G0", -1},
      {"0x", -1},  {" 5", -1}, {"5 ", -1}, {"-1", -1},  {"\xCE\xA9", -1},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(hex_pair_to_byte(text), value) << text;
}

TEST(ParseTestText, ReadsAPairEveryThreeCharacters) {
  const std::string design = "A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 ";
  const struct {
    std::string text;
    Frame expected;
  } cases[] = {
      {design, kDesignFrame},
      {"a0 00 30 00 00 04 02 05 04 00 00 00 5b 00 ", kDesignFrame},
      {"A0-00-30-00-00-04-02-05-04-00-00-00-5B-00", kDesignFrame},
      {"A0\xC2\xB7"
       "00 30 00 00 04 02 05 04 00 00 00 5B 00",
       kDesignFrame},
      {design + "FF FF", kDesignFrame},
      {"A0 00 30 00 00 04 02 05 04 00 00 00 5B 5", with_ff_from(kDesignFrame, 13)},
      {"A0 00 30", with_ff_from(kDesignFrame, 3)},
      {"", with_ff_from(kDesignFrame, 0)},
      {"A0 0G 30 00 00 04 02 05 04 00 00 00 5B 00",
       [] {
         Frame f = kDesignFrame;
         f[1] = 0xFF;
         return f;
       }()},
      // Pairs are found by position, not by separators.
      {"A000 30", with_ff_from(kDesignFrame, 1)},
  };
  for (const auto& c : cases) EXPECT_EQ(parse_test_text(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace tarvo
