#pragma once

#include <cstdint>
#include <vector>

#include "decode/meter_model.h"

namespace tarvo::sim {

// One line of the display as the meter drives it: five digits, a sign and the
// overload mark. The decimal point is not sent; the range code places it.
struct DisplayValue {
  std::uint32_t count = 0;  // the five digits as one number, 0-99999
  bool negative = false;
  bool overload = false;
};

// What the bench meter's sub display is switched to. Statistics modes show the
// main function there too, without any of these.
enum class SubDisplay : std::uint8_t { Off, Frequency, Dbm, DutyCycle, Relative };

// Everything a frame carries. Codes are the frame's own fields; the compact
// family ignores the sub display and keeps only the low two bits of stat_mode.
struct MeterDisplay {
  MeterModel family = kDefaultFamily;
  int function = 0;  // 0-31
  int range = 0;     // 0-31
  bool auto_range = false;
  bool hold = false;
  int stat_mode = 0;  // 0 none, 1 MAX, 2 MIN, 3 MAX-MIN, 4 AVG
  DisplayValue main;
  SubDisplay sub = SubDisplay::Off;
  int sub_frequency_range = 0;  // 0-7, with SubDisplay::Frequency
  DisplayValue sub_value;
};

// The frame of the display's family (its SimFamily::encode). Out-of-range
// fields are cut to their bit width and counts taken modulo 100000, so the
// result is always a frame the decoders accept.
std::vector<std::uint8_t> encode_frame(const MeterDisplay& display);

// The two layouts: 14 bytes with the sub display, 8 without.
std::vector<std::uint8_t> encode_bench_frame(const MeterDisplay& display);
std::vector<std::uint8_t> encode_compact_frame(const MeterDisplay& display);

}  // namespace tarvo::sim
