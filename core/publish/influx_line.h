#pragma once

// One reading as a line of InfluxDB line protocol, with its own time:
//   tarvo,family=bench,function=DCV,key=A,meter=COM3,unit=V index=12i,base_value=-0.012345,
//   value=-12.345,display="-12,345",shown_unit="mV",overload=false,frames=4i,
//   frame_min=-12.35,frame_max=-12.34,frame_mean=-12.345 1796821407500000000
// Tags without a value are left out (InfluxDB refuses empty ones), and so are
// the numbers a reading does not have: no value for OL, no frame extremes
// when no frame of the interval showed a number. Frame figures are in the
// unit shown.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "log/local_time.h"
#include "publish/outbox.h"

namespace tarvo {

// For a measurement: "," and " " escaped.
std::string influx_measurement(std::string_view name);
// For a tag key, a tag value or a field key: ",", "=" and " " escaped.
std::string influx_key(std::string_view text);
// A string field value, quoted, with "\"" and "\\" escaped.
std::string influx_string(std::string_view text);

// Nanoseconds since 1970 UTC of a local moment with its zone offset.
std::int64_t unix_nanoseconds(const LocalTime& t);

// The line without its end; undated records carry no time (the server gives its own).
// key: the meter's letter in a run of several meters ("A"), a tag of its own;
// empty for a meter recorded alone.
std::string influx_line(const OutgoingReading& reading, std::string_view key = {});

}  // namespace tarvo
