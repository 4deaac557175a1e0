#include "display/grid_texts.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "decode/decode_settings.h"

namespace tarvo {
namespace {

// FNV-1a over every column's texts, each ended by "|", each column by a line
// break: one number that changes with any text, its order or its column.
std::uint64_t digest(const GridColumnTexts& texts) {
  std::uint64_t h = 0xcbf29ce484222325U;
  const auto mix = [&h](char c) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3U;
  };
  for (const std::vector<std::string>& column : texts) {
    for (const std::string& text : column) {
      for (const char c : text) mix(c);
      mix('|');
    }
    mix('\n');
  }
  return h;
}

struct GridTextCase {
  const char* separator;
  std::array<std::size_t, kGridColumns.size()> counts;
  std::uint64_t digest;
};

// What every family's frame shapes decode to, taken from the texts the grid
// measured before the families' rows held their shapes.
const GridTextCase kGridTexts[] = {
    {".", {2, 2, 12, 160, 14, 83}, 0x979d1fe0fc47c0d8U},
    {",", {2, 2, 12, 160, 14, 83}, 0x01627179af30e104U},
};

TEST(GridColumnTexts, EveryFamilysShapesGiveTheSameTextsInTheSameOrder) {
  for (const GridTextCase& c : kGridTexts) {
    SCOPED_TRACE(c.separator);
    const GridColumnTexts texts = grid_column_texts(c.separator, DecodeSettings{}.ohm_sign);
    for (std::size_t column = 0; column < texts.size(); ++column) {
      EXPECT_EQ(texts[column].size(), c.counts[column]) << "column " << column;
    }
    EXPECT_EQ(digest(texts), c.digest);
  }
}

}  // namespace
}  // namespace tarvo
