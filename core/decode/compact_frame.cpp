// Compact frame: 8 bytes, byte 0 first on the line, main display only.
//
//   byte  bits  meaning
//   0     7-5   101 (header mark, 0xA0-0xBF)
//         4-0   range code, 0-5 defined
//   1     7     0
//         6     HOLD
//         5     overload
//         4-0   function code, 0-21 defined
//   2     7     0
//         6     not used
//         5     value negative
//         4     auto ranging
//         3-2   not used
//         1-0   statistics mode: 0 none, 1 MAX, 2 MIN, 3 MAX-MIN
//   3-7         digits, most significant first, 0-9 each (all checked)

#include "decode/compact_frame.h"

#include <array>
#include <string>

#include "decode/frame_bytes.h"
#include "decode/frame_search.h"
#include "decode/frame_text.h"
#include "decode/main_display.h"
#include "decode/range_table.h"

namespace tarvo {

namespace {

// dBm and duty cycle are main functions here, which shifts every later code
// against the bench family.
// clang-format off
constexpr std::array<FunctionRow, 22> kCompactFunctions{{
  // code  name       unit
  {0,  "ACV",     "V"},
  {1,  "dBm",     "dBm"},
  {2,  "DCV",     "V"},
  {3,  "DCV+ACV", "V"},
  {4,  "DCV",     "mV"},
  {5,  "ACV",     "mV"},
  {6,  "DCV+ACV", "mV"},
  {7,  "FRE",     "Hz"},
  {8,  "DUT",     "%"},
  {9,  "DIO",     "V"},
  {10, "OHM",     "Ω"},   // Ω: the language's ohm sign, put in by localise_unit
  {11, "CON",     "Ω"},
  {12, "CAP",     "uF"},
  {13, "DCA",     "uA"},
  {14, "ACA",     "uA"},
  {15, "DCA+ACA", "uA"},
  {16, "DCA",     "mA"},
  {17, "ACA",     "mA"},
  {18, "DCA+ACA", "mA"},
  {19, "DCA",     "A"},
  {20, "ACA",     "A"},
  {21, "ACA+DCA", "A"},
}};

// The shared range rows plus the two functions only this family has.
constexpr std::array<RangeRow, 2> kCompactOnlyRanges{{
  //                        0                1   2   3   4   5
  {RangeKey::Function, "DUT", {{{"99.99", ""}, {}, {}, {}, {}, {}}}},
  {RangeKey::Function, "dBm", {{{"99.99", ""}, {}, {}, {}, {}, {}}}},
}};
// clang-format on
static_assert(codes_match_rows(kCompactFunctions));

template <std::size_t A, std::size_t B>
constexpr std::array<RangeRow, A + B> concat(const std::array<RangeRow, A>& a,
                                             const std::array<RangeRow, B>& b) {
  std::array<RangeRow, A + B> rows{};
  for (std::size_t i = 0; i < A; ++i) rows[i] = a[i];
  for (std::size_t i = 0; i < B; ++i) rows[A + i] = b[i];
  return rows;
}

constexpr auto kCompactRanges = concat(kRangeTable, kCompactOnlyRanges);

using Frame = std::span<const std::uint8_t, kCompactFrameSize>;

// The sub display flags are left alone: this meter has no sub display, and the
// LCD keeps showing what the last bench frame set.
void read_flags(Frame f, CurrentReading& r) {
  r.is_HOLD = bit_set(f[1], 6);
  r.is_Main_OL = bit_set(f[1], 5);
  r.is_AUTO = bit_set(f[2], 4);
  r.Stat_Mode = f[2] & 0x03;
}

void decode(Frame f, CurrentReading& r, const DecodeSettings& settings) {
  const MainRange main =
      read_main_range(kCompactFunctions, kCompactRanges, f[0], f[1], settings.ohm_sign);
  r.Func_Name = main.function;
  read_flags(f, r);
  if (forces_manual_range(r.Func_Name)) r.is_AUTO = false;
  show_main(main, f.subspan<3, 5>(), bit_set(f[2], 5), settings.DecimalSeparator, r);
  r.Sub_range.clear();  // no sub display: empty, not the bench's two spaces
}

}  // namespace

bool is_compact_frame(std::span<const std::uint8_t, kCompactFrameSize> f) {
  if (!is_header_byte(f[0]) || !is_flag_byte(f[1]) || !is_flag_byte(f[2])) return false;
  for (std::size_t k = 3; k < f.size(); ++k) {
    if (!is_digit_byte(f[k])) return false;
  }
  return true;
}

bool decode_compact_frame(RxBuffer& rx, CurrentReading& reading, const DecodeSettings& settings) {
  reading.clear_texts();
  const auto found = find_newest_frame<kCompactFrameSize>(
      rx, [](std::span<const std::uint8_t, kCompactFrameSize> w) { return is_compact_frame(w); });
  if (!found) return false;
  decode(found->bytes.first<kCompactFrameSize>(), reading, settings);
  rx.keep_tail(found->bytes_after);
  return true;
}

}  // namespace tarvo
