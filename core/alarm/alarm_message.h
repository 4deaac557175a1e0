#pragma once

#include <string>
#include <vector>

#include "alarm/alarm_watch.h"

namespace tarvo {

// The JSON of PREFIX/alarm: one message at an alarm's start and one at its end,
// {"alarm":"start","kind":"high","key":1,"value":5.0123,"unit":"V","limit":5,
//  "since":"2026-12-09T14:05:00+01:00","time":"2026-12-09T14:05:20+01:00"}
// "value" and "limit" are numbers, or the strings "OL" and "-OL" for an
// overload; a stale alarm's start has no value.
std::string alarm_message(const AlarmEvent& event);

// The fields of the session file's "alarm start" or "alarm end" event.
std::vector<std::string> alarm_session_details(const AlarmEvent& event);

// What the user's command is told in its environment.
struct AlarmFacts;
AlarmFacts alarm_facts(const AlarmEvent& event);

}  // namespace tarvo
