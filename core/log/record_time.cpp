#include "log/record_time.h"

namespace tarvo {

namespace {

// Field widths: year 16, month 4, day 5, hour 5 | minute 6, second 6,
// millisecond 10, offset 12 (in minutes, two's complement).
std::uint32_t field(int value, unsigned bits) {
  return static_cast<std::uint32_t>(value) & ((1u << bits) - 1);
}

int signed_field(std::uint32_t bits_value, unsigned bits) {
  const auto value = static_cast<int>(bits_value & ((1u << bits) - 1));
  return value >= (1 << (bits - 1)) ? value - (1 << bits) : value;
}

}  // namespace

RecordTime& RecordTime::operator=(const LocalTime& t) {
  date_ = field(t.year, 16) << 16 | field(t.month, 4) << 12 | field(t.day, 5) << 7 |
          field(t.hour, 5) << 2;
  time_ = field(t.minute, 6) << 26 | field(t.second, 6) << 20 | field(t.millisecond, 10) << 10 |
          field(t.utc_offset_minutes, 12) >> 2 << 0;
  // The offset takes 12 bits: 10 here, its lowest 2 in the date half's spare ones.
  date_ |= field(t.utc_offset_minutes, 2);
  return *this;
}

LocalTime RecordTime::local() const {
  LocalTime t;
  t.year = signed_field(date_ >> 16, 16);
  t.month = static_cast<int>(date_ >> 12 & 0xF);
  t.day = static_cast<int>(date_ >> 7 & 0x1F);
  t.hour = static_cast<int>(date_ >> 2 & 0x1F);
  t.minute = static_cast<int>(time_ >> 26 & 0x3F);
  t.second = static_cast<int>(time_ >> 20 & 0x3F);
  t.millisecond = static_cast<int>(time_ >> 10 & 0x3FF);
  t.utc_offset_minutes = signed_field((time_ & 0x3FF) << 2 | (date_ & 0x3), 12);
  return t;
}

}  // namespace tarvo
