#pragma once

// The message of one reading on PREFIX/reading, one JSON object:
//   {"index":12,"time":"2026-12-09T14:03:27+01:00","family":"bench","function":"DCV",
//    "display":"-12.345","range":"DCV AUTO 50.000 V","value":-12.345,"unit":"V",
//    "base_value":-12.345,"base_unit":"V","overload":false,
//    "sub":{"function":"FRE","display":"0.0060","range":"FRE 9.9999 KHz","value":0.006,
//           "unit":"KHz","base_value":6,"base_unit":"Hz","overload":false}}
// "value" and "base_value" are null when the display shows no number (OL),
// "base_unit" is null for a unit that has no known base, "time" is null for a
// record without a date, "sub" is null when the sub display shows nothing.

#include <string>

#include "publish/outbox.h"

namespace tarvo {

std::string reading_message(const OutgoingReading& reading);

}  // namespace tarvo
