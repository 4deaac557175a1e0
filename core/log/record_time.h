#pragma once

#include <cstdint>

#include "log/local_time.h"

namespace tarvo {

// A record's local moment in eight bytes, read back as the LocalTime it was
// given. The fields keep every moment the clock or a session file gives: a
// year of -32768..32767, a zone offset of up to 34 hours either way.
class RecordTime {
 public:
  RecordTime() : RecordTime(LocalTime{}) {}
  explicit RecordTime(const LocalTime& t) { *this = t; }
  RecordTime& operator=(const LocalTime& t);

  LocalTime local() const;
  operator LocalTime() const { return local(); }  // NOLINT: read as the moment it holds

  friend bool operator==(const RecordTime&, const RecordTime&) = default;

 private:
  // Two halves, so that the record around them needs no 8-byte alignment here.
  std::uint32_t date_ = 0;  // year, month, day, hour
  std::uint32_t time_ = 0;  // minute, second, millisecond, zone offset
};

}  // namespace tarvo
