#pragma once

#include <array>

#include "decode/frame_text.h"

namespace tarvo {

// Range text and unit change per range code (frame byte 0, low five bits).
// Both families share these rows; codes 6-31 have no cell. The first five
// rows go by the working unit, so "DIO" (unit "V") follows the "V" row.
// clang-format off
inline constexpr std::array<RangeRow, 9> kRangeTable{{
  //                        0                  1                  2                  3                  4                  5
  {RangeKey::Unit,     "V",   {{{"5.0000", ""},   {"50.000", ""},   {"500.00", ""},   {"1000.0", ""},   {},                {}}}},
  {RangeKey::Unit,     "mV",  {{{"50.000", ""},   {"500.00", ""},   {},               {},               {},                {}}}},
  {RangeKey::Unit,     "mA",  {{{"50.000", ""},   {"500.00", ""},   {},               {},               {},                {}}}},
  {RangeKey::Unit,     "uA",  {{{"500.00", ""},   {"5000.0", ""},   {},               {},               {},                {}}}},
  {RangeKey::Unit,     "A",   {{{"5.0000", ""},   {"10.000", ""},   {},               {},               {},                {}}}},
  {RangeKey::Function, "OHM", {{{"500.00", ""},   {"5.0000", "KΩ"}, {"50.000", "KΩ"}, {"500.00", "KΩ"}, {"5.0000", "MΩ"},  {"50.000", "MΩ"}}}},
  {RangeKey::Function, "CAP", {{{"50.00", "nF"},  {"50.00", "nF"},  {"5.000", ""},    {"50.00", ""},    {"500.0", ""},     {"5000", ""}}}},
  {RangeKey::Function, "FRE", {{{"99.999", ""},   {"999.99", ""},   {"9.9999", "KHz"},{"99.999", "KHz"},{"999.99", "KHz"}, {"9.9999", "MHz"}}}},
  {RangeKey::Function, "CON", {{{"500.00", ""},   {},               {},               {},               {},                {}}}},
}};
// clang-format on

}  // namespace tarvo
