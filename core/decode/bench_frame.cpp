// Bench frame: 14 bytes, byte 0 first on the line, no checksum, no terminator.
//
//   byte  bits  meaning
//   0     7-5   101 (header mark, 0xA0-0xBF)
//         4-0   range code, 0-5 defined
//   1     7     0
//         6     HOLD
//         5     main overload
//         4-0   function code, 0-19 defined
//   2     7     0
//         6     sub display negative
//         5     main display negative
//         4     auto ranging
//         3     sub overload
//         2     relative mode (sub display shows the main function)
//         1     sub display shows dBm
//         0     sub display shows frequency
//   3     7     0
//         6-4   sub frequency range code, 0-3 defined (with byte 2 bit 0)
//         3     sub display shows duty cycle
//         2-0   statistics mode: 0 none, 1 MAX, 2 MIN, 3 MAX-MIN, 4 AVG
//   4-8         main digits, most significant first, 0-9 each
//   9-13        sub digits; byte 12 is not checked (the meter may send any
//               value there), every digit byte is read modulo 10

#include "decode/bench_frame.h"

#include <array>
#include <string>

#include "decode/frame_bytes.h"
#include "decode/frame_search.h"
#include "decode/frame_text.h"
#include "decode/main_display.h"
#include "decode/range_table.h"

namespace tarvo {

namespace {

// clang-format off
constexpr std::array<FunctionRow, 20> kBenchFunctions{{
  // code  name       unit
  {0,  "ACV",     "V"},   // AC volts then DC volts, but DC before AC in millivolts
  {1,  "DCV",     "V"},
  {2,  "DCV+ACV", "V"},
  {3,  "DCV",     "mV"},
  {4,  "ACV",     "mV"},
  {5,  "DCV+ACV", "mV"},
  {6,  "FRE",     "Hz"},
  {7,  "DIO",     "V"},
  {8,  "OHM",     "Ω"},   // Ω: the language's ohm sign, put in by localise_unit
  {9,  "CON",     "Ω"},
  {10, "CAP",     "uF"},
  {11, "DCA",     "uA"},
  {12, "ACA",     "uA"},
  {13, "DCA+ACA", "uA"},
  {14, "DCA",     "mA"},
  {15, "ACA",     "mA"},
  {16, "DCA+ACA", "mA"},
  {17, "DCA",     "A"},
  {18, "ACA",     "A"},
  {19, "ACA+DCA", "A"},   // the meter names the amps mix the other way round
}};
// clang-format on
static_assert(codes_match_rows(kBenchFunctions));

enum class SubWhen { StatMode, Frequency, Dbm, DutyCycle, Relative };
enum class SubShows { MainDisplay, Fixed };

struct SubText {
  std::string function;
  std::string text;
  std::string unit;
};

struct SubRow {
  SubWhen when;
  int frequency_code;  // only for SubWhen::Frequency
  SubShows shows;
  std::string_view function;
  std::string_view text;
  std::string_view unit;
};

// Applied top to bottom; every row that applies overwrites the previous one, so
// relative mode wins over everything and statistics lose to everything.
// clang-format off
constexpr std::array<SubRow, 8> kSubDisplay{{
  // condition           freq  shows                   function  range     unit
  {SubWhen::StatMode,   -1,   SubShows::MainDisplay,  {},       {},       {}},
  {SubWhen::Frequency,   0,   SubShows::Fixed,        "FRE",    "99.999", "Hz"},
  {SubWhen::Frequency,   1,   SubShows::Fixed,        "FRE",    "999.99", "Hz"},
  {SubWhen::Frequency,   2,   SubShows::Fixed,        "FRE",    "9.9999", "KHz"},
  {SubWhen::Frequency,   3,   SubShows::Fixed,        "FRE",    "99.999", "KHz"},
  {SubWhen::Dbm,        -1,   SubShows::Fixed,        "dBm",    "99.99",  "dBm"},
  {SubWhen::DutyCycle,  -1,   SubShows::Fixed,        "DUT",    "99.99",  "%"},
  {SubWhen::Relative,   -1,   SubShows::MainDisplay,  {},       {},       {}},
}};
// clang-format on

using Frame = std::span<const std::uint8_t, kBenchFrameSize>;

int sub_frequency_code(Frame f) {
  return (f[3] >> 4) & 0x07;
}

bool row_applies(const SubRow& row, Frame f, const CurrentReading& r) {
  switch (row.when) {
    case SubWhen::StatMode:
      return r.Stat_Mode != 0;
    case SubWhen::Frequency:
      return r.is_Sub_FRE && sub_frequency_code(f) == row.frequency_code;
    case SubWhen::Dbm:
      return r.is_Sub_dBm;
    case SubWhen::DutyCycle:
      return r.is_Sub_DUT;
    case SubWhen::Relative:
      return r.is_REL;
  }
  return false;
}

SubText choose_sub_display(Frame f, const CurrentReading& r, const MainRange& main) {
  SubText sub;
  for (const SubRow& row : kSubDisplay) {
    if (!row_applies(row, f, r)) continue;
    if (row.shows == SubShows::MainDisplay) {
      sub = {main.function, main.text, main.unit};
    } else {
      sub = {std::string(row.function), std::string(row.text), std::string(row.unit)};
    }
  }
  return sub;
}

void read_flags(Frame f, CurrentReading& r) {
  r.is_HOLD = bit_set(f[1], 6);
  r.is_Main_OL = bit_set(f[1], 5);
  r.is_AUTO = bit_set(f[2], 4);
  r.is_Sub_OL = bit_set(f[2], 3);
  r.is_REL = bit_set(f[2], 2);
  r.is_Sub_dBm = bit_set(f[2], 1);
  r.is_Sub_FRE = bit_set(f[2], 0);
  r.is_Sub_DUT = bit_set(f[3], 3);
  r.Stat_Mode = f[3] & 0x07;
}

void show_sub(const SubText& sub, Frame f, const std::string& separator, CurrentReading& r) {
  const std::string text = localise_point(sub.text, separator);
  if (!sub.function.empty()) r.Sub_No = display_number(f.subspan<9, 5>(), text, separator);
  // A set sign bit shows a lone "-" even while the sub display is off.
  r.Sub_No = shown_value(r.Sub_No, r.is_Sub_OL, bit_set(f[2], 6) && sub_takes_sign(sub.function));
  r.Sub_range = join_with_spaces({sub.function, text, sub.unit});
  r.Sub_Func_Name = sub.function;
}

void decode(Frame f, CurrentReading& r, const DecodeSettings& settings) {
  const MainRange main =
      read_main_range(kBenchFunctions, kRangeTable, f[0], f[1], settings.ohm_sign);
  r.Func_Name = main.function;
  read_flags(f, r);
  const SubText sub = choose_sub_display(f, r, main);
  if (forces_manual_range(r.Func_Name)) r.is_AUTO = false;
  show_main(main, f.subspan<4, 5>(), bit_set(f[2], 5), settings.DecimalSeparator, r);
  show_sub(sub, f, settings.DecimalSeparator, r);
}

}  // namespace

bool is_bench_frame(std::span<const std::uint8_t, kBenchFrameSize> f) {
  if (!is_header_byte(f[0])) return false;
  if (!is_flag_byte(f[1]) || !is_flag_byte(f[2]) || !is_flag_byte(f[3])) return false;
  // Byte 12 is not checked: any value passes and is read modulo 10 like the others.
  for (std::size_t k = 4; k < f.size(); ++k) {
    if (k != 12 && !is_digit_byte(f[k])) return false;
  }
  return true;
}

bool decode_bench_frame(RxBuffer& rx, CurrentReading& reading, const DecodeSettings& settings) {
  reading.clear_texts();
  const auto found = find_newest_frame<kBenchFrameSize>(
      rx, [](std::span<const std::uint8_t, kBenchFrameSize> w) { return is_bench_frame(w); });
  if (!found) return false;
  decode(found->bytes.first<kBenchFrameSize>(), reading, settings);
  rx.keep_tail(found->bytes_after);
  return true;
}

}  // namespace tarvo
